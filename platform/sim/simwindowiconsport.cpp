#include "platform/sim/simwindowiconsport.h"

namespace strennix::sim {

const SimWindow* SimWindowIconsPort::answering(Hwnd window) {
  const SimWindow* w = world_.findWindow(window);
  return w == nullptr || w->hung ? nullptr : w;
}

IconHandle SimWindowIconsPort::askedIcon(Hwnd window, IconSize size, std::uint32_t /*timeoutMs*/) {
  const SimWindow* w = answering(window);
  if (w == nullptr) {
    return IconHandle{};
  }
  return size == IconSize::Small ? w->smallIcon : w->bigIcon;
}

IconHandle SimWindowIconsPort::dragIcon(Hwnd window, std::uint32_t /*timeoutMs*/) {
  const SimWindow* w = answering(window);
  return w == nullptr ? IconHandle{} : w->dragIcon;
}

IconHandle SimWindowIconsPort::classIcon(Hwnd window, IconSize size) {
  const SimWindow* w = world_.findWindow(window);
  if (w == nullptr) {
    return IconHandle{};
  }
  return size == IconSize::Small ? w->classSmallIcon : w->classIcon;
}

}  // namespace strennix::sim
