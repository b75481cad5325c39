#include "platform/sim/simdesktopport.h"

#include <algorithm>
#include <cstdint>

namespace strennix::sim {

namespace {

// The area two rectangles share, in square pixels.
std::int64_t overlap(const Rect& a, const Rect& b) {
  const std::int64_t width = std::min(a.right, b.right) - std::max(a.left, b.left);
  const std::int64_t height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return width > 0 && height > 0 ? width * height : 0;
}

// How far a point lies outside a rectangle (0 inside it), as the larger of
// the two axes' distances.
std::int64_t distance(const Rect& rect, Point point) {
  const auto axis = [](std::int64_t value, std::int64_t low, std::int64_t high) {
    return value < low ? low - value : value >= high ? value - high + 1 : 0;
  };
  return std::max(axis(point.x, rect.left, rect.right), axis(point.y, rect.top, rect.bottom));
}

}  // namespace

Hwnd SimDesktopPort::foregroundWindow() { return world_.foreground(); }

Hwnd SimDesktopPort::desktopWindow() { return kDesktopWindow; }

void SimDesktopPort::enumWindows(const std::function<bool(Hwnd)>& visit) {
  const std::vector<Hwnd> order = world_.zOrder();
  for (const Hwnd window : order) {
    if (world_.exists(window) && !visit(window)) {
      return;
    }
  }
}

Monitor SimDesktopPort::monitorOf(Hwnd window) {
  const SimWindow* w = world_.findWindow(window);
  const Rect rect = window == kDesktopWindow ? world_.monitors.front().area
                    : w == nullptr           ? Rect{}
                                             : w->rect;
  const std::vector<Monitor>& monitors = world_.monitors;
  const auto most = std::max_element(monitors.begin(), monitors.end(),
                                     [&rect](const Monitor& a, const Monitor& b) {
                                       return overlap(a.area, rect) < overlap(b.area, rect);
                                     });
  if (overlap(most->area, rect) > 0) {
    return *most;
  }
  return monitorAt(Point{rect.left + rect.width() / 2, rect.top + rect.height() / 2});
}

Monitor SimDesktopPort::monitorAt(Point point) {
  const std::vector<Monitor>& monitors = world_.monitors;
  return *std::min_element(monitors.begin(), monitors.end(),
                           [&point](const Monitor& a, const Monitor& b) {
                             return distance(a.area, point) < distance(b.area, point);
                           });
}

Point SimDesktopPort::cursorPos() { return world_.cursor; }

}  // namespace strennix::sim
