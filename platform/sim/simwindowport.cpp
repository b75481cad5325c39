#include "platform/sim/simwindowport.h"

#include <algorithm>
#include <cstdint>

#include "platform/winconst.h"

namespace strennix::sim {

namespace {

constexpr std::uint32_t kDesktopStyle =
    win::kWsPopup | win::kWsVisible | win::kWsClipSiblings | win::kWsClipChildren;

// The area two rectangles share, in square pixels.
std::int64_t overlap(const Rect& a, const Rect& b) {
  const std::int64_t width = std::min(a.right, b.right) - std::max(a.left, b.left);
  const std::int64_t height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return width > 0 && height > 0 ? width * height : 0;
}

// How far a point lies outside a rectangle (0 inside it), as the larger of
// the two axes' distances.
std::int64_t distance(const Rect& rect, Point point) {
  const auto axis = [](std::int64_t value, std::int64_t low, std::int64_t high) {
    return value < low ? low - value : value >= high ? value - high + 1 : 0;
  };
  return std::max(axis(point.x, rect.left, rect.right), axis(point.y, rect.top, rect.bottom));
}

std::string truncated(const std::string& text, int bufferSize) {
  if (bufferSize <= 0) {
    return {};
  }
  return text.substr(0, static_cast<std::size_t>(bufferSize) - 1);
}

}  // namespace

Hwnd SimWindowPort::foregroundWindow() { return world_.foreground(); }

Hwnd SimWindowPort::desktopWindow() { return kDesktopWindow; }

bool SimWindowPort::isWindow(Hwnd window) {
  return window == kDesktopWindow || world_.exists(window) || world_.isControl(window);
}

Rect SimWindowPort::windowRect(Hwnd window) {
  if (window == kDesktopWindow) {
    return world_.monitors.front().area;
  }
  const SimWindow* w = world_.findWindow(window);
  return w == nullptr ? Rect{} : w->rect;
}

std::uint32_t SimWindowPort::windowLong(Hwnd window, int index) {
  if (window == kDesktopWindow) {
    return index == win::kGwlStyle ? kDesktopStyle : 0;
  }
  const SimWindow* w = world_.findWindow(window);
  if (w == nullptr) {
    return 0;
  }
  if (index == win::kGwlStyle) {
    return (w->style & ~win::kWsVisible) | (w->visible ? win::kWsVisible : 0);
  }
  if (index == win::kGwlExStyle) {
    return w->exStyle;
  }
  return 0;
}

void SimWindowPort::setWindowLong(Hwnd window, int index, std::uint32_t value) {
  SimWindow* w = world_.findWindow(window);
  if (w == nullptr) {
    return;
  }
  if (index == win::kGwlStyle) {
    w->style = value;
    w->visible = (value & win::kWsVisible) != 0;
  } else if (index == win::kGwlExStyle) {
    w->exStyle = value;
  }
}

std::string SimWindowPort::className(Hwnd window, int bufferSize) {
  if (window == kDesktopWindow) {
    return truncated("#32769", bufferSize);
  }
  const SimWindow* w = world_.findWindow(window);
  return w == nullptr ? std::string() : truncated(w->className, bufferSize);
}

std::string SimWindowPort::windowText(Hwnd window, int bufferSize) {
  const SimWindow* w = world_.findWindow(window);
  return w == nullptr ? std::string() : truncated(w->title, bufferSize);
}

Hwnd SimWindowPort::owner(Hwnd window) {
  const SimWindow* w = world_.findWindow(window);
  return w == nullptr ? Hwnd{} : w->owner;
}

ProcessId SimWindowPort::windowProcessId(Hwnd window) {
  const SimWindow* w = world_.findWindow(window);
  return w == nullptr ? 0 : w->processId;
}

bool SimWindowPort::moveWindow(Hwnd window, int x, int y, int width, int height, bool /*repaint*/) {
  SimWindow* w = world_.findWindow(window);
  if (w == nullptr || w->refusesChanges) {
    return false;
  }
  w->rect = Rect{x, y, x + width, y + height};
  return true;
}

bool SimWindowPort::setWindowPos(Hwnd window, std::int32_t insertAfter, int x, int y, int cx,
                                 int cy, std::uint32_t flags) {
  world_.setWindowPosCalls.push_back(SetWindowPosCall{window, insertAfter, x, y, cx, cy, flags});
  SimWindow* w = world_.findWindow(window);
  if (w == nullptr || w->refusesChanges) {
    return false;
  }
  const Rect old = w->rect;
  if ((flags & win::kSwpNoMove) == 0) {
    w->rect = Rect{x, y, x + old.width(), y + old.height()};
  }
  if ((flags & win::kSwpNoSize) == 0) {
    w->rect.right = w->rect.left + cx;
    w->rect.bottom = w->rect.top + cy;
  }
  if ((flags & win::kSwpShowWindow) != 0) {
    w->visible = true;
  }
  if ((flags & win::kSwpHideWindow) != 0) {
    w->visible = false;
  }
  if ((flags & win::kSwpNoZOrder) == 0) {
    reorder(window, *w, insertAfter);
  }
  return true;
}

void SimWindowPort::reorder(Hwnd window, SimWindow& w, std::int32_t insertAfter) {
  const auto after = static_cast<Hwnd>(insertAfter);
  if (insertAfter == win::kHwndTopmost) {
    w.exStyle |= win::kWsExTopmost;
    world_.raise(window);
  } else if (insertAfter == win::kHwndNoTopmost) {
    if ((w.exStyle & win::kWsExTopmost) != 0) {
      w.exStyle &= ~win::kWsExTopmost;
      world_.placeAfterTopmost(window);
    }
  } else if (insertAfter == win::kHwndTop) {
    bringUp(window, w);
  } else if (insertAfter == win::kHwndBottom) {
    w.exStyle &= ~win::kWsExTopmost;
    world_.sendToBottom(window);
  } else if (world_.exists(after) && after != window) {
    world_.placeAfter(window, after);
  }
}

void SimWindowPort::bringUp(Hwnd window, const SimWindow& w) {
  if ((w.exStyle & win::kWsExTopmost) != 0) {
    world_.raise(window);
  } else {
    world_.placeAfterTopmost(window);
  }
}

bool SimWindowPort::showWindow(Hwnd window, int command) {
  SimWindow* w = world_.findWindow(window);
  if (w == nullptr) {
    return false;
  }
  const bool wasVisible = w->visible;
  if (w->refusesChanges) {
    return false;
  }
  w->visible = command != win::kSwHide;
  if (command == win::kSwShowNormal || command == win::kSwRestore) {
    w->style &= ~(win::kWsMaximize | win::kWsMinimize);
  } else if (command == win::kSwMaximize) {
    w->style = (w->style & ~win::kWsMinimize) | win::kWsMaximize;
  } else if (command == win::kSwShowMinimized || command == win::kSwMinimize ||
             command == win::kSwShowMinNoActive) {
    w->style = (w->style & ~win::kWsMaximize) | win::kWsMinimize;
  }
  return wasVisible;
}

bool SimWindowPort::isVisible(Hwnd window) {
  if (window == kDesktopWindow) {
    return true;
  }
  const SimWindow* w = world_.findWindow(window);
  return w != nullptr && w->visible;
}

bool SimWindowPort::isHung(Hwnd window) {
  const SimWindow* w = world_.findWindow(window);
  return w != nullptr && w->hung;
}

Hwnd SimWindowPort::findWindow(const std::string& className, const std::string& caption) {
  for (const Hwnd window : world_.zOrder()) {
    const SimWindow* w = world_.findWindow(window);
    if (w != nullptr && w->className == className && w->title == caption) {
      return window;
    }
  }
  return Hwnd{};
}

bool SimWindowPort::postMessage(Hwnd window, std::uint32_t message, std::uint32_t wParam,
                                std::int32_t lParam) {
  if (world_.findWindow(window) == nullptr) {
    return false;
  }
  if (world_.findForm(window) != nullptr) {
    world_.post(window, message, wParam, lParam);
  }
  return true;
}

bool SimWindowPort::setForegroundWindow(Hwnd window) {
  const SimWindow* w = world_.findWindow(window);
  if (w == nullptr) {
    return false;
  }
  world_.setForeground(window);
  bringUp(window, *w);
  return true;
}

void SimWindowPort::allowForeground(ProcessId process) {
  world_.foregroundAllowed.push_back(process);
}

void SimWindowPort::enumWindows(const std::function<bool(Hwnd)>& visit) {
  const std::vector<Hwnd> order = world_.zOrder();
  for (const Hwnd window : order) {
    if (world_.exists(window) && !visit(window)) {
      return;
    }
  }
}

Monitor SimWindowPort::monitorOf(Hwnd window) {
  const Rect rect = windowRect(window);
  const std::vector<Monitor>& monitors = world_.monitors;
  const auto most = std::max_element(monitors.begin(), monitors.end(),
                                     [&rect](const Monitor& a, const Monitor& b) {
                                       return overlap(a.area, rect) < overlap(b.area, rect);
                                     });
  if (overlap(most->area, rect) > 0) {
    return *most;
  }
  return monitorAt(Point{rect.left + rect.width() / 2, rect.top + rect.height() / 2});
}

Monitor SimWindowPort::monitorAt(Point point) {
  const std::vector<Monitor>& monitors = world_.monitors;
  return *std::min_element(monitors.begin(), monitors.end(),
                           [&point](const Monitor& a, const Monitor& b) {
                             return distance(a.area, point) < distance(b.area, point);
                           });
}

Point SimWindowPort::cursorPos() { return world_.cursor; }

std::optional<std::uint32_t> SimWindowPort::sendMessageTimeout(Hwnd window, std::uint32_t message,
                                                               std::uint32_t wParam,
                                                               std::int32_t lParam,
                                                               std::uint32_t /*flags*/,
                                                               std::uint32_t /*timeoutMs*/) {
  const SimWindow* w = world_.findWindow(window);
  if (w == nullptr || w->hung) {
    return std::nullopt;
  }
  const SimForm* form = world_.findForm(window);
  if (form != nullptr && form->events != nullptr) {
    std::int32_t result = 0;
    if (form->events->onMessage(message, wParam, lParam, result)) {
      return static_cast<std::uint32_t>(result);
    }
  }
  if (message == win::kWmGetIcon) {
    if (wParam == win::kIconBig) {
      return handleBits(w->bigIcon);
    }
    if (wParam == win::kIconSmall || wParam == win::kIconSmall2) {
      return handleBits(w->smallIcon);
    }
    return 0U;
  }
  if (message == win::kWmQueryDragIcon) {
    return handleBits(w->dragIcon);
  }
  return 0U;
}

std::uint32_t SimWindowPort::classLong(Hwnd window, int index) {
  const SimWindow* w = world_.findWindow(window);
  if (w == nullptr) {
    return 0;
  }
  if (index == win::kGclHIconSm) {
    return handleBits(w->classSmallIcon);
  }
  if (index == win::kGclHIcon) {
    return handleBits(w->classIcon);
  }
  return 0;
}

}  // namespace strennix::sim
