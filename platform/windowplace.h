// Placing and showing a window: every change the actions, the give-back and
// the program's own forms make to a window's place, size, z-order or state.
// Each answers whether the system took the change: a window of a program
// with higher rights may refuse it. None waits on a window of another
// thread: the change is queued to it.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace strennix {

class WindowPlacePort {
 public:
  virtual ~WindowPlacePort() = default;

  // A new place and size, repainted, without a change of the z-order.
  virtual bool move(Hwnd window, const Rect& rect) = 0;
  // A new size at the same place, without asking the window first: so a
  // window can be rolled up below the height it would allow.
  virtual bool resize(Hwnd window, std::int32_t width, std::int32_t height) = 0;
  // In front of every normal window or back among them; it also activates
  // the window, as a click on it would.
  virtual bool setTopmost(Hwnd window, bool topmost) = 0;
  // Back among the normal windows without activating it, for the give-back.
  virtual bool dropTopmostQuietly(Hwnd window) = 0;
  virtual bool hide(Hwnd window) = 0;
  // Shown again at its former place and size, from minimized or hidden.
  virtual bool restore(Hwnd window) = 0;
  virtual bool bringToFront(Hwnd window) = 0;
};

}  // namespace strennix
