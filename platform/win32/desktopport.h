// DesktopPort on USER32: the foreground window, the top-level windows, the
// monitors (taken at run time: Windows 95 and NT 4 lack them) and the cursor.
#pragma once

#include "platform/desktop.h"

namespace strennix::win32 {

class Win32DesktopPort final : public DesktopPort {
 public:
  Hwnd foregroundWindow() override;
  Hwnd desktopWindow() override;
  void enumWindows(const std::function<bool(Hwnd)>& visit) override;
  Monitor monitorOf(Hwnd window) override;
  Monitor monitorAt(Point point) override;
  Point cursorPos() override;
};

}  // namespace strennix::win32
