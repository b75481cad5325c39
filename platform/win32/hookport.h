// HookPort on USER32: system-wide hooks from the hook library.
#pragma once

#include "platform/hooks.h"

namespace strennix::win32 {

class Win32HookPort final : public HookPort {
 public:
  HookHandle setWindowsHook(int hookId, ProcAddress procedure, ModuleHandle module,
                            std::uint32_t threadId) override;
  bool unhook(HookHandle hook) override;
};

}  // namespace strennix::win32
