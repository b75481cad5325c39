#include "buttonwindows/buttonwindows.h"

#include <algorithm>
#include <utility>

#include "app/core/fullscreen.h"

namespace strennix {

namespace {

// The poll's pace while the windows keep still, and while one moves: then
// a button window lags its window by at most one fast period.
constexpr std::uint32_t kPollMs = 100;
constexpr std::uint32_t kFastPollMs = 20;
// Half a second at the fast pace after the last move seen.
constexpr int kFastPolls = 25;
// A user drags the window in front; the others move seldom, and are
// followed at every fifth poll after a change (and at each report of them),
// then half as often each time they kept still, down to every twentieth:
// many quiet windows cost next to nothing.
constexpr int kQuietEvery = 5;
constexpr int kQuietMost = 20;

// The slot under a point of the button window: 0 is the rightmost, -1 none.
int slotAt(const ButtonPicture& picture, Point point) {
  const std::int64_t width =
      std::int64_t{picture.slotWidth} * static_cast<std::int64_t>(picture.icons.size());
  if (picture.slotWidth <= 0 || point.x < 0 || point.x >= width || point.y < 0 ||
      point.y >= picture.height) {
    return -1;
  }
  return static_cast<int>((width - 1 - point.x) / picture.slotWidth);
}

}  // namespace

ButtonWindows::ButtonWindows(WindowInfoPort& windows, DesktopPort& desktop,
                             WindowPlacePort& placement, ButtonWindowPort& bars,
                             WindowFramePort& frames, WindowFilter& filter, ButtonFaces& faces,
                             UiPort& ui, const Form& owner, std::uint32_t pollTimerId,
                             const Settings& settings, const Logger& log)
    : windows_(windows),
      desktop_(desktop),
      placement_(placement),
      bars_(bars),
      frames_(frames),
      filter_(filter),
      faces_(faces),
      owner_(owner),
      settings_(settings),
      log_(log, kGfxLog),
      poll_(ui, owner, pollTimerId) {}

void ButtonWindows::chooseLook() {
  const ButtonLook look = settings_.buttonLook;
  const bool inUse = look != ButtonLook::Painted && bars_.available() &&
                     (look == ButtonLook::Windows || frames_.composed());
  if (std::exchange(inUse_, inUse) != inUse) {
    log_.trace(inUse ? "Buttons in windows of their own" : "Buttons painted");
  }
  if (!inUse) {
    destroyAll();
  }
}

// Most windows of a round fail the filter; only those that pass are asked
// whether they still exist (a gone window's styles read as none).
bool ButtonWindows::getsButtons(Hwnd window) const {
  return window != desktop_.desktopWindow() && windowUnder(window) == Hwnd{} &&
         filter_.passesAll(window) && windows_.isWindow(window);
}

bool ButtonWindows::outOfSight(Hwnd window, const Bar& bar) {
  return !windows_.isVisible(window) || windows_.isMinimized(window) || frames_.cloaked(window) ||
         bar.fullScreen;
}

Hwnd ButtonWindows::windowUnder(Hwnd bar) const {
  const auto found = std::find_if(shown_.begin(), shown_.end(), [bar](const auto& entry) {
    return entry.second.window.get() == bar;
  });
  return found == shown_.end() ? Hwnd{} : found->first;
}

Hwnd ButtonWindows::barOf(Hwnd window) const {
  const auto found = shown_.find(window);
  return found == shown_.end() ? Hwnd{} : found->second.window.get();
}

bool ButtonWindows::show(Hwnd window) {
  if (!inUse_ || !getsButtons(window)) {
    forget(window);
    return false;
  }
  auto found = shown_.find(window);
  if (found == shown_.end()) {
    ButtonWindow bar = bars_.create(owner_.handle());
    if (!bar) {
      log_.writeLog("A button window could not be made.");
      return false;
    }
    found = shown_.emplace(window, Bar{std::move(bar)}).first;
  }
  track(window, found->second, true);
  schedulePoll(found->second.moving);
  return true;
}

bool ButtonWindows::roundDue() {
  if (!shown_.empty() && pollsSinceRound_ < kQuietMost) {
    return false;
  }
  pollsSinceRound_ = 0;
  return true;
}

bool ButtonWindows::showOnRound(Hwnd window) {
  if (!inUse_ || !shown_.contains(window)) {
    return show(window);
  }
  if (getsButtons(window)) {
    return true;
  }
  forget(window);
  return false;
}

void ButtonWindows::track(Hwnd window, Bar& bar, bool reported) {
  const bool wasShown = bar.shown;
  bar.moving = follow(window, bar);
  const bool still = !reported && !bar.moving && bar.shown == wasShown;
  bar.quietPace = still ? std::min(bar.quietPace * 2, kQuietMost) : kQuietEvery;
  bar.pollsToGo = bar.quietPace;
}

bool ButtonWindows::follow(Hwnd window, Bar& bar) {
  const Rect rect = windows_.windowRect(window);
  // The frame and the monitor are asked only when the window changed: a
  // poll of windows that keep still costs next to nothing.
  if (!bar.factsKnown || rect != bar.facts.window) {
    bar.facts = FrameFacts{rect, frames_.captionButtons(window), frames_.titleBar(window),
                           frames_.dpi(window)};
    bar.fullScreen = coversItsMonitor(desktop_, window, rect);
    bar.factsKnown = true;
  }
  if (outOfSight(window, bar)) {
    hide(bar);
    return false;
  }
  repaint(window, bar);
  if (bar.picture.icons.empty()) {
    hide(bar);
    return false;
  }
  const Rect place = barPlace(bar.facts, settings_, static_cast<int>(bar.picture.icons.size()));
  const bool topmost = windows_.isTopmost(window);
  const bool moved = bar.shown && place != bar.place;
  if (moved || topmost != bar.topmost || !bar.shown ||
      !bars_.isJustAbove(bar.window.get(), window)) {
    bars_.place(bar.window.get(), place, window, topmost);
    bar.place = place;
    bar.topmost = topmost;
  }
  if (!bar.shown) {
    bars_.show(bar.window.get(), true);
    bar.shown = true;
  }
  return moved;
}

void ButtonWindows::hide(Bar& bar) {
  if (bar.shown) {
    bars_.show(bar.window.get(), false);
    bar.shown = false;
  }
}

void ButtonWindows::repaint(Hwnd window, Bar& bar) {
  const auto slotOf = [window](const std::optional<HeldSlot>& held) {
    return held && held->window == window ? held->slot : -1;
  };
  const ButtonGeometry geometry = buttonGeometry(settings_, bar.facts.dpi);
  ButtonPicture picture{faces_.facesOf(window), geometry.slotWidth, geometry.height,
                        slotOf(hovered_), slotOf(held_)};
  if (picture != bar.picture) {
    bars_.paint(bar.window.get(), picture);
    bar.picture = std::move(picture);
  }
}

void ButtonWindows::forget(Hwnd window) {
  for (std::optional<HeldSlot>* slot : {&held_, &hovered_}) {
    if (*slot && (*slot)->window == window) {
      slot->reset();
    }
  }
  shown_.erase(window);
}

void ButtonWindows::keepOnly(const std::vector<Hwnd>& shown) {
  std::vector<Hwnd> gone;
  for (const auto& [window, bar] : shown_) {
    if (!inUse_ || std::find(shown.begin(), shown.end(), window) == shown.end()) {
      gone.push_back(window);
    }
  }
  for (const Hwnd window : gone) {
    forget(window);
  }
}

void ButtonWindows::destroyAll() {
  shown_.clear();
  held_.reset();
  hovered_.reset();
  poll_.setEnabled(false);
}

std::optional<BarClick> ButtonWindows::onReport(std::uint32_t message, Hwnd bar,
                                                std::int32_t point) {
  const Hwnd window = windowUnder(bar);
  if (window == Hwnd{}) {
    return std::nullopt;
  }
  Bar& shown = shown_.at(window);
  const int slot = slotAt(shown.picture, unpackPoint(point));
  switch (message) {
    case kStrnxBarPress:
      press(window, shown, slot);
      return std::nullopt;
    case kStrnxBarRelease:
      return release(window, shown, slot);
    case kStrnxBarMove:
      hover(window, shown, slot);
      return std::nullopt;
    default:
      hover(window, shown, -1);
      return std::nullopt;
  }
}

// As a press on its title bar would, it brings the window to the front.
void ButtonWindows::press(Hwnd window, Bar& bar, int slot) {
  if (slot < 0) {
    return;
  }
  held_ = HeldSlot{window, slot};
  placement_.bringToFront(window);
  repaint(window, bar);
}

std::optional<BarClick> ButtonWindows::release(Hwnd window, Bar& bar, int slot) {
  if (!held_ || held_->window != window) {
    return std::nullopt;
  }
  const int heldSlot = std::exchange(held_, std::nullopt)->slot;
  repaint(window, bar);
  return slot == heldSlot ? std::optional<BarClick>(BarClick{window, slot}) : std::nullopt;
}

void ButtonWindows::hover(Hwnd window, Bar& bar, int slot) {
  hovered_ = slot < 0 ? std::nullopt : std::optional<HeldSlot>(HeldSlot{window, slot});
  repaint(window, bar);
}

void ButtonWindows::poll() {
  ++pollsSinceRound_;
  bool moved = false;
  const Hwnd front = desktop_.foregroundWindow();
  std::vector<Hwnd> gone;
  for (auto& [window, bar] : shown_) {
    if (window != front && !bar.moving && --bar.pollsToGo > 0) {
      continue;
    }
    if (!windows_.isWindow(window)) {
      gone.push_back(window);
      continue;
    }
    track(window, bar, false);
    moved = bar.moving || moved;
  }
  for (const Hwnd window : gone) {
    forget(window);
  }
  schedulePoll(moved);
}

void ButtonWindows::schedulePoll(bool moved) {
  if (shown_.empty()) {
    poll_.setEnabled(false);
    return;
  }
  if (moved) {
    fastPolls_ = kFastPolls;
  }
  const std::uint32_t interval = fastPolls_ > 0 ? kFastPollMs : kPollMs;
  fastPolls_ = std::max(fastPolls_ - 1, 0);
  poll_.setInterval(interval);
  poll_.setEnabled(true);
}

}  // namespace strennix
