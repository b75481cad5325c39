#include "buttonwindows/buttonwindows.h"

#include <algorithm>
#include <utility>

#include "app/core/fullscreen.h"
#include "platform/winconst.h"

namespace strennix {

namespace {

// The poll's pace while the windows keep still, and while one moves: then
// a button window lags its window by at most one fast period.
constexpr std::uint32_t kPollMs = 100;
constexpr std::uint32_t kFastPollMs = 20;
// Half a second at the fast pace after the last move seen.
constexpr int kFastPolls = 25;

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

ButtonWindows::ButtonWindows(WindowPort& windows, ButtonWindowPort& bars, WindowFramePort& frames,
                             WindowFilter& filter, ButtonFaces& faces, UiPort& ui,
                             const Form& owner, std::uint32_t pollTimerId, const Settings& settings,
                             const Logger& log)
    : windows_(windows),
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

bool ButtonWindows::getsButtons(Hwnd window) const {
  return windows_.isWindow(window) && window != windows_.desktopWindow() &&
         windowUnder(window) == Hwnd{} && filter_.passesAll(window);
}

bool ButtonWindows::outOfSight(Hwnd window, const Rect& rect) {
  return !windows_.isVisible(window) ||
         (windows_.windowLong(window, win::kGwlStyle) & win::kWsMinimize) != 0 ||
         frames_.cloaked(window) || coversItsMonitor(windows_, window, rect);
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
    found = shown_.emplace(window, Bar{std::move(bar), {}, {}, false, false, {}}).first;
  }
  schedulePoll(follow(window, found->second));
  return true;
}

bool ButtonWindows::follow(Hwnd window, Bar& bar) {
  const Rect rect = windows_.windowRect(window);
  if (outOfSight(window, rect)) {
    hide(bar);
    return false;
  }
  // The desktop is asked only when the window changed: a poll of windows
  // that keep still costs next to nothing.
  if (!bar.shown || rect != bar.facts.window) {
    bar.facts = FrameFacts{rect, frames_.captionButtons(window), frames_.titleBar(window),
                           frames_.dpi(window)};
  }
  repaint(window, bar);
  if (bar.picture.icons.empty()) {
    hide(bar);
    return false;
  }
  const Rect place = barPlace(bar.facts, settings_, static_cast<int>(bar.picture.icons.size()));
  const bool topmost = (windows_.windowLong(window, win::kGwlExStyle) & win::kWsExTopmost) != 0;
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
  ButtonPicture picture{
      faces_.facesOf(window), scaledToDpi(settings_.buttonXStretch, bar.facts.dpi),
      scaledToDpi(settings_.buttonYStretch, bar.facts.dpi), slotOf(hovered_), slotOf(held_)};
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
  windows_.setForegroundWindow(window);
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
  bool moved = false;
  for (auto entry = shown_.begin(); entry != shown_.end();) {
    if (!windows_.isWindow(entry->first)) {
      const Hwnd gone = entry->first;
      ++entry;
      forget(gone);
      continue;
    }
    moved = follow(entry->first, entry->second) || moved;
    ++entry;
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
