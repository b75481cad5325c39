// A full-screen program (a game, a presentation) covers its monitor exactly;
// it gets no buttons in either way of showing them.
#pragma once

#include "platform/types.h"
#include "platform/windows.h"

namespace strennix {

inline bool coversItsMonitor(WindowPort& windows, Hwnd window, const Rect& rect) {
  return rect == windows.monitorOf(window).area;
}

}  // namespace strennix
