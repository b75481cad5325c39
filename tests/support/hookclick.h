// A left click at a screen point in the foreground window's title bar, as the
// hook library reports it: on a button of the published row a press and a
// release of that button; elsewhere the bare release in a title bar. A user
// clicks the buttons they see: a window in front with no published row gets
// the regular paint (a tick of the main form's timer) first.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/hookprotocol.h"
#include "platform/sim/simdesktop.h"
#include "platform/winconst.h"
#include "resources/resource.h"

namespace strennix::testsupport {

inline void hookClick(sim::SimDesktop& sim, Hwnd mainForm, Point point) {
  const Hwnd window = sim.desktopPort().foregroundWindow();
  if (!sim.buttonRowsPort().published(window)) {
    sim.tick(mainForm, IDT_TIMER1);
  }
  const std::optional<ButtonRow> row = sim.buttonRowsPort().published(window);
  const Rect rect = sim.windowInfoPort().windowRect(window);
  const int slot =
      row ? hookprotocol::slotInRow(rect.right - row->rightInset, rect.top + row->top,
                                    row->slotWidth, row->height, row->slots, point.x, point.y)
          : -1;
  if (slot < 0) {
    sim.post(mainForm, win::kStrnxNcLButtonUp, static_cast<std::uint32_t>(point.x), point.y);
    return;
  }
  sim.post(mainForm, win::kStrnxButtonDown, handleBits(window), slot);
  sim.post(mainForm, win::kStrnxButtonUp, handleBits(window), slot);
}

}  // namespace strennix::testsupport
