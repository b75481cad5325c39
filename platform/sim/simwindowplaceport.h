// The simulated WindowPlacePort: places, sizes, z-order and visibility of the
// shared world's windows; size and z-order changes are recorded.
#pragma once

#include "platform/sim/simworld.h"
#include "platform/windowplace.h"

namespace strennix::sim {

class SimWindowPlacePort : public WindowPlacePort {
 public:
  explicit SimWindowPlacePort(SimWorld& world) : world_(world) {}

  bool move(Hwnd window, const Rect& rect) override;
  bool resize(Hwnd window, std::int32_t width, std::int32_t height) override;
  bool setTopmost(Hwnd window, bool topmost) override;
  bool dropTopmostQuietly(Hwnd window) override;
  bool hide(Hwnd window) override;
  bool restore(Hwnd window) override;
  bool bringToFront(Hwnd window) override;

 private:
  // Records the call; the window, or null when there is none.
  SimWindow* recorded(Hwnd window, Placement kind, int cx = 0, int cy = 0);
  void dropTopmost(Hwnd window, SimWindow& w);

  SimWorld& world_;
};

}  // namespace strennix::sim
