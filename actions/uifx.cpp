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
constexpr const char* kTrayIconRefused =
    "Windows did not take the tray icon. The window stays where it is.";

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

Uifx::Uifx(WindowInfoPort& windows, WindowPlacePort& placement, DesktopPort& desktop,
           WindowIconsPort& windowIcons, MessageBoxPort& boxes, const Translator& lang,
           WindowLists& lists, Journal& journal, NotifyIcons& icons, const Settings& settings,
           const Logger& log)
    : windows_(windows),
      placement_(placement),
      desktop_(desktop),
      windowIcons_(windowIcons),
      boxes_(boxes),
      lang_(lang),
      lists_(lists),
      journal_(journal),
      icons_(icons),
      settings_(settings),
      log_(log, kUifxLog) {}

// The one place a full list refuses a window.
template <class List>
bool Uifx::hasRoom(const List& list, const char* refusal) {
  if (!list.full()) {
    return true;
  }
  refuse(refusal);
  return false;
}

void Uifx::setMenu(MenuList& menu) { menu_ = &menu; }

void Uifx::maxV(Hwnd window) {
  log_.trace("Called maxV");
  const Rect rect = windows_.windowRect(window);
  if (const StretchedWindow* record = lists_.stretched(Axis::Vertical).find(window)) {
    const std::int32_t height = record->savedSize;
    const Rect area = desktop_.monitorOf(window).workArea;
    const std::int32_t top = centred(area.top, area.height(), height);
    if (changed(placement_.move(window, Rect{rect.left, top, rect.right, top + height}),
                "restoring the height")) {
      lists_.removeStretched(Axis::Vertical, window);
    }
    return;
  }
  const Rect target =
      calcVMaxRect(rect, settings_.vMaxPercentage, desktop_.monitorOf(window).workArea);
  if (changed(placement_.move(window, target), "maximizing vertically")) {
    lists_.addStretched(Axis::Vertical, window, rect, rect.height());
  }
  log_.trace("Exited maxV");
}

void Uifx::maxH(Hwnd window) {
  log_.trace("Called maxH");
  const Rect rect = windows_.windowRect(window);
  if (const StretchedWindow* record = lists_.stretched(Axis::Horizontal).find(window)) {
    const std::int32_t width = record->savedSize;
    const Rect area = desktop_.monitorOf(window).workArea;
    const std::int32_t left = centred(area.left, area.width(), width);
    if (changed(placement_.move(window, Rect{left, rect.top, left + width, rect.bottom}),
                "restoring the width")) {
      lists_.removeStretched(Axis::Horizontal, window);
    }
    return;
  }
  const Rect target =
      calcHMaxRect(rect, settings_.hMaxPercentage, desktop_.monitorOf(window).workArea);
  if (changed(placement_.move(window, target), "maximizing horizontally")) {
    lists_.addStretched(Axis::Horizontal, window, rect, rect.width());
  }
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
// was enlarged by hand is refused too while the list is full.
void Uifx::rollUp(Hwnd window, const Rect& rect) {
  if (!hasRoom(lists_.shaded(), kTooManyShaded)) {
    return;
  }
  if (changed(placement_.resize(window, rect.width(), kShadedHeight), "shading")) {
    lists_.addShaded(window, rect.height());
  }
}

void Uifx::rollDown(Hwnd window, const Rect& rect) {
  const std::int32_t listed = lists_.shaded().find(window);
  if (listed == 0) {
    return;
  }
  if (changed(placement_.resize(window, rect.width(), lists_.shaded().at(listed).height),
              "unshading")) {
    lists_.removeShaded(window);
  }
}

// The slot is taken only once the shell has accepted the icon: without an
// icon the window could never be brought back, so it stays visible. A window
// hidden already keeps its one slot or menu item.
void Uifx::minTray(Hwnd window) {
  log_.trace("Called minTray");
  if (lists_.isHidden(window)) {
    log_.trace("Exited minTray");
    return;
  }
  const IconHandle icon = trayIconOf(window);
  const std::string title = windows_.windowText(window, kTitleBuffer);
  if (!hasRoom(lists_.trayed(), kTooManyTrayIcons)) {
    log_.trace("Exited minTray");
    return;
  }
  const int slot = lists_.trayed().lowestFree();
  const auto id = static_cast<std::uint32_t>(slot);
  if (slot < 0 || !icons_.addWindowIcon(id)) {
    refuse(kTrayIconRefused);
    log_.trace("Exited minTray");
    return;
  }
  if (!changed(placement_.hide(window), "hiding to a tray icon")) {
    icons_.removeWindowIcon(id);
    return;
  }
  lists_.addTrayed(id, window, applicationOwner(windows_, window));
  hideApplicationOwner(windows_, placement_, window);
  icons_.changeWindowIcon(title, icon, id);
  log_.trace("Exited minTray");
}

// Without a menu to list it in, a hidden window could not be brought back
// before the program ends, so it is left alone.
void Uifx::minMenu(Hwnd window) {
  log_.trace("Called minMenu");
  if (menu_ == nullptr || lists_.isHidden(window)) {
    log_.trace("Exited minMenu");
    return;
  }
  if (!hasRoom(lists_.menu(), kTooManyMenuWindows)) {
    log_.trace("Exited minMenu");
    return;
  }
  const std::string title = windows_.windowText(window, kMenuTitleBuffer);
  if (!changed(placement_.hide(window), "hiding to the tray menu")) {
    return;
  }
  lists_.addMenu(window, applicationOwner(windows_, window), title);
  hideApplicationOwner(windows_, placement_, window);
  menu_->addTitle(title);
  log_.trace("Exited minMenu");
}

void Uifx::toggleTopmost(Hwnd window) {
  log_.trace("Called toggleTopmost");
  const bool topmost = windows_.isTopmost(window);
  if (!changed(placement_.setTopmost(window, !topmost), "changing stay on top")) {
    return;
  }
  if (!topmost) {
    journal_.note(JournalRecord{.change = Change::Topmost, .window = window});
  } else {
    journal_.forget(Change::Topmost, window);
  }
  log_.trace("Exited toggleTopmost");
}

// A window that does not answer within the time-out counts as having no
// icon.
IconHandle Uifx::getWindowIcon(Hwnd window) {
  for (const IconSize size : {IconSize::Small, IconSize::Big}) {
    if (const IconHandle icon = windowIcons_.askedIcon(window, size, kIconTimeoutMs);
        icon != IconHandle{}) {
      return icon;
    }
    if (const IconHandle icon = windowIcons_.classIcon(window, size); icon != IconHandle{}) {
      return icon;
    }
  }
  return windowIcons_.dragIcon(window, kIconTimeoutMs);
}

IconHandle Uifx::trayIconOf(Hwnd window) {
  const IconHandle own = getWindowIcon(window);
  return own != IconHandle{} ? own : icons_.applicationIcon();
}

// The system refuses to change a window of a program running with higher
// rights; nothing is then booked for it, and the log says so once.
bool Uifx::changed(bool accepted, std::string_view action) {
  if (!accepted) {
    log_.writeLog(std::string("The system refused ") + std::string(action) + ".");
  }
  return accepted;
}

// In front of everything: without an owner the box could open behind the
// window it is about, while its modal loop holds the program.
void Uifx::refuse(const std::string& english) {
  boxes_.messageBox(Hwnd{}, lang_.translate(english), kApplicationTitle,
                    win::kMbIconInformation | win::kMbOk | win::kMbSetForeground | win::kMbTopmost);
}

}  // namespace strennix
