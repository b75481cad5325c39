// A full-screen program (a game, a presentation) covers its monitor exactly;
// it gets no buttons in either way of showing them.
#pragma once

#include "platform/desktop.h"
#include "platform/types.h"

namespace strennix {

inline bool coversItsMonitor(DesktopPort& desktop, Hwnd window, const Rect& rect) {
  return rect == desktop.monitorOf(window).area;
}

}  // namespace strennix
