#include "platform/win32/windowinfoport.h"

#include <vector>

#include "platform/win32/win32handles.h"

namespace strennix::win32 {

namespace {

using TextGetter = int(WINAPI*)(HWND, LPSTR, int);

std::string boundedText(TextGetter getter, Hwnd window, int bufferSize) {
  if (bufferSize <= 0) {
    return {};
  }
  std::vector<char> buffer(static_cast<std::size_t>(bufferSize), '\0');
  const int length = getter(toHwnd(window), buffer.data(), bufferSize);
  return {buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0};
}

std::uint32_t styleOf(Hwnd window, int index) {
  return static_cast<std::uint32_t>(GetWindowLongA(toHwnd(window), index));
}

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

bool Win32WindowInfoPort::isWindow(Hwnd window) { return IsWindow(toHwnd(window)) != FALSE; }

Rect Win32WindowInfoPort::windowRect(Hwnd window) {
  RECT rect{};
  if (GetWindowRect(toHwnd(window), &rect) == FALSE) {
    return Rect{};
  }
  return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

WindowStyles Win32WindowInfoPort::styles(Hwnd window) {
  return WindowStyles{styleOf(window, GWL_STYLE), styleOf(window, GWL_EXSTYLE)};
}

bool Win32WindowInfoPort::isMinimized(Hwnd window) { return IsIconic(toHwnd(window)) != FALSE; }

bool Win32WindowInfoPort::isMaximized(Hwnd window) { return IsZoomed(toHwnd(window)) != FALSE; }

bool Win32WindowInfoPort::isTopmost(Hwnd window) {
  return (styleOf(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

bool Win32WindowInfoPort::isVisible(Hwnd window) {
  return IsWindowVisible(toHwnd(window)) != FALSE;
}

// IsHungAppWindow came with Windows 2000. Before it, a window that does not
// answer a null message within a moment counts as hung.
bool Win32WindowInfoPort::isHung(Hwnd window) {
  using IsHungFunction = BOOL(WINAPI*)(HWND);
  if (const auto isHung = user32EntryPoint<IsHungFunction>("IsHungAppWindow")) {
    return isHung(toHwnd(window)) != FALSE;
  }
  constexpr UINT kAnswerMs = 50;
  DWORD_PTR answer = 0;
  return SendMessageTimeoutA(toHwnd(window), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &answer) ==
         0;
}

std::string Win32WindowInfoPort::className(Hwnd window, int bufferSize) {
  return boundedText(&GetClassNameA, window, bufferSize);
}

std::string Win32WindowInfoPort::windowText(Hwnd window, int bufferSize) {
  return boundedText(&GetWindowTextA, window, bufferSize);
}

Hwnd Win32WindowInfoPort::owner(Hwnd window) {
  return fromHwnd(GetWindow(toHwnd(window), GW_OWNER));
}

ProcessId Win32WindowInfoPort::processOf(Hwnd window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(toHwnd(window), &processId);
  return processId;
}

}  // namespace strennix::win32
