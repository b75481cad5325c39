#include "app/core/windowbook.h"

#include "platform/winconst.h"

namespace strennix {

namespace {

// GetClassNameA's buffer: at most 254 characters are compared.
constexpr int kClassNameBuffer = 255;

}  // namespace

Hwnd applicationOwner(WindowPort& windows, Hwnd window) {
  const Hwnd owner = windows.owner(window);
  if (owner == Hwnd{} || windows.className(owner, kClassNameBuffer) != kApplicationOwnerClass) {
    return Hwnd{};
  }
  return owner;
}

void hideApplicationOwner(WindowPort& windows, Hwnd window) {
  if (const Hwnd owner = applicationOwner(windows, window); owner != Hwnd{}) {
    windows.showWindow(owner, win::kSwHide);
  }
}

void restoreApplicationOwner(WindowPort& windows, Hwnd window) {
  if (const Hwnd owner = applicationOwner(windows, window); owner != Hwnd{}) {
    windows.showWindow(owner, win::kSwRestore);
  }
}

void resizeInPlace(WindowPort& windows, Hwnd window, std::int32_t width, std::int32_t height) {
  windows.setWindowPos(window, 0, 0, 0, width, height,
                       win::kSwpNoSendChanging | win::kSwpNoZOrder | win::kSwpNoMove);
}

WindowState stateOf(Journal& journal, WindowPort& windows, Hwnd window) {
  if (!journal.stillSame(window)) {
    return WindowState::Gone;
  }
  return windows.isHung(window) ? WindowState::Hung : WindowState::Same;
}

WindowBook::WindowBook(WindowLists& lists, WindowPort& windows, Journal& journal,
                       NotifyIcons& icons, const Logger& log)
    : lists_(lists), windows_(windows), journal_(journal), icons_(icons), log_(log, kAppLog) {}

void WindowBook::removeShadedHwnd(Hwnd window) {
  log_.trace("Called removeShadedHwnd()");
  removePosition(lists_.shadedWindows, lists_.numberOfShadedWindows,
                 positionOf(lists_.shadedWindows, lists_.numberOfShadedWindows, window));
  log_.trace("Exited removeShadedHwnd.");
}

void WindowBook::removeIconizedHwnd(Hwnd window) {
  log_.trace("Called removeIconizedHwnd()");
  for (std::size_t slot = 0; slot < lists_.trayedWindows.size(); ++slot) {
    const TrayedWindow& entry = lists_.trayedWindows[slot];
    if (!entry.free && entry.hwnd == window) {
      freeTraySlot(slot);
    }
  }
  log_.trace("Exited removeIconizedHwnd()");
}

// A window stretched both ways loses both records: left behind, the second
// one would be matched against whatever window later gets the same handle.
// The exit line keeps its old meaning: written only when no record was found.
void WindowBook::removeStretchedWindow(Hwnd window) {
  log_.trace("Called removeStretchedWindow()");
  const bool vertical = removeStretchRecord(lists_.vStretchedWindows, window);
  const bool horizontal = removeStretchRecord(lists_.hStretchedWindows, window);
  if (!vertical && !horizontal) {
    log_.trace("Exited removeStretchedWindow()");
  }
}

void WindowBook::restoreTrayedWindow(int slot) {
  if (slot < 0 || slot >= kTraySlots) {
    return;
  }
  const auto index = static_cast<std::size_t>(slot);
  const TrayedWindow entry = lists_.trayedWindows[index];
  // A click waits for no program: a window that does not answer keeps its
  // icon, to be clicked again.
  if (entry.free || windows_.isHung(entry.hwnd)) {
    return;
  }
  giveBackSlot(index, true);
}

void WindowBook::unIconizeAll() {
  log_.trace("Called unIconizeAll");
  for (std::size_t slot = 0; slot < lists_.trayedWindows.size(); ++slot) {
    if (!lists_.trayedWindows[slot].free) {
      giveBackSlot(slot, false);
    }
  }
  log_.trace("Exited unIconizeAll");
}

// A gone window is not touched and its record goes; a hung one is not
// waited for and its record stays. Either way the slot and icon go.
void WindowBook::giveBackSlot(std::size_t slot, bool foreground) {
  const Hwnd window = lists_.trayedWindows[slot].hwnd;
  const WindowState state = stateOf(journal_, windows_, window);
  if (state == WindowState::Same) {
    windows_.showWindow(window, win::kSwRestore);
    if (foreground) {
      windows_.setForegroundWindow(window);
    }
    restoreApplicationOwner(windows_, window);
  }
  if (state != WindowState::Hung) {
    journal_.forget(Change::Trayed, window);
  }
  freeTraySlot(slot);
}

void WindowBook::unShadeAll() {
  log_.trace("Called unShadeAll.");
  for (std::int32_t position = 1; position <= lists_.numberOfShadedWindows; ++position) {
    const ShadedWindow& entry = lists_.shadedWindows[static_cast<std::size_t>(position)];
    const WindowState state = stateOf(journal_, windows_, entry.hwnd);
    if (state == WindowState::Same) {
      resizeInPlace(windows_, entry.hwnd, windows_.windowRect(entry.hwnd).width(), entry.height);
    }
    if (state != WindowState::Hung) {
      journal_.forget(Change::Shaded, entry.hwnd);
    }
  }
  log_.trace("Exited unShadeAll.");
}

void WindowBook::giveBackTrayed(std::size_t slot) { giveBackSlot(slot, false); }

void WindowBook::forgetStretchedAndTopmost() {
  const std::vector<JournalRecord> records = journal_.records();
  for (const JournalRecord& record : records) {
    if (record.change == Change::VStretched || record.change == Change::HStretched ||
        record.change == Change::Topmost) {
      journal_.forget(record.change, record.window);
    }
  }
}

void WindowBook::giveBack(const std::vector<JournalRecord>& records) {
  // Newest first, so that a window changed twice is undone in reverse order.
  // NOLINTNEXTLINE(modernize-loop-convert): a reversed range-for needs <ranges>.
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    if (!journal_.sameWindow(*record)) {
      log_.trace("  Journaled window is gone, dropped");
      journal_.forget(record->change, record->window);
      continue;
    }
    if (windows_.isHung(record->window)) {
      log_.trace("  Journaled window does not answer, kept");
      continue;
    }
    giveBackRecord(*record);
    journal_.forget(record->change, record->window);
  }
}

void WindowBook::giveBackRecord(const JournalRecord& record) {
  const Hwnd window = record.window;
  switch (record.change) {
    case Change::Shaded:
      resizeInPlace(windows_, window, windows_.windowRect(window).width(), record.height);
      break;
    case Change::Trayed:
    case Change::Menu:
      windows_.showWindow(window, win::kSwRestore);
      restoreApplicationOwner(windows_, window);
      break;
    case Change::VStretched:
    case Change::HStretched:
      windows_.moveWindow(window, record.rect.left, record.rect.top, record.rect.width(),
                          record.rect.height(), true);
      break;
    case Change::Topmost:
      windows_.setWindowPos(window, win::kHwndNoTopmost, 0, 0, 0, 0,
                            win::kSwpNoMove | win::kSwpNoSize | win::kSwpNoActivate);
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
      windows_.showWindow(record->owner, win::kSwRestore);
    }
  }
}

// The slot is freed even when the shell refuses to delete the icon.
void WindowBook::freeTraySlot(std::size_t slot) {
  lists_.trayedWindows[slot].free = true;
  --lists_.numberOfTrayedWindows;
  icons_.msgToTrayicon(win::kNimDelete, "", IconHandle{}, static_cast<std::uint32_t>(slot));
}

}  // namespace strennix
