#include "platform/sim/simwindowplaceport.h"

#include "platform/winconst.h"

namespace strennix::sim {

namespace {

// A window of an elevated program: the system refuses every change to it.
SimWindow* unlessRefused(SimWindow* window) {
  return window != nullptr && !window->refusesChanges ? window : nullptr;
}

}  // namespace

SimWindow* SimWindowPlacePort::recorded(Hwnd window, Placement kind, int cx, int cy) {
  world_.placementCalls.push_back(PlacementCall{window, kind, cx, cy});
  return unlessRefused(world_.findWindow(window));
}

bool SimWindowPlacePort::move(Hwnd window, const Rect& rect) {
  SimWindow* w = unlessRefused(world_.findWindow(window));
  if (w == nullptr) {
    return false;
  }
  w->rect = rect;
  return true;
}

bool SimWindowPlacePort::resize(Hwnd window, std::int32_t width, std::int32_t height) {
  SimWindow* w = recorded(window, Placement::Resize, width, height);
  if (w == nullptr) {
    return false;
  }
  w->rect.right = w->rect.left + width;
  w->rect.bottom = w->rect.top + height;
  return true;
}

bool SimWindowPlacePort::setTopmost(Hwnd window, bool topmost) {
  SimWindow* w = recorded(window, topmost ? Placement::Topmost : Placement::NotTopmost);
  if (w == nullptr) {
    return false;
  }
  if (topmost) {
    w->exStyle |= win::kWsExTopmost;
    world_.raise(window);
  } else {
    dropTopmost(window, *w);
  }
  return true;
}

bool SimWindowPlacePort::dropTopmostQuietly(Hwnd window) {
  SimWindow* w = recorded(window, Placement::NotTopmostQuietly);
  if (w == nullptr) {
    return false;
  }
  dropTopmost(window, *w);
  return true;
}

void SimWindowPlacePort::dropTopmost(Hwnd window, SimWindow& w) {
  if ((w.exStyle & win::kWsExTopmost) != 0) {
    w.exStyle &= ~win::kWsExTopmost;
    world_.placeAfterTopmost(window);
  }
}

bool SimWindowPlacePort::hide(Hwnd window) {
  SimWindow* w = unlessRefused(world_.findWindow(window));
  if (w == nullptr) {
    return false;
  }
  w->visible = false;
  return true;
}

bool SimWindowPlacePort::restore(Hwnd window) {
  SimWindow* w = unlessRefused(world_.findWindow(window));
  if (w == nullptr) {
    return false;
  }
  w->visible = true;
  w->style &= ~(win::kWsMaximize | win::kWsMinimize);
  return true;
}

// As far up as its topmost state lets it.
bool SimWindowPlacePort::bringToFront(Hwnd window) {
  const SimWindow* w = world_.findWindow(window);
  if (w == nullptr) {
    return false;
  }
  world_.setForeground(window);
  if ((w->exStyle & win::kWsExTopmost) != 0) {
    world_.raise(window);
  } else {
    world_.placeAfterTopmost(window);
  }
  return true;
}

}  // namespace strennix::sim
