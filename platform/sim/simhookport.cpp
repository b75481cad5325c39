#include "platform/sim/simhookport.h"

#include <algorithm>

namespace strennix::sim {

HookHandle SimHookPort::setWindowsHook(int hookId, ProcAddress procedure, ModuleHandle module,
                                       std::uint32_t threadId) {
  if (world_.refuseHooks || procedure == ProcAddress{} || module == ModuleHandle{}) {
    return HookHandle{};
  }
  const auto handle = world_.newResourceOf<HookHandle>();
  world_.hooks.push_back(InstalledHook{hookId, procedure, module, threadId, handle});
  return handle;
}

bool SimHookPort::unhook(HookHandle hook) {
  auto& hooks = world_.hooks;
  const auto found = std::find_if(hooks.begin(), hooks.end(),
                                  [hook](const InstalledHook& h) { return h.handle == hook; });
  if (hook == HookHandle{} || found == hooks.end()) {
    return false;
  }
  hooks.erase(found);
  return true;
}

}  // namespace strennix::sim
