#include "app/buttonshow.h"

namespace strennix {

bool ButtonShow::show(Hwnd window) {
  return buttonWindows_.inUse() ? buttonWindows_.show(window) : gfx_.drawButtons(window);
}

bool ButtonShow::roundDue() {
  return buttonWindows_.inUse() ? buttonWindows_.roundDue() : gfx_.roundDue();
}

bool ButtonShow::showOnRound(Hwnd window) {
  return buttonWindows_.inUse() ? buttonWindows_.showOnRound(window) : gfx_.drawButtons(window);
}

void ButtonShow::forget(Hwnd window) {
  gfx_.forget(window);
  buttonWindows_.forget(window);
}

// A painted row left over from before the button windows is withdrawn, so
// that the hook library keeps no press from those windows.
void ButtonShow::keepOnly(const std::vector<Hwnd>& shown) {
  gfx_.keepOnly(buttonWindows_.inUse() ? std::vector<Hwnd>{} : shown);
  buttonWindows_.keepOnly(shown);
}

}  // namespace strennix
