// When which window's buttons are painted again: at once and shortly after
// its title bar changes, shortly after something over it went away.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "app/core/log.h"
#include "app/core/settings.h"
#include "app/core/titlebuttons.h"
#include "buttons/gfx.h"
#include "platform/buttonrows.h"
#include "platform/forms.h"
#include "platform/types.h"
#include "platform/windows.h"

namespace strennix {

class RepaintSchedule {
 public:
  // Its timer runs on the `host` form.
  RepaintSchedule(UiPort& ui, const Form& host, WindowPort& windows, ButtonRowsPort& rows,
                  TitleButtons& gfx, const Settings& settings, const Logger& log);

  // The regular paint: the foreground window, or every top-level window
  // when buttons are drawn on all; a window not painted loses its row.
  void repaintCurrent();
  // Paints the window's buttons if it gets them in the current mode.
  void repaint(Hwnd window);
  // The window's title bar is being painted anew: its buttons are painted
  // again at once and twice shortly after, or it loses its row when it no
  // longer gets buttons.
  void captionChanged(Hwnd window);
  // The window moved, changed size or was hidden: its buttons and those of
  // the windows showing buttons under the place it left (all of them when
  // that place is not known yet), which it may have uncovered, are painted
  // again shortly.
  void uncovered(Hwnd window);
  // Something over the windows showing buttons went away: all of them are
  // painted again shortly.
  void settleShownWindows();
  // The window is gone: its row and its place are dropped.
  void forget(Hwnd window);
  // Runs a tick of its timer; answers false for another timer.
  bool tick(std::uint32_t timerId);

 private:
  void settle(Hwnd window);
  void settleShownWindows(const std::optional<Rect>& over);
  void rememberPlace(Hwnd window);

  WindowPort& windows_;
  ButtonRowsPort& rows_;
  TitleButtons& gfx_;
  const Settings& settings_;
  ModuleLog log_;
  // The hook reports a caption change before the window repaints, and under
  // Wine the repaint can reach the screen some milliseconds later still: the
  // windows reported lately are painted twice more, shortly after.
  Timer timer_;
  std::vector<Hwnd> settling_;
  bool settledOnce_ = false;
  // Where each window that reported a move was at its last report.
  std::map<Hwnd, Rect> lastPlaces_;
};

}  // namespace strennix
