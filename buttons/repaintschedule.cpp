#include "buttons/repaintschedule.h"

#include <algorithm>
#include <utility>

#include "resources/resource.h"

namespace strennix {

namespace {

// The second timer of the host form, and its two delays after a reported
// caption change: the window's own repaint is on the screen by then.
constexpr std::uint32_t kSettleTimerId = IDT_TIMER1 + 1;
constexpr std::uint32_t kFirstSettleMs = 10;
constexpr std::uint32_t kSecondSettleMs = 30;
// How many moving windows' places are remembered at most.
constexpr std::size_t kRememberedPlaces = 64;

}  // namespace

RepaintSchedule::RepaintSchedule(UiPort& ui, const Form& host, WindowInfoPort& windows,
                                 DesktopPort& desktop, ButtonRowsPort& rows, TitleButtons& gfx,
                                 const Settings& settings, const Logger& log)
    : windows_(windows),
      desktop_(desktop),
      rows_(rows),
      gfx_(gfx),
      settings_(settings),
      log_(log, kAppLog),
      timer_(ui, host, kSettleTimerId) {}

void RepaintSchedule::repaintCurrent() {
  if (!gfx_.roundDue()) {
    return;
  }
  std::vector<Hwnd> painted;
  const auto draw = [this, &painted](Hwnd window) {
    if (gfx_.showOnRound(window)) {
      painted.push_back(window);
    }
  };
  if (settings_.drawOnAll) {
    desktop_.enumWindows([&draw](Hwnd window) {
      draw(window);
      return true;
    });
  } else {
    draw(desktop_.foregroundWindow());
  }
  // A window that left the front, or died, shows no buttons any more.
  gfx_.keepOnly(painted);
}

void RepaintSchedule::repaint(Hwnd window) {
  if (settings_.drawOnAll) {
    gfx_.show(window);
    return;
  }
  // Only the window in front shows buttons: the others' repaints have
  // covered the buttons of their last turn in front.
  if (window == desktop_.foregroundWindow() && gfx_.show(window)) {
    gfx_.keepOnly({window});
    return;
  }
  gfx_.forget(window);
}

void RepaintSchedule::captionChanged(Hwnd window) {
  log_.trace("Recieved STRNX_CAPTIONCHANGE");
  repaint(window);
  settle(window);
  log_.trace("Handled STRNX_CAPTIONCHANGE");
}

// Not painted at once: a drag reports every step, and one settle paints
// all of them. Only the windows under the place the window left can have
// been uncovered; where it was is known from its last report, and without
// one every window showing buttons is settled.
void RepaintSchedule::uncovered(Hwnd window) {
  log_.trace("Recieved STRNX_UNCOVERED");
  settle(window);
  const auto last = lastPlaces_.find(window);
  settleShownWindows(last != lastPlaces_.end() ? std::optional<Rect>(last->second) : std::nullopt);
  rememberPlace(window);
  log_.trace("Handled STRNX_UNCOVERED");
}

void RepaintSchedule::settleShownWindows() { settleShownWindows(std::nullopt); }

void RepaintSchedule::forget(Hwnd window) {
  gfx_.forget(window);
  lastPlaces_.erase(window);
}

bool RepaintSchedule::tick(std::uint32_t timerId) {
  if (timerId != timer_.id()) {
    return false;
  }
  for (const Hwnd window : settling_) {
    repaint(window);
  }
  if (!std::exchange(settledOnce_, true)) {
    timer_.setInterval(kSecondSettleMs);
    return true;
  }
  timer_.setEnabled(false);
  settling_.clear();
  return true;
}

// A settle that has yet to paint for the first time keeps its time, so that
// a stream of reports (a window dragged across others) cannot put it off.
void RepaintSchedule::settle(Hwnd window) {
  if (std::find(settling_.begin(), settling_.end(), window) == settling_.end()) {
    settling_.push_back(window);
  }
  if (timer_.enabled() && !settledOnce_) {
    return;
  }
  settledOnce_ = false;
  timer_.setInterval(kFirstSettleMs);
  timer_.setEnabled(true);
}

void RepaintSchedule::settleShownWindows(const std::optional<Rect>& over) {
  for (const Hwnd shown : rows_.publishedWindows()) {
    if (!over || windows_.windowRect(shown).overlaps(*over)) {
      settle(shown);
    }
  }
}

// Windows that die unreported leave their places behind; the few that
// matter are those moving now, so a long list is simply started again.
void RepaintSchedule::rememberPlace(Hwnd window) {
  if (lastPlaces_.size() >= kRememberedPlaces) {
    lastPlaces_.clear();
  }
  if (windows_.isWindow(window)) {
    lastPlaces_.insert_or_assign(window, windows_.windowRect(window));
  } else {
    lastPlaces_.erase(window);
  }
}

}  // namespace strennix
