// The desktop as a whole: which window is in front, every top-level window,
// the monitors and the cursor.
#pragma once

#include <functional>

#include "platform/types.h"

namespace strennix {

// A display: its rectangle and its work area (without the taskbar).
struct Monitor {
  Rect area;
  Rect workArea;
  bool operator==(const Monitor&) const = default;
};

class DesktopPort {
 public:
  virtual ~DesktopPort() = default;

  virtual Hwnd foregroundWindow() = 0;
  virtual Hwnd desktopWindow() = 0;
  // Visits every top-level window, front to back, until the visitor answers
  // false.
  virtual void enumWindows(const std::function<bool(Hwnd)>& visit) = 0;
  // The monitor the window is on (the one it overlaps most), or the nearest
  // one.
  virtual Monitor monitorOf(Hwnd window) = 0;
  // The monitor at the point, or the nearest one.
  virtual Monitor monitorAt(Point point) = 0;
  virtual Point cursorPos() = 0;
};

}  // namespace strennix
