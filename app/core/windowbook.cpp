#include "app/core/windowbook.h"

#include <algorithm>

namespace strennix {

namespace {

Rect withHeight(Rect rect, std::int32_t height) {
  rect.bottom = rect.top + height;
  return rect;
}

// GetClassNameA's buffer: at most 254 characters are compared.
constexpr int kClassNameBuffer = 255;
constexpr int kTitleBuffer = 260;

}  // namespace

Hwnd applicationOwner(WindowInfoPort& windows, Hwnd window) {
  const Hwnd owner = windows.owner(window);
  if (owner == Hwnd{} || windows.className(owner, kClassNameBuffer) != kApplicationOwnerClass) {
    return Hwnd{};
  }
  return owner;
}

void hideApplicationOwner(WindowInfoPort& windows, WindowPlacePort& placement, Hwnd window) {
  if (const Hwnd owner = applicationOwner(windows, window); owner != Hwnd{}) {
    placement.hide(owner);
  }
}

void restoreApplicationOwner(WindowInfoPort& windows, WindowPlacePort& placement, Hwnd window) {
  if (const Hwnd owner = applicationOwner(windows, window); owner != Hwnd{}) {
    placement.restore(owner);
  }
}

WindowState stateOf(Journal& journal, WindowInfoPort& windows, Hwnd window) {
  if (!journal.stillSame(window)) {
    return WindowState::Gone;
  }
  return windows.isHung(window) ? WindowState::Hung : WindowState::Same;
}

WindowBook::WindowBook(WindowLists& lists, WindowInfoPort& windows, WindowPlacePort& placement,
                       DesktopPort& desktop, Journal& journal, NotifyIcons& icons,
                       const Logger& log)
    : lists_(lists),
      windows_(windows),
      placement_(placement),
      desktop_(desktop),
      journal_(journal),
      icons_(icons),
      log_(log, kAppLog) {}

void WindowBook::forgetWindow(Hwnd window) {
  showOwnerOfDestroyed(window);
  removeShadedHwnd(window);
  removeIconizedHwnd(window);
  removeStretchedWindow(window);
}

void WindowBook::removeShadedHwnd(Hwnd window) {
  log_.trace("Called removeShadedHwnd()");
  lists_.removeShaded(window);
  log_.trace("Exited removeShadedHwnd.");
}

void WindowBook::removeIconizedHwnd(Hwnd window) {
  log_.trace("Called removeIconizedHwnd()");
  for (const std::size_t slot : lists_.trayed().slotsOf(window)) {
    freeTraySlot(slot, Record::Forget);
  }
  log_.trace("Exited removeIconizedHwnd()");
}

// A window stretched both ways loses both records: left behind, the second
// one would be matched against whatever window later gets the same handle.
// The exit line keeps its old meaning: written only when no record was found.
void WindowBook::removeStretchedWindow(Hwnd window) {
  log_.trace("Called removeStretchedWindow()");
  const bool vertical = lists_.removeStretched(Axis::Vertical, window);
  const bool horizontal = lists_.removeStretched(Axis::Horizontal, window);
  if (!vertical && !horizontal) {
    log_.trace("Exited removeStretchedWindow()");
  }
}

void WindowBook::restoreTrayedWindow(int slot) {
  if (slot < 0 || slot >= kTraySlots) {
    return;
  }
  const auto index = static_cast<std::size_t>(slot);
  // A click waits for no program: a window that does not answer keeps its
  // icon, to be clicked again.
  if (!lists_.trayed().taken(index) || windows_.isHung(lists_.trayed().at(index).hwnd)) {
    return;
  }
  giveBackSlot(index, true);
}

void WindowBook::unIconizeAll() {
  log_.trace("Called unIconizeAll");
  for (std::size_t slot = 0; slot < kTraySlots; ++slot) {
    if (lists_.trayed().taken(slot)) {
      giveBackSlot(slot, false);
    }
  }
  log_.trace("Exited unIconizeAll");
}

// A gone window is not touched and its record goes; a hung one is not
// waited for and its record stays. Either way the slot and icon go.
void WindowBook::giveBackSlot(std::size_t slot, bool foreground) {
  const Hwnd window = lists_.trayed().at(slot).hwnd;
  const WindowState state = stateOf(journal_, windows_, window);
  if (state == WindowState::Same) {
    placement_.restore(window);
    if (foreground) {
      placement_.bringToFront(window);
    }
    restoreApplicationOwner(windows_, placement_, window);
  }
  freeTraySlot(slot, state == WindowState::Hung ? Record::Keep : Record::Forget);
}

void WindowBook::unShadeAll() {
  log_.trace("Called unShadeAll.");
  for (const ShadedWindow& entry : lists_.shaded()) {
    const WindowState state = stateOf(journal_, windows_, entry.hwnd);
    if (state == WindowState::Same) {
      placement_.resize(entry.hwnd, windows_.windowRect(entry.hwnd).width(), entry.height);
    }
    if (state != WindowState::Hung) {
      journal_.forget(Change::Shaded, entry.hwnd);
    }
  }
  log_.trace("Exited unShadeAll.");
}

void WindowBook::giveBackTrayed(std::size_t slot) { giveBackSlot(slot, false); }

// A window whose icon cannot be put back is shown again: hidden without an
// icon, it could not be brought back. An icon the shell kept takes the
// change instead of the add.
void WindowBook::reAddTrayIcons(const std::function<IconHandle(Hwnd)>& iconOf) {
  for (std::uint32_t slot = 0; slot < kTraySlots; ++slot) {
    if (!lists_.trayed().taken(slot)) {
      continue;
    }
    const Hwnd window = lists_.trayed().at(slot).hwnd;
    const std::string title = windows_.windowText(window, kTitleBuffer);
    if (!icons_.reAddWindowIcon(title, iconOf(window), slot)) {
      giveBackTrayed(slot);
    }
  }
}

void WindowBook::forgetStretchedAndTopmost() {
  journal_.forgetAll([](const JournalRecord& record) {
    return record.change == Change::VStretched || record.change == Change::HStretched ||
           record.change == Change::Topmost;
  });
}

void WindowBook::giveBack(const std::vector<JournalRecord>& records) {
  std::vector<const JournalRecord*> done;
  // Newest first, so that a window changed twice is undone in reverse order.
  // NOLINTNEXTLINE(modernize-loop-convert): a reversed range-for needs <ranges>.
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    if (!journal_.sameWindow(*record)) {
      log_.trace("  Journaled window is gone, dropped");
    } else if (windows_.isHung(record->window)) {
      log_.trace("  Journaled window does not answer, kept");
      continue;
    } else {
      giveBackRecord(*record);
    }
    done.push_back(&*record);
  }
  journal_.forgetAll([&done](const JournalRecord& record) {
    return std::any_of(done.begin(), done.end(), [&record](const JournalRecord* given) {
      return given->change == record.change && given->window == record.window;
    });
  });
}

