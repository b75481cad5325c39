#include "actions/uifx.h"

#include "app/core/windowbook.h"
#include "platform/forms.h"
#include "platform/winconst.h"

namespace strennix {

namespace {

// A rolled-up window is this high, frame included; one of this height or
// less counts as rolled up.
constexpr std::int32_t kShadedHeight = 27;
constexpr int kTitleBuffer = 260;
constexpr int kMenuTitleBuffer = 255;
constexpr std::uint32_t kIconTimeoutMs = 1000;

constexpr const char* kTooManyShaded =
    "You are trying to shade to many windows(45+). The operation failed.";
constexpr const char* kTooManyTrayIcons = "You can not add more icons to the tray.";
constexpr const char* kTooManyMenuWindows =
    "You are trying to tray to many windows(45+). The operation failed.";

// `percentage` of `length`, truncated toward zero.
std::int32_t share(std::int32_t length, std::int32_t percentage) {
  return static_cast<std::int32_t>(static_cast<std::int64_t>(length) * percentage / 100);
}

// Where a span of `size` starts when centred in the span from `start` of
// `length`.
std::int32_t centred(std::int32_t start, std::int32_t length, std::int32_t size) {
  return start + (length - size) / 2;
}

}  // namespace

Rect calcVMaxRect(const Rect& window, std::int32_t percentage, const Rect& workArea) {
  const std::int32_t height = share(workArea.height(), percentage);
  const std::int32_t top = centred(workArea.top, workArea.height(), height);
  return Rect{window.left, top, window.right, top + height};
}

Rect calcHMaxRect(const Rect& window, std::int32_t percentage, const Rect& workArea) {
  const std::int32_t width = share(workArea.width(), percentage);
  const std::int32_t left = centred(workArea.left, workArea.width(), width);
  return Rect{left, window.top, left + width, window.bottom};
}

Uifx::Uifx(WindowPort& windows, MessageBoxPort& boxes, const Translator& lang, WindowLists& lists,
           NotifyIcons& icons, const Settings& settings, const Logger& log)
    : windows_(windows),
      boxes_(boxes),
      lang_(lang),
      lists_(lists),
      icons_(icons),
      settings_(settings),
      log_(log, kUifxLog) {}

void Uifx::setMenu(MenuList& menu) { menu_ = &menu; }

void Uifx::maxV(Hwnd window) {
  log_.trace("Called maxV");
  const Rect rect = windows_.windowRect(window);
  if (const StretchedWindow* record = findStretchRecord(lists_.vStretchedWindows, window)) {
    const std::int32_t height = record->savedSize;
    const Rect area = windows_.workArea();
    windows_.moveWindow(window, rect.left, centred(area.top, area.height(), height), rect.width(),
                        height, true);
    removeStretchRecord(lists_.vStretchedWindows, window);
    return;
  }
  lists_.vStretchedWindows.push_back(StretchedWindow{window, rect.height()});
  const Rect target = calcVMaxRect(rect, settings_.vMaxPercentage, windows_.workArea());
  windows_.moveWindow(window, target.left, target.top, target.width(), target.height(), true);
  log_.trace("Exited maxV");
}

void Uifx::maxH(Hwnd window) {
  log_.trace("Called maxH");
  const Rect rect = windows_.windowRect(window);
  if (const StretchedWindow* record = findStretchRecord(lists_.hStretchedWindows, window)) {
    const std::int32_t width = record->savedSize;
    const Rect area = windows_.workArea();
    windows_.moveWindow(window, centred(area.left, area.width(), width), rect.top, width,
                        rect.height(), true);
    removeStretchRecord(lists_.hStretchedWindows, window);
    return;
  }
  lists_.hStretchedWindows.push_back(StretchedWindow{window, rect.width()});
  const Rect target = calcHMaxRect(rect, settings_.hMaxPercentage, windows_.workArea());
  windows_.moveWindow(window, target.left, target.top, target.width(), target.height(), true);
}

void Uifx::shade(Hwnd window) {
  log_.trace("Called shade");
  const Rect rect = windows_.windowRect(window);
  if (rect.height() > kShadedHeight) {
    rollUp(window, rect);
  } else {
    rollDown(window, rect);
  }
  log_.trace("Exited shade");
}

// The limit is tested before the list is searched, so a listed window that
// was enlarged by hand is refused too while the list is full. The count is
// taken back before the refusal: the box's modal loop runs other handlers,
// which must not see a count one above the entries.
void Uifx::rollUp(Hwnd window, const Rect& rect) {
  std::int32_t& count = lists_.numberOfShadedWindows;
  ++count;
  if (count > kMaxShadedWindows) {
    --count;
    refuse(kTooManyShaded);
    return;
  }
  resizeInPlace(windows_, window, rect.width(), kShadedHeight);
  if (const std::int32_t listed = positionOf(lists_.shadedWindows, count - 1, window)) {
    lists_.shadedWindows[static_cast<std::size_t>(listed)].height = rect.height();
    --count;
    return;
  }
  lists_.shadedWindows[static_cast<std::size_t>(count)] = ShadedWindow{window, rect.height()};
}

void Uifx::rollDown(Hwnd window, const Rect& rect) {
  const std::int32_t listed =
      positionOf(lists_.shadedWindows, lists_.numberOfShadedWindows, window);
  if (listed == 0) {
    return;
  }
  resizeInPlace(windows_, window, rect.width(),
                lists_.shadedWindows[static_cast<std::size_t>(listed)].height);
  removePosition(lists_.shadedWindows, lists_.numberOfShadedWindows, listed);
}

// The slot is taken only once the shell has accepted the icon: without an
// icon the window could never be brought back, so it stays visible.
void Uifx::minTray(Hwnd window) {
  log_.trace("Called minTray");
  const IconHandle icon = getWindowIcon(window);
  const std::string title = windows_.windowText(window, kTitleBuffer);
  std::int32_t& count = lists_.numberOfTrayedWindows;
  ++count;
  if (count > kMaxTrayedWindows) {
    --count;
    refuse(kTooManyTrayIcons);
    log_.trace("Exited minTray");
    return;
  }
  const int slot = lowestFreeSlot(lists_.trayedWindows);
  const auto id = static_cast<std::uint32_t>(slot);
  if (slot < 0 || !icons_.msgToTrayicon(win::kNimAdd, title, icon, id)) {
    --count;
    log_.trace("Exited minTray");
    return;
  }
  lists_.trayedWindows[id] = TrayedWindow{window, false};
  hideApplicationOwner(windows_, window);
  icons_.msgToTrayicon(win::kNimModify, title, icon, id);
  windows_.showWindow(window, win::kSwHide);
  log_.trace("Exited minTray");
}

// Without a menu to list it in, a hidden window could not be brought back
// before the program ends, so it is left alone.
void Uifx::minMenu(Hwnd window) {
  log_.trace("Called minMenu");
  if (menu_ == nullptr) {
    log_.trace("Exited minMenu");
    return;
  }
  std::int32_t& count = lists_.numberOfMinimizedWindows;
  ++count;
  if (count > kMaxMenuWindows) {
    --count;  // before the box, as in rollUp
    refuse(kTooManyMenuWindows);
    log_.trace("Exited minMenu");
    return;
  }
  hideApplicationOwner(windows_, window);
  MinimizedWindow& entry = lists_.minimizedWindows[static_cast<std::size_t>(count)];
  entry = MinimizedWindow{window, windows_.windowText(window, kMenuTitleBuffer)};
  menu_->addTitle(entry.title);
  windows_.showWindow(window, win::kSwHide);
  log_.trace("Exited minMenu");
}

// Without SWP_NOACTIVATE the call also activates the window.
void Uifx::toggleTopmost(Hwnd window) {
  log_.trace("Called toggleTopmost");
  const bool topmost = (windows_.windowLong(window, win::kGwlExStyle) & win::kWsExTopmost) != 0;
  windows_.setWindowPos(window, topmost ? win::kHwndNoTopmost : win::kHwndTopmost, 0, 0, 0, 0,
                        win::kSwpNoMove | win::kSwpNoSize);
  log_.trace("Exited toggleTopmost");
}

IconHandle Uifx::getWindowIcon(Hwnd window) {
  if (const IconHandle icon = askIcon(window, win::kWmGetIcon, win::kIconSmall)) {
    return icon;
  }
  if (const IconHandle icon = windows_.classLong(window, win::kGclHIconSm)) {
    return icon;
  }
  if (const IconHandle icon = askIcon(window, win::kWmGetIcon, win::kIconBig)) {
    return icon;
  }
  if (const IconHandle icon = windows_.classLong(window, win::kGclHIcon)) {
    return icon;
  }
  return askIcon(window, win::kWmQueryDragIcon, 0);
}

// A window that does not answer within the time-out counts as having no icon.
std::uint32_t Uifx::askIcon(Hwnd window, std::uint32_t message, std::uint32_t wParam) {
  return windows_.sendMessageTimeout(window, message, wParam, 0, win::kSmtoNormal, kIconTimeoutMs)
      .value_or(0);
}

void Uifx::refuse(const std::string& english) {
  boxes_.messageBox(0, lang_.translate(english), kApplicationTitle,
                    win::kMbIconInformation | win::kMbOk);
}

}  // namespace strennix
