// Where a window's buttons are shown: painted into its title bar, or in a
// button window over it. The repaint schedule works through this.
#pragma once

#include <vector>

#include "platform/types.h"

namespace strennix {

class TitleButtons {
 public:
  virtual ~TitleButtons() = default;
  // Shows the window's buttons if it gets them; else it has none. Answers
  // whether it shows them.
  virtual bool show(Hwnd window) = 0;
  // Whether the timer's round over the windows runs at this tick (a yes
  // counts as the round's start). Painted buttons are painted again at every
  // tick; button windows, which their poll follows, need a round only now
  // and then, to find the windows that newly get buttons.
  virtual bool roundDue() = 0;
  // The round: as show, except that buttons in a window of their own, which
  // nothing paints over, are left to their poll.
  virtual bool showOnRound(Hwnd window) = 0;
  virtual void forget(Hwnd window) = 0;
  // Forgets every window but these.
  virtual void keepOnly(const std::vector<Hwnd>& shown) = 0;
};

}  // namespace strennix
