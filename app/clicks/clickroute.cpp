#include "app/clicks/clickroute.h"

#include <cstddef>
#include <optional>
#include <string>

namespace strennix {

ClickRoute::ClickRoute(WindowInfoPort& windows, DesktopPort& desktop, WindowPlacePort& placement,
                       ButtonRowsPort& rows, WindowFilter& filter, Gfx& gfx,
                       ButtonWindows& buttonWindows, RepaintSchedule& schedule, Uifx& uifx,
                       const Settings& settings, const Logger& log)
    : windows_(windows),
      desktop_(desktop),
      placement_(placement),
      rows_(rows),
      filter_(filter),
      gfx_(gfx),
      buttonWindows_(buttonWindows),
      schedule_(schedule),
      uifx_(uifx),
      settings_(settings),
      log_(log, kAppLog) {}

// Only a release that ends a press the hook reported on a painted button
// acts: the point alone names no window, and anyone can post one.
void ClickRoute::titleBarRelease(std::int32_t x, std::int32_t y) {
  log_.trace("Recieved STRNX_NCLBUTTONUP.");
  const std::optional<HeldButton> held = gfx_.held();
  if (!held) {
    log_.trace("  No press was reported: the release is ignored");
    return;
  }
  release(held->window, gfx_.slotAt(held->window, Point{x, y}));
}

void ClickRoute::press(Hwnd window, std::int32_t slot) {
  log_.trace("Recieved STRNX_BUTTONDOWN");
  // A new press ends any earlier one, whose release may have been lost.
  letGo();
  // Only a button the program painted: a stray report changes nothing.
  const std::optional<ButtonRow> row = rows_.published(window);
  if (!row || slot < 0 || slot >= row->slots || !eligible(window)) {
    return;
  }
  // As a press on its title bar would.
  placement_.bringToFront(window);
  gfx_.hold(HeldButton{window, slot});
  gfx_.drawButtons(window);
  log_.trace("Handled STRNX_BUTTONDOWN");
}

void ClickRoute::forget(Hwnd window) {
  if (const std::optional<HeldButton> held = gfx_.held(); held && held->window == window) {
    gfx_.letGo();
  }
}

void ClickRoute::letGo() {
  const std::optional<HeldButton> held = gfx_.held();
  if (!held) {
    return;
  }
  gfx_.letGo();
  schedule_.repaint(held->window);
}

void ClickRoute::release(Hwnd window, std::int32_t slot) {
  log_.trace("Recieved STRNX_BUTTONUP");
  const std::optional<HeldButton> held = gfx_.held();
  if (!held || held->window != window) {
    return;
  }
  gfx_.letGo();
  if (slot == held->slot && eligible(window)) {
    log_.trace("  Dealing with the click");
    log_.trace(std::to_string(slot));
    runAction(slot, window);
  }
  schedule_.repaint(window);
  log_.trace("Handled STRNX_BUTTONUP");
}

void ClickRoute::runAction(int place, Hwnd window) {
  const SlotButtons buttons = enabledButtons(settings_);
  if (place >= buttons.count) {
    return;
  }
  switch (buttons.order[static_cast<std::size_t>(place)]) {
    case TitleButton::Top:
      uifx_.toggleTopmost(window);
      break;
    case TitleButton::ToIcon:
      uifx_.minTray(window);
      break;
    case TitleButton::Shade:
      uifx_.shade(window);
      break;
    case TitleButton::ToMenu:
      uifx_.minMenu(window);
      break;
    case TitleButton::VMax:
      uifx_.maxV(window);
      break;
    case TitleButton::HMax:
      uifx_.maxH(window);
      break;
  }
}

// With no foreground window (or one that has just died) every query answers
// zeros that pass the filter; acting on such a handle would list a window that
// does not exist.
bool ClickRoute::eligible(Hwnd window) {
  return windows_.isWindow(window) && filter_.passesAll(window) &&
         window != desktop_.desktopWindow();
}

bool ClickRoute::buttonWindowReport(std::uint32_t message, std::uint32_t wParam,
                                    std::int32_t lParam) {
  if (!isButtonWindowReport(message)) {
    return false;
  }
  const std::optional<BarClick> click =
      buttonWindows_.onReport(message, handleOfBits<Hwnd>(wParam), lParam);
  if (click) {
    buttonWindowClick(click->window, click->slot);
  }
  return true;
}

void ClickRoute::buttonWindowClick(Hwnd window, int slot) {
  if (eligible(window)) {
    runAction(slot, window);
    schedule_.repaint(window);
  }
}

}  // namespace strennix
