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

Uifx::Uifx(WindowPort& windows, MessageBoxPort& boxes, const Translator& lang, WindowLists& lists,
           Journal& journal, NotifyIcons& icons, const Settings& settings, const Logger& log)
    : windows_(windows),
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
    const Rect area = windows_.monitorOf(window).workArea;
    if (changed(windows_.moveWindow(window, rect.left, centred(area.top, area.height(), height),
                                    rect.width(), height, true),
                "restoring the height")) {
      lists_.removeStretched(Axis::Vertical, window);
    }
    return;
  }
  const Rect target =
      calcVMaxRect(rect, settings_.vMaxPercentage, windows_.monitorOf(window).workArea);
  if (changed(windows_.moveWindow(window, target.left, target.top, target.width(), target.height(),
                                  true),
              "maximizing vertically")) {
    lists_.addStretched(Axis::Vertical, window, rect, rect.height());
  }
  log_.trace("Exited maxV");
}

void Uifx::maxH(Hwnd window) {
  log_.trace("Called maxH");
  const Rect rect = windows_.windowRect(window);
  if (const StretchedWindow* record = lists_.stretched(Axis::Horizontal).find(window)) {
    const std::int32_t width = record->savedSize;
    const Rect area = windows_.monitorOf(window).workArea;
    if (changed(windows_.moveWindow(window, centred(area.left, area.width(), width), rect.top,
                                    width, rect.height(), true),
                "restoring the width")) {
      lists_.removeStretched(Axis::Horizontal, window);
    }
    return;
  }
  const Rect target =
      calcHMaxRect(rect, settings_.hMaxPercentage, windows_.monitorOf(window).workArea);
  if (changed(windows_.moveWindow(window, target.left, target.top, target.width(), target.height(),
                                  true),
              "maximizing horizontally")) {
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
  if (changed(resizeInPlace(windows_, window, rect.width(), kShadedHeight), "shading")) {
    lists_.addShaded(window, rect.height());
  }
}

void Uifx::rollDown(Hwnd window, const Rect& rect) {
  const std::int32_t listed = lists_.shaded().find(window);
  if (listed == 0) {
    return;
  }
  if (changed(resizeInPlace(windows_, window, rect.width(), lists_.shaded().at(listed).height),
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
  if (slot < 0 || !icons_.msgToTrayicon(win::kNimAdd, title, icon, id)) {
    refuse(kTrayIconRefused);
    log_.trace("Exited minTray");
    return;
  }
  if (!changed(windows_.showWindow(window, win::kSwHide), "hiding to a tray icon")) {
    icons_.msgToTrayicon(win::kNimDelete, title, icon, id);
    return;
  }
  lists_.addTrayed(id, window, applicationOwner(windows_, window));
  hideApplicationOwner(windows_, window);
  icons_.msgToTrayicon(win::kNimModify, title, icon, id);
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
  if (!changed(windows_.showWindow(window, win::kSwHide), "hiding to the tray menu")) {
    return;
  }
  lists_.addMenu(window, applicationOwner(windows_, window), title);
  hideApplicationOwner(windows_, window);
  menu_->addTitle(title);
  log_.trace("Exited minMenu");
}

// Without SWP_NOACTIVATE the call also activates the window.
void Uifx::toggleTopmost(Hwnd window) {
  log_.trace("Called toggleTopmost");
  const bool topmost = (windows_.windowLong(window, win::kGwlExStyle) & win::kWsExTopmost) != 0;
  if (!changed(windows_.setWindowPos(window, topmost ? win::kHwndNoTopmost : win::kHwndTopmost, 0,
                                     0, 0, 0, win::kSwpNoMove | win::kSwpNoSize),
               "changing stay on top")) {
    return;
  }
  if (!topmost) {
    journal_.note(JournalRecord{.change = Change::Topmost, .window = window});
  } else {
    journal_.forget(Change::Topmost, window);
  }
  log_.trace("Exited toggleTopmost");
}

IconHandle Uifx::getWindowIcon(Hwnd window) {
  if (const IconHandle icon = askIcon(window, win::kWmGetIcon, win::kIconSmall);
      icon != IconHandle{}) {
    return icon;
  }
  if (const IconHandle icon = classIcon(window, win::kGclHIconSm); icon != IconHandle{}) {
    return icon;
  }
  if (const IconHandle icon = askIcon(window, win::kWmGetIcon, win::kIconBig);
      icon != IconHandle{}) {
    return icon;
  }
  if (const IconHandle icon = classIcon(window, win::kGclHIcon); icon != IconHandle{}) {
    return icon;
  }
  return askIcon(window, win::kWmQueryDragIcon, 0);
}

IconHandle Uifx::trayIconOf(Hwnd window) {
  const IconHandle own = getWindowIcon(window);
  return own != IconHandle{} ? own : icons_.applicationIcon();
}

// A window that does not answer within the time-out counts as having no icon;
// one whose program has stopped answering is not waited for at all.
IconHandle Uifx::askIcon(Hwnd window, std::uint32_t message, std::uint32_t wParam) {
  return handleOfBits<IconHandle>(
      windows_.sendMessageTimeout(window, message, wParam, 0, win::kSmtoAbortIfHung, kIconTimeoutMs)
          .value_or(0));
}

IconHandle Uifx::classIcon(Hwnd window, int index) {
  return handleOfBits<IconHandle>(windows_.classLong(window, index));
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
