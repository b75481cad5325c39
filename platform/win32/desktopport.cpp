#include "platform/win32/desktopport.h"

#include <exception>

#include "platform/win32/win32handles.h"

namespace strennix::win32 {

namespace {

Rect fromRect(const RECT& rect) { return Rect{rect.left, rect.top, rect.right, rect.bottom}; }

// The monitor functions are missing on Windows 95 and NT 4, so they are taken
// at run time; without them the primary screen is the one monitor.
using MonitorFromWindowFunction = HMONITOR(WINAPI*)(HWND, DWORD);
using MonitorFromPointFunction = HMONITOR(WINAPI*)(POINT, DWORD);
using GetMonitorInfoFunction = BOOL(WINAPI*)(HMONITOR, MONITORINFO*);

Monitor primaryMonitor() {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  return Monitor{Rect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)},
                 fromRect(work)};
}

Monitor monitorInfo(HMONITOR monitor) {
  const auto getInfo = user32EntryPoint<GetMonitorInfoFunction>("GetMonitorInfoA");
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (monitor == nullptr || getInfo == nullptr || getInfo(monitor, &info) == FALSE) {
    return primaryMonitor();
  }
  return Monitor{fromRect(info.rcMonitor), fromRect(info.rcWork)};
}

// EnumWindows runs the visitor inside the system's frames, which an exception
// must not cross: it is carried out and rethrown after the enumeration.
struct Enumeration {
  const std::function<bool(Hwnd)>& visit;
  std::exception_ptr error;
};

BOOL CALLBACK visitWindow(HWND window, LPARAM parameter) {
  auto& enumeration = *fromInteger<Enumeration*>(parameter);
  try {
    return enumeration.visit(fromHwnd(window)) ? TRUE : FALSE;
  } catch (...) {
    enumeration.error = std::current_exception();
    return FALSE;
  }
}

}  // namespace

Hwnd Win32DesktopPort::foregroundWindow() { return fromHwnd(GetForegroundWindow()); }

Hwnd Win32DesktopPort::desktopWindow() { return fromHwnd(GetDesktopWindow()); }

void Win32DesktopPort::enumWindows(const std::function<bool(Hwnd)>& visit) {
  Enumeration enumeration{visit, nullptr};
  EnumWindows(&visitWindow, reinterpret_cast<LPARAM>(&enumeration));
  if (enumeration.error) {
    std::rethrow_exception(enumeration.error);
  }
}

Monitor Win32DesktopPort::monitorOf(Hwnd window) {
  const auto fromWindow = user32EntryPoint<MonitorFromWindowFunction>("MonitorFromWindow");
  if (fromWindow == nullptr) {
    return primaryMonitor();
  }
  return monitorInfo(fromWindow(toHwnd(window), MONITOR_DEFAULTTONEAREST));
}

Monitor Win32DesktopPort::monitorAt(Point point) {
  const auto fromPoint = user32EntryPoint<MonitorFromPointFunction>("MonitorFromPoint");
  if (fromPoint == nullptr) {
    return primaryMonitor();
  }
  return monitorInfo(fromPoint(POINT{point.x, point.y}, MONITOR_DEFAULTTONEAREST));
}

Point Win32DesktopPort::cursorPos() {
  POINT point{};
  GetCursorPos(&point);
  return Point{point.x, point.y};
}

}  // namespace strennix::win32
