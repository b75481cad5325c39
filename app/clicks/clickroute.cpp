#include "app/clicks/clickroute.h"

#include <cstddef>
#include <optional>
#include <string>

namespace strennix {

ClickRoute::ClickRoute(WindowPort& windows, ButtonRowsPort& rows, WindowFilter& filter, Gfx& gfx,
                       RepaintSchedule& schedule, Uifx& uifx, const Settings& settings,
                       const Logger& log)
    : windows_(windows),
      rows_(rows),
      filter_(filter),
      gfx_(gfx),
      schedule_(schedule),
      uifx_(uifx),
      settings_(settings),
      log_(log, kAppLog) {}

void ClickRoute::titleBarRelease(std::int32_t x, std::int32_t y) {
  log_.trace("Recieved STRNX_NCLBUTTONUP.");
  const Hwnd window = windows_.foregroundWindow();
  if (!eligible(window)) {
    return;
  }
  const int pos = slotAt(windows_.windowRect(window), Point{x, y}, settings_);
  if (pos >= 0) {
    log_.trace("  Dealing with the click");
    log_.trace(std::to_string(pos));
    runAction(pos, window);
  }
  log_.trace("Handled STRNX_NCLBUTTONUP");
}

void ClickRoute::press(Hwnd window, std::int32_t slot) {
  log_.trace("Recieved STRNX_BUTTONDOWN");
  // Only a button the program painted: a stray report changes nothing.
  const std::optional<ButtonRow> row = rows_.published(window);
  if (!row || slot < 0 || slot >= row->slots || !eligible(window)) {
    return;
  }
  // As a press on its title bar would.
  windows_.setForegroundWindow(window);
  gfx_.hold(HeldButton{window, slot});
  gfx_.drawButtons(window);
  log_.trace("Handled STRNX_BUTTONDOWN");
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
         window != windows_.desktopWindow();
}

void ClickRoute::buttonWindowClick(Hwnd window, int slot) {
  if (eligible(window)) {
    runAction(slot, window);
    schedule_.repaint(window);
  }
}

}  // namespace strennix
