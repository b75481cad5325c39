#pragma once

#include <cstdint>

#include "platform/types.h"

namespace strennix {

class HookPort {
 public:
  virtual ~HookPort() = default;
  // SetWindowsHookExA; 0 on failure.
  virtual HookHandle setWindowsHook(int hookId, ProcAddress procedure, ModuleHandle module,
                                    std::uint32_t threadId) = 0;
  // UnhookWindowsHookEx.
  virtual bool unhook(HookHandle hook) = 0;
};

}  // namespace strennix
