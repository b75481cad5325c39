// The simulated HookPort: hooks installed into the shared world, or refused
// when the world says so.
#pragma once

#include "platform/hooks.h"
#include "platform/sim/simworld.h"

namespace strennix::sim {

class SimHookPort : public HookPort {
 public:
  explicit SimHookPort(SimWorld& world) : world_(world) {}

  HookHandle setWindowsHook(int hookId, ProcAddress procedure, ModuleHandle module,
                            std::uint32_t threadId) override;
  bool unhook(HookHandle hook) override;

 private:
  SimWorld& world_;
};

}  // namespace strennix::sim
