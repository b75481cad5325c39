// The simulated WindowIconsPort: the icons a window of the shared world
// answers, none from a hung one.
#pragma once

#include "platform/sim/simworld.h"
#include "platform/windowicons.h"

namespace strennix::sim {

class SimWindowIconsPort : public WindowIconsPort {
 public:
  explicit SimWindowIconsPort(SimWorld& world) : world_(world) {}

  IconHandle askedIcon(Hwnd window, IconSize size, std::uint32_t timeoutMs) override;
  IconHandle dragIcon(Hwnd window, std::uint32_t timeoutMs) override;
  IconHandle classIcon(Hwnd window, IconSize size) override;

 private:
  // The window when it answers messages, else null.
  const SimWindow* answering(Hwnd window);

  SimWorld& world_;
};

}  // namespace strennix::sim
