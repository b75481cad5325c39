#include "platform/win32/hookport.h"

#include "platform/win32/win32handles.h"

namespace strennix::win32 {

HookHandle Win32HookPort::setWindowsHook(int hookId, ProcAddress procedure, ModuleHandle module,
                                         std::uint32_t threadId) {
  return fromRaw<HookHandle>(
      SetWindowsHookExA(hookId, toRaw<HOOKPROC>(procedure), toRaw<HINSTANCE>(module), threadId));
}

bool Win32HookPort::unhook(HookHandle hook) {
  return UnhookWindowsHookEx(toRaw<HHOOK>(hook)) != FALSE;
}

}  // namespace strennix::win32
