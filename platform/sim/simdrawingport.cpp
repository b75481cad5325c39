#include "platform/sim/simdrawingport.h"

namespace strennix::sim {

WindowDcHandle SimDrawingPort::windowDc(Hwnd window) {
  if (window != kDesktopWindow && !world_.exists(window)) {
    return WindowDcHandle{};
  }
  const std::uint32_t dc = world_.newResource();
  openDcs_.insert(dc);
  ++world_.windowDcs.acquired;
  return WindowDcHandle{*this, WindowDc{window, dc}};
}

BrushHandle SimDrawingPort::solidBrush(ColorRef /*color*/) {
  const std::uint32_t brush = world_.newResource();
  openBrushes_.insert(brush);
  ++world_.brushes.acquired;
  return BrushHandle{*this, brush};
}

bool SimDrawingPort::drawIconEx(const WindowDc& dc, int x, int y, IconHandle icon, int width,
                                int height, std::uint32_t /*step*/, std::uint32_t brush,
                                std::uint32_t flags) {
  if (!openDcs_.contains(dc.dc) || icon == IconHandle{}) {
    return false;
  }
  world_.draws.push_back(DrawCall{dc.window, x, y, icon, width, height, brush, flags});
  return true;
}

void SimDrawingPort::drawSunkenEdge(const WindowDc& dc, const Rect& rect) {
  if (openDcs_.contains(dc.dc)) {
    world_.sunkenEdges.push_back(EdgeCall{dc.window, rect});
  }
}

void SimDrawingPort::releaseWindowDc(const WindowDc& dc) noexcept {
  world_.countRelease(world_.windowDcs, openDcs_.erase(dc.dc) != 0);
}

void SimDrawingPort::deleteObject(std::uint32_t object) noexcept {
  world_.countRelease(world_.brushes, openBrushes_.erase(object) != 0);
}

}  // namespace strennix::sim
