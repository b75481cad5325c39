// The buttons go into the title bar, or into a button window over it where
// those are used; a window shows them one way only.
#pragma once

#include <vector>

#include "app/core/titlebuttons.h"
#include "buttons/gfx.h"
#include "buttonwindows/buttonwindows.h"

namespace strennix {

class ButtonShow : public TitleButtons {
 public:
  ButtonShow(Gfx& gfx, ButtonWindows& buttonWindows) : gfx_(gfx), buttonWindows_(buttonWindows) {}

  bool show(Hwnd window) override;
  bool roundDue() override;
  bool showOnRound(Hwnd window) override;
  void forget(Hwnd window) override;
  void keepOnly(const std::vector<Hwnd>& shown) override;

 private:
  Gfx& gfx_;
  ButtonWindows& buttonWindows_;
};

}  // namespace strennix
