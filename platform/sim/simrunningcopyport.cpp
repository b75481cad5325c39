#include "platform/sim/simrunningcopyport.h"

namespace strennix::sim {

Hwnd SimRunningCopyPort::findRunning(const std::string& className, const std::string& caption) {
  for (const Hwnd window : world_.zOrder()) {
    const SimWindow* w = world_.findWindow(window);
    if (w != nullptr && w->className == className && w->title == caption) {
      return window;
    }
  }
  return Hwnd{};
}

void SimRunningCopyPort::allowForeground(Hwnd window) {
  if (const SimWindow* w = world_.findWindow(window)) {
    world_.foregroundAllowed.push_back(w->processId);
  }
}

bool SimRunningCopyPort::post(Hwnd window, std::uint32_t message, std::uint32_t wParam,
                              std::int32_t lParam) {
  if (world_.findWindow(window) == nullptr) {
    return false;
  }
  if (world_.findForm(window) != nullptr) {
    world_.post(window, message, wParam, lParam);
  }
  return true;
}

}  // namespace strennix::sim
