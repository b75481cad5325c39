// The way from a click to an action: a press and a release on a painted
// button, or a release in a title bar, run one of the six actions on one
// window, and only on a window that gets buttons.
#pragma once

#include <cstdint>

#include "actions/uifx.h"
#include "app/core/log.h"
#include "app/core/settings.h"
#include "app/core/windowfilter.h"
#include "buttons/gfx.h"
#include "buttons/repaintschedule.h"
#include "platform/buttonrows.h"
#include "platform/types.h"
#include "platform/windows.h"

namespace strennix {

class ClickRoute {
 public:
  ClickRoute(WindowPort& windows, ButtonRowsPort& rows, WindowFilter& filter, Gfx& gfx,
             RepaintSchedule& schedule, Uifx& uifx, const Settings& settings, const Logger& log);

  // A release in the title bar of the foreground window, at a screen point.
  void titleBarRelease(std::int32_t x, std::int32_t y);
  // A press on a painted button, kept from the window by the hook library:
  // the window comes to the front and the button shows held down.
  void press(Hwnd window, std::int32_t slot);
  // The release that ends it: over the same button (slot) it runs the
  // button's action on that window, anywhere else (-1) it does nothing.
  void release(Hwnd window, std::int32_t slot);
  // A click on a button window, released over the button it was pressed
  // on: the button's action runs as for a painted one.
  void buttonWindowClick(Hwnd window, int slot);

 private:
  void runAction(int place, Hwnd window);
  [[nodiscard]] bool eligible(Hwnd window);

  WindowPort& windows_;
  ButtonRowsPort& rows_;
  WindowFilter& filter_;
  Gfx& gfx_;
  RepaintSchedule& schedule_;
  Uifx& uifx_;
  const Settings& settings_;
  ModuleLog log_;
};

}  // namespace strennix
