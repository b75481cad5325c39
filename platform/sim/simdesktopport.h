// The simulated DesktopPort: the shared world's foreground window, z-order,
// monitors and cursor.
#pragma once

#include "platform/desktop.h"
#include "platform/sim/simworld.h"

namespace strennix::sim {

class SimDesktopPort : public DesktopPort {
 public:
  explicit SimDesktopPort(SimWorld& world) : world_(world) {}

  Hwnd foregroundWindow() override;
  Hwnd desktopWindow() override;
  void enumWindows(const std::function<bool(Hwnd)>& visit) override;
  Monitor monitorOf(Hwnd window) override;
  Monitor monitorAt(Point point) override;
  Point cursorPos() override;

 private:
  SimWorld& world_;
};

}  // namespace strennix::sim
