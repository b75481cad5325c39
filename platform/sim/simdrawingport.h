// The simulated DrawingPort: device contexts and brushes counted in the
// shared world, and icon draws recorded there.
#pragma once

#include <set>

#include "platform/drawing.h"
#include "platform/sim/simworld.h"

namespace strennix::sim {

class SimDrawingPort : public DrawingPort {
 public:
  explicit SimDrawingPort(SimWorld& world) : world_(world) {}

  WindowDcHandle windowDc(Hwnd window) override;
  BrushHandle solidBrush(ColorRef color) override;
  bool drawIconEx(const WindowDc& dc, int x, int y, IconHandle icon, int width, int height,
                  std::uint32_t step, std::uint32_t brush, std::uint32_t flags) override;
  void drawSunkenEdge(const WindowDc& dc, const Rect& rect) override;
  void releaseWindowDc(const WindowDc& dc) noexcept override;
  void deleteObject(std::uint32_t object) noexcept override;

 private:
  SimWorld& world_;
  std::set<std::uint32_t> openDcs_;
  std::set<std::uint32_t> openBrushes_;
};

}  // namespace strennix::sim
