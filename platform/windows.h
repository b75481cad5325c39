// Window queries and placement: everything the modules ask of or do to
// top-level windows, their own and other programs'.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/types.h"

namespace strennix {

// A display: its rectangle and its work area (without the taskbar).
struct Monitor {
  Rect area;
  Rect workArea;
  bool operator==(const Monitor&) const = default;
};

class WindowPort {
 public:
  virtual ~WindowPort() = default;

  virtual Hwnd foregroundWindow() = 0;
  virtual Hwnd desktopWindow() = 0;
  virtual bool isWindow(Hwnd window) = 0;
  // All zero when the window does not exist.
  virtual Rect windowRect(Hwnd window) = 0;
  // GetWindowLongA with GWL_STYLE or GWL_EXSTYLE; 0 when it fails.
  virtual std::uint32_t windowLong(Hwnd window, int index) = 0;
  virtual void setWindowLong(Hwnd window, int index, std::uint32_t value) = 0;
  // At most bufferSize - 1 characters, as GetClassNameA / GetWindowTextA.
  virtual std::string className(Hwnd window, int bufferSize) = 0;
  virtual std::string windowText(Hwnd window, int bufferSize) = 0;
  // GetWindow(GW_OWNER); 0 when there is none.
  virtual Hwnd owner(Hwnd window) = 0;
  virtual ProcessId windowProcessId(Hwnd window) = 0;
  // Placement and showing never wait on a window of another thread: the
  // change is queued to it (ShowWindowAsync, SWP_ASYNCWINDOWPOS).
  virtual bool moveWindow(Hwnd window, int x, int y, int width, int height, bool repaint) = 0;
  virtual bool setWindowPos(Hwnd window, std::int32_t insertAfter, int x, int y, int cx, int cy,
                            std::uint32_t flags) = 0;
  virtual bool showWindow(Hwnd window, int command) = 0;
  virtual bool isVisible(Hwnd window) = 0;
  // IsHungAppWindow: the window's program has stopped taking its messages.
  virtual bool isHung(Hwnd window) = 0;
  virtual bool setForegroundWindow(Hwnd window) = 0;
  // AllowSetForegroundWindow: the process may bring its window to the front,
  // as this one may now. Nothing where the system lacks the call.
  virtual void allowForeground(ProcessId process) = 0;
  // Visits every top-level window until the visitor answers false.
  virtual void enumWindows(const std::function<bool(Hwnd)>& visit) = 0;
  // The monitor the window is on (the one it overlaps most), or the nearest
  // one: MonitorFromWindow with GetMonitorInfoA.
  virtual Monitor monitorOf(Hwnd window) = 0;
  // The monitor at the point, or the nearest one.
  virtual Monitor monitorAt(Point point) = 0;
  virtual Point cursorPos() = 0;
  // SendMessageTimeoutA; nothing when the call fails or times out.
  virtual std::optional<std::uint32_t> sendMessageTimeout(Hwnd window, std::uint32_t message,
                                                          std::uint32_t wParam, std::int32_t lParam,
                                                          std::uint32_t flags,
                                                          std::uint32_t timeoutMs) = 0;
  virtual std::uint32_t classLong(Hwnd window, int index) = 0;
  // FindWindowA: the first top-level window of the class and caption; 0.
  virtual Hwnd findWindow(const std::string& className, const std::string& caption) = 0;
  virtual bool postMessage(Hwnd window, std::uint32_t message, std::uint32_t wParam,
                           std::int32_t lParam) = 0;
};

}  // namespace strennix
