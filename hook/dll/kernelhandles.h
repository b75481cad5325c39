// What the hook library and the helper own, each through the one handle
// template: the Windows API itself releases it, so the owner holds no state.
// Windows types: only the hook library and the helper include it.
#pragma once

#include <windows.h>

#include "platform/handle.h"

namespace strennix::hookdll {

struct Api {};

// Process, event and file-mapping handles, closed with CloseHandle.
struct KernelObjectTraits {
  using Value = HANDLE;
  using Owner = Api;
  static bool valid(const Value& value) { return value != nullptr; }
  static void release(Owner& /*api*/, const Value& value) noexcept { CloseHandle(value); }
};

}  // namespace strennix::hookdll
