#include "platform/sim/simwindowinfoport.h"

#include <cstdint>

#include "platform/winconst.h"

namespace strennix::sim {

namespace {

constexpr std::uint32_t kDesktopStyle =
    win::kWsPopup | win::kWsVisible | win::kWsClipSiblings | win::kWsClipChildren;

std::string truncated(const std::string& text, int bufferSize) {
  if (bufferSize <= 0) {
    return {};
  }
  return text.substr(0, static_cast<std::size_t>(bufferSize) - 1);
}

}  // namespace

bool SimWindowInfoPort::isWindow(Hwnd window) {
  return window == kDesktopWindow || world_.exists(window) || world_.isControl(window);
}

Rect SimWindowInfoPort::windowRect(Hwnd window) {
  if (window == kDesktopWindow) {
    return world_.monitors.front().area;
  }
  const SimWindow* w = world_.findWindow(window);
  return w == nullptr ? Rect{} : w->rect;
}

// The visibility is a style bit too, as the system keeps it.
WindowStyles SimWindowInfoPort::styles(Hwnd window) {
  if (window == kDesktopWindow) {
    return WindowStyles{kDesktopStyle, 0};
  }
  const SimWindow* w = world_.findWindow(window);
  if (w == nullptr) {
    return {};
  }
  return WindowStyles{(w->style & ~win::kWsVisible) | (w->visible ? win::kWsVisible : 0),
                      w->exStyle};
}

bool SimWindowInfoPort::isMinimized(Hwnd window) {
  return (styles(window).style & win::kWsMinimize) != 0;
}

bool SimWindowInfoPort::isMaximized(Hwnd window) {
  return (styles(window).style & win::kWsMaximize) != 0;
}

bool SimWindowInfoPort::isTopmost(Hwnd window) {
  return (styles(window).exStyle & win::kWsExTopmost) != 0;
}

bool SimWindowInfoPort::isVisible(Hwnd window) {
  if (window == kDesktopWindow) {
    return true;
  }
  const SimWindow* w = world_.findWindow(window);
  return w != nullptr && w->visible;
}

bool SimWindowInfoPort::isHung(Hwnd window) {
  const SimWindow* w = world_.findWindow(window);
  return w != nullptr && w->hung;
}

std::string SimWindowInfoPort::className(Hwnd window, int bufferSize) {
  if (window == kDesktopWindow) {
    return truncated("#32769", bufferSize);
  }
  const SimWindow* w = world_.findWindow(window);
  return w == nullptr ? std::string() : truncated(w->className, bufferSize);
}

std::string SimWindowInfoPort::windowText(Hwnd window, int bufferSize) {
  const SimWindow* w = world_.findWindow(window);
  return w == nullptr ? std::string() : truncated(w->title, bufferSize);
}

Hwnd SimWindowInfoPort::owner(Hwnd window) {
  const SimWindow* w = world_.findWindow(window);
  return w == nullptr ? Hwnd{} : w->owner;
}

ProcessId SimWindowInfoPort::processOf(Hwnd window) {
  const SimWindow* w = world_.findWindow(window);
  return w == nullptr ? 0 : w->processId;
}

}  // namespace strennix::sim
