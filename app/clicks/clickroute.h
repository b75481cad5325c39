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
#include "buttonwindows/buttonwindows.h"
#include "platform/buttonrows.h"
#include "platform/desktop.h"
#include "platform/types.h"
#include "platform/windowinfo.h"
#include "platform/windowplace.h"

namespace strennix {

class ClickRoute {
 public:
  ClickRoute(WindowInfoPort& windows, DesktopPort& desktop, WindowPlacePort& placement,
             ButtonRowsPort& rows, WindowFilter& filter, Gfx& gfx, ButtonWindows& buttonWindows,
             RepaintSchedule& schedule, Uifx& uifx, const Settings& settings, const Logger& log);

  // A release at a screen point in a title bar: it ends the held press, if
  // any, as release() does with the slot under the point; with no press
  // held it does nothing.
  void titleBarRelease(std::int32_t x, std::int32_t y);
  // A press on a painted button, kept from the window by the hook library:
  // the window comes to the front and the button shows held down. It ends
  // any earlier press.
  void press(Hwnd window, std::int32_t slot);
  // The window is gone: a press held on it is over.
  void forget(Hwnd window);
  // The release that ends it: over the same button (slot) it runs the
  // button's action on that window, anywhere else (-1) it does nothing.
  void release(Hwnd window, std::int32_t slot);
  // A report of a button window: the button windows follow the press, and
  // a click released over the button it was pressed on runs the button's
  // action as for a painted one. Answers whether the message was one.
  bool buttonWindowReport(std::uint32_t message, std::uint32_t wParam, std::int32_t lParam);

 private:
  void buttonWindowClick(Hwnd window, int slot);
  void letGo();
  void runAction(int place, Hwnd window);
  [[nodiscard]] bool eligible(Hwnd window);

  WindowInfoPort& windows_;
  DesktopPort& desktop_;
  WindowPlacePort& placement_;
  ButtonRowsPort& rows_;
  WindowFilter& filter_;
  Gfx& gfx_;
  ButtonWindows& buttonWindows_;
  RepaintSchedule& schedule_;
  Uifx& uifx_;
  const Settings& settings_;
  ModuleLog log_;
};

}  // namespace strennix
