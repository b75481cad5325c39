#include "platform/win32/windowport.h"

#include <exception>
#include <vector>

#include "platform/win32/win32handles.h"

namespace strennix::win32 {

namespace {

Rect fromRect(const RECT& rect) { return Rect{rect.left, rect.top, rect.right, rect.bottom}; }

using TextGetter = int(WINAPI*)(HWND, LPSTR, int);

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

std::string boundedText(TextGetter getter, Hwnd window, int bufferSize) {
  if (bufferSize <= 0) {
    return {};
  }
  std::vector<char> buffer(static_cast<std::size_t>(bufferSize), '\0');
  const int length = getter(toHwnd(window), buffer.data(), bufferSize);
  return {buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0};
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

// A window of another thread is changed without waiting for it: a program
// that has stopped answering must not hold this one up.
bool ofOtherThread(HWND window) {
  return GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId();
}

UINT asyncFor(HWND window) { return ofOtherThread(window) ? SWP_ASYNCWINDOWPOS : 0; }

}  // namespace

std::string windowTextOf(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) {
    return {};
  }
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, buffer.data(), length + 1);
  return {buffer.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0};
}

Hwnd Win32WindowPort::foregroundWindow() { return fromHwnd(GetForegroundWindow()); }

Hwnd Win32WindowPort::desktopWindow() { return fromHwnd(GetDesktopWindow()); }

bool Win32WindowPort::isWindow(Hwnd window) { return IsWindow(toHwnd(window)) != FALSE; }

Rect Win32WindowPort::windowRect(Hwnd window) {
  RECT rect{};
  if (GetWindowRect(toHwnd(window), &rect) == FALSE) {
    return Rect{};
  }
  return fromRect(rect);
}

std::uint32_t Win32WindowPort::windowLong(Hwnd window, int index) {
  return static_cast<std::uint32_t>(GetWindowLongA(toHwnd(window), index));
}

void Win32WindowPort::setWindowLong(Hwnd window, int index, std::uint32_t value) {
  SetWindowLongA(toHwnd(window), index, static_cast<LONG>(value));
}

std::string Win32WindowPort::className(Hwnd window, int bufferSize) {
  return boundedText(&GetClassNameA, window, bufferSize);
}

std::string Win32WindowPort::windowText(Hwnd window, int bufferSize) {
  return boundedText(&GetWindowTextA, window, bufferSize);
}

Hwnd Win32WindowPort::owner(Hwnd window) { return fromHwnd(GetWindow(toHwnd(window), GW_OWNER)); }

ProcessId Win32WindowPort::windowProcessId(Hwnd window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(toHwnd(window), &processId);
  return processId;
}

// MoveWindow is SetWindowPos without z-order or activation, which can be
// queued.
bool Win32WindowPort::moveWindow(Hwnd window, int x, int y, int width, int height, bool repaint) {
  const HWND target = toHwnd(window);
  const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW);
  return SetWindowPos(target, nullptr, x, y, width, height, flags | asyncFor(target)) != FALSE;
}

bool Win32WindowPort::setWindowPos(Hwnd window, std::int32_t insertAfter, int x, int y, int cx,
                                   int cy, std::uint32_t flags) {
  const HWND target = toHwnd(window);
  const HWND after = toHandle<HWND>(static_cast<std::uint32_t>(insertAfter));
  return SetWindowPos(target, after, x, y, cx, cy, flags | asyncFor(target)) != FALSE;
}

bool Win32WindowPort::showWindow(Hwnd window, int command) {
  const HWND target = toHwnd(window);
  if (ofOtherThread(target)) {
    return ShowWindowAsync(target, command) != FALSE;
  }
  return ShowWindow(target, command) != FALSE;
}

bool Win32WindowPort::isVisible(Hwnd window) { return IsWindowVisible(toHwnd(window)) != FALSE; }

// IsHungAppWindow came with Windows 2000. Before it, a window that does not
// answer a null message within a moment counts as hung.
bool Win32WindowPort::isHung(Hwnd window) {
  using IsHungFunction = BOOL(WINAPI*)(HWND);
  if (const auto isHung = user32EntryPoint<IsHungFunction>("IsHungAppWindow")) {
    return isHung(toHwnd(window)) != FALSE;
  }
  constexpr UINT kAnswerMs = 50;
  DWORD_PTR answer = 0;
  return SendMessageTimeoutA(toHwnd(window), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &answer) ==
         0;
}

bool Win32WindowPort::setForegroundWindow(Hwnd window) {
  return SetForegroundWindow(toHwnd(window)) != FALSE;
}

void Win32WindowPort::allowForeground(ProcessId process) {
  // Missing on Windows 95 and NT 4, where any program may take the front.
  using AllowFunction = BOOL(WINAPI*)(DWORD);
  if (const auto allow = user32EntryPoint<AllowFunction>("AllowSetForegroundWindow")) {
    allow(process);
  }
}

void Win32WindowPort::enumWindows(const std::function<bool(Hwnd)>& visit) {
  Enumeration enumeration{visit, nullptr};
  EnumWindows(&visitWindow, reinterpret_cast<LPARAM>(&enumeration));
  if (enumeration.error) {
    std::rethrow_exception(enumeration.error);
  }
}

Monitor Win32WindowPort::monitorOf(Hwnd window) {
  const auto fromWindow = user32EntryPoint<MonitorFromWindowFunction>("MonitorFromWindow");
  if (fromWindow == nullptr) {
    return primaryMonitor();
  }
  return monitorInfo(fromWindow(toHwnd(window), MONITOR_DEFAULTTONEAREST));
}

Monitor Win32WindowPort::monitorAt(Point point) {
  const auto fromPoint = user32EntryPoint<MonitorFromPointFunction>("MonitorFromPoint");
  if (fromPoint == nullptr) {
    return primaryMonitor();
  }
  return monitorInfo(fromPoint(POINT{point.x, point.y}, MONITOR_DEFAULTTONEAREST));
}

Point Win32WindowPort::cursorPos() {
  POINT point{};
  GetCursorPos(&point);
  return Point{point.x, point.y};
}

std::optional<std::uint32_t> Win32WindowPort::sendMessageTimeout(Hwnd window, std::uint32_t message,
                                                                 std::uint32_t wParam,
                                                                 std::int32_t lParam,
                                                                 std::uint32_t flags,
                                                                 std::uint32_t timeoutMs) {
  DWORD_PTR result = 0;
  if (SendMessageTimeoutA(toHwnd(window), message, wParam, lParam, flags, timeoutMs, &result) ==
      0) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(result);
}

std::uint32_t Win32WindowPort::classLong(Hwnd window, int index) {
  return static_cast<std::uint32_t>(GetClassLongPtrA(toHwnd(window), index));
}

Hwnd Win32WindowPort::findWindow(const std::string& className, const std::string& caption) {
  return fromHwnd(FindWindowA(className.c_str(), caption.c_str()));
}

bool Win32WindowPort::postMessage(Hwnd window, std::uint32_t message, std::uint32_t wParam,
                                  std::int32_t lParam) {
  return PostMessageA(toHwnd(window), message, wParam, lParam) != FALSE;
}

}  // namespace strennix::win32
