#include "platform/win32/runningcopyport.h"

#include "platform/win32/win32handles.h"

namespace strennix::win32 {

Hwnd Win32RunningCopyPort::findRunning(const std::string& className, const std::string& caption) {
  return fromHwnd(FindWindowA(className.c_str(), caption.c_str()));
}

void Win32RunningCopyPort::allowForeground(Hwnd window) {
  // Missing on Windows 95 and NT 4, where any program may take the front.
  using AllowFunction = BOOL(WINAPI*)(DWORD);
  const auto allow = user32EntryPoint<AllowFunction>("AllowSetForegroundWindow");
  DWORD process = 0;
  if (allow != nullptr && GetWindowThreadProcessId(toHwnd(window), &process) != 0) {
    allow(process);
  }
}

bool Win32RunningCopyPort::post(Hwnd window, std::uint32_t message, std::uint32_t wParam,
                                std::int32_t lParam) {
  return PostMessageA(toHwnd(window), message, wParam, lParam) != FALSE;
}

}  // namespace strennix::win32
