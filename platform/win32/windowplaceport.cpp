#include "platform/win32/windowplaceport.h"

#include "platform/win32/win32handles.h"

namespace strennix::win32 {

namespace {

// A window of another thread is changed without waiting for it: a program
// that has stopped answering must not hold this one up.
bool ofOtherThread(HWND window) {
  return GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId();
}

bool place(Hwnd window, HWND insertAfter, const Rect& rect, UINT flags) {
  const HWND target = toHwnd(window);
  const UINT async = ofOtherThread(target) ? SWP_ASYNCWINDOWPOS : 0;
  return SetWindowPos(target, insertAfter, rect.left, rect.top, rect.width(), rect.height(),
                      flags | async) != FALSE;
}

// ShowWindow answers the former visibility, not whether it worked: a window
// of this thread takes the change as long as it exists.
bool show(Hwnd window, int command) {
  const HWND target = toHwnd(window);
  if (ofOtherThread(target)) {
    return ShowWindowAsync(target, command) != FALSE;
  }
  ShowWindow(target, command);
  return IsWindow(target) != FALSE;
}

}  // namespace

bool Win32WindowPlacePort::move(Hwnd window, const Rect& rect) {
  return place(window, nullptr, rect, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Win32WindowPlacePort::resize(Hwnd window, std::int32_t width, std::int32_t height) {
  return place(window, nullptr, Rect{0, 0, width, height},
               SWP_NOSENDCHANGING | SWP_NOZORDER | SWP_NOMOVE);
}

// Without SWP_NOACTIVATE the call also activates the window.
bool Win32WindowPlacePort::setTopmost(Hwnd window, bool topmost) {
  return place(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, Rect{}, SWP_NOMOVE | SWP_NOSIZE);
}

bool Win32WindowPlacePort::dropTopmostQuietly(Hwnd window) {
  return place(window, HWND_NOTOPMOST, Rect{}, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool Win32WindowPlacePort::hide(Hwnd window) { return show(window, SW_HIDE); }

bool Win32WindowPlacePort::restore(Hwnd window) { return show(window, SW_RESTORE); }

bool Win32WindowPlacePort::bringToFront(Hwnd window) {
  return SetForegroundWindow(toHwnd(window)) != FALSE;
}

}  // namespace strennix::win32
