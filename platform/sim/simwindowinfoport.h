// The simulated WindowInfoPort: what the shared world holds of a window, and
// the desktop window.
#pragma once

#include "platform/sim/simworld.h"
#include "platform/windowinfo.h"

namespace strennix::sim {

class SimWindowInfoPort : public WindowInfoPort {
 public:
  explicit SimWindowInfoPort(SimWorld& world) : world_(world) {}

  bool isWindow(Hwnd window) override;
  Rect windowRect(Hwnd window) override;
  WindowStyles styles(Hwnd window) override;
  bool isMinimized(Hwnd window) override;
  bool isMaximized(Hwnd window) override;
  bool isTopmost(Hwnd window) override;
  bool isVisible(Hwnd window) override;
  bool isHung(Hwnd window) override;
  std::string className(Hwnd window, int bufferSize) override;
  std::string windowText(Hwnd window, int bufferSize) override;
  Hwnd owner(Hwnd window) override;
  ProcessId processOf(Hwnd window) override;

 private:
  SimWorld& world_;
};

}  // namespace strennix::sim