// Only what a clean Exit gives back: a crash ends like an Exit. The height
// is applied within the window's own limits, and only when it fits its
// monitor's work area.
void WindowBook::giveBackRecord(const JournalRecord& record) {
  const Hwnd window = record.window;
  switch (record.change) {
    case Change::Shaded:
      if (record.height <= 0 || record.height > desktop_.monitorOf(window).workArea.height()) {
        log_.writeLog("Journaled height of a shaded window is out of range, not applied.");
        return;
      }
      placement_.move(window, withHeight(windows_.windowRect(window), record.height));
      break;
    case Change::Trayed:
    case Change::Menu:
      placement_.restore(window);
      restoreApplicationOwner(windows_, placement_, window);
      break;
    case Change::VStretched:
    case Change::HStretched:
    case Change::Topmost:
      break;
  }
}

void WindowBook::showOwnerOfDestroyed(Hwnd window) {
  for (const Change change : {Change::Trayed, Change::Menu}) {
    const JournalRecord* record = journal_.find(change, window);
    if (record == nullptr || record->owner == Hwnd{}) {
      continue;
    }
    if (windows_.className(record->owner, kClassNameBuffer) == kApplicationOwnerClass) {
      placement_.restore(record->owner);
    }
  }
}

// The slot is freed even when the shell refuses to delete the icon.
void WindowBook::freeTraySlot(std::size_t slot, Record record) {
  lists_.removeTrayed(slot, record);
  icons_.removeWindowIcon(static_cast<std::uint32_t>(slot));
}

}  // namespace strennix
