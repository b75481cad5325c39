// The simulated WindowFramePort: the frames the shared world describes.
#pragma once

#include "platform/sim/simworld.h"
#include "platform/windowframe.h"

namespace strennix::sim {

class SimWindowFramePort : public WindowFramePort {
 public:
  explicit SimWindowFramePort(SimWorld& world) : world_(world) {}

  bool composed() override;
  std::optional<Rect> captionButtons(Hwnd window) override;
  std::optional<Rect> titleBar(Hwnd window) override;
  bool cloaked(Hwnd window) override;
  std::uint32_t dpi(Hwnd window) override;

 private:
  // The frame of a window that exists, or null.
  const SimFrame* frameOf(Hwnd window) const;

  SimWorld& world_;
};

}  // namespace strennix::sim
