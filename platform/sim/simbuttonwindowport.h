// The simulated ButtonWindowPort: button windows are windows of the shared
// world, of the program's own process, with what they show kept beside.
#pragma once

#include "platform/buttonwindow.h"
#include "platform/sim/simworld.h"

namespace strennix::sim {

inline constexpr const char* kButtonWindowClass = "StrennixButtonWindow";

class SimButtonWindowPort : public ButtonWindowPort {
 public:
  explicit SimButtonWindowPort(SimWorld& world) : world_(world) {}

  bool available() override;
  ButtonWindow create(Hwnd notify) override;
  void place(Hwnd bar, const Rect& place, Hwnd target, bool topmost) override;
  bool isJustAbove(Hwnd bar, Hwnd target) override;
  void show(Hwnd bar, bool visible) override;
  void paint(Hwnd bar, const ButtonPicture& picture) override;
  void destroyButtonWindow(Hwnd bar) noexcept override;

 private:
  SimWorld& world_;
};

}  // namespace strennix::sim
