#include "platform/sim/simbuttonwindowport.h"

#include <algorithm>

#include "platform/winconst.h"

namespace strennix::sim {

namespace {

constexpr std::uint32_t kWsExLayered = 0x00080000;
constexpr std::uint32_t kWsExNoActivate = 0x08000000;

}  // namespace

bool SimButtonWindowPort::available() { return world_.layeredWindows; }

ButtonWindow SimButtonWindowPort::create(Hwnd notify) {
  if (!world_.layeredWindows) {
    return {};
  }
  SimWindow bar;
  bar.rect = Rect{};
  bar.style = win::kWsPopup;
  bar.exStyle = kWsExLayered | win::kWsExToolWindow | kWsExNoActivate;
  bar.className = kButtonWindowClass;
  bar.visible = false;
  bar.processId = world_.currentProcess;
  const Hwnd handle = world_.addWindow(bar);
  world_.buttonWindows[handle] = SimButtonWindow{notify, {}, 0};
  ++world_.buttonWindowHandles.acquired;
  return {*this, handle};
}

void SimButtonWindowPort::place(Hwnd bar, const Rect& place, Hwnd target, bool topmost) {
  SimWindow* window = world_.findWindow(bar);
  if (window == nullptr || !world_.buttonWindows.contains(bar)) {
    return;
  }
  window->rect = place;
  window->exStyle =
      topmost ? window->exStyle | win::kWsExTopmost : window->exStyle & ~win::kWsExTopmost;
  if (world_.exists(target)) {
    world_.placeJustAbove(bar, target);
  }
  ++world_.buttonWindows[bar].placements;
}

bool SimButtonWindowPort::isJustAbove(Hwnd bar, Hwnd target) {
  const std::vector<Hwnd>& order = world_.zOrder();
  const auto found = std::find(order.begin(), order.end(), bar);
  return found != order.end() && found + 1 != order.end() && *(found + 1) == target;
}

void SimButtonWindowPort::show(Hwnd bar, bool visible) {
  if (SimWindow* window = world_.findWindow(bar); window != nullptr) {
    window->visible = visible;
  }
}

void SimButtonWindowPort::paint(Hwnd bar, const ButtonPicture& picture) {
  const auto found = world_.buttonWindows.find(bar);
  if (found != world_.buttonWindows.end()) {
    found->second.picture = picture;
  }
}

void SimButtonWindowPort::destroyButtonWindow(Hwnd bar) noexcept {
  const bool wasOpen = world_.buttonWindows.erase(bar) != 0;
  world_.countRelease(world_.buttonWindowHandles, wasOpen);
  world_.destroyWindow(bar);
}

}  // namespace strennix::sim
