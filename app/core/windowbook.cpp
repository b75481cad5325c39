#include "app/core/windowbook.h"

#include "platform/winconst.h"

namespace strennix {

namespace {

// GetClassNameA's buffer: at most 254 characters are compared.
constexpr int kClassNameBuffer = 255;

}  // namespace

Hwnd applicationOwner(WindowPort& windows, Hwnd window) {
  const Hwnd owner = windows.owner(window);
  if (owner == 0 || windows.className(owner, kClassNameBuffer) != kApplicationOwnerClass) {
    return 0;
  }
  return owner;
}

void hideApplicationOwner(WindowPort& windows, Hwnd window) {
  if (const Hwnd owner = applicationOwner(windows, window); owner != 0) {
    windows.showWindow(owner, win::kSwHide);
  }
}

void restoreApplicationOwner(WindowPort& windows, Hwnd window) {
  if (const Hwnd owner = applicationOwner(windows, window); owner != 0) {
    windows.showWindow(owner, win::kSwRestore);
  }
}

void resizeInPlace(WindowPort& windows, Hwnd window, std::int32_t width, std::int32_t height) {
  windows.setWindowPos(window, 0, 0, 0, width, height,
                       win::kSwpNoSendChanging | win::kSwpNoZOrder | win::kSwpNoMove);
}

WindowBook::WindowBook(WindowLists& lists, WindowPort& windows, NotifyIcons& icons,
                       const Logger& log)
    : lists_(lists), windows_(windows), icons_(icons), log_(log, kAppLog) {}

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
  if (entry.free) {
    return;
  }
  windows_.showWindow(entry.hwnd, win::kSwRestore);
  windows_.setForegroundWindow(entry.hwnd);
  restoreApplicationOwner(windows_, entry.hwnd);
  freeTraySlot(index);
}

void WindowBook::unIconizeAll() {
  log_.trace("Called unIconizeAll");
  for (std::size_t slot = 0; slot < lists_.trayedWindows.size(); ++slot) {
    const TrayedWindow entry = lists_.trayedWindows[slot];
    if (entry.free) {
      continue;
    }
    windows_.showWindow(entry.hwnd, win::kSwRestore);
    restoreApplicationOwner(windows_, entry.hwnd);
    freeTraySlot(slot);
  }
  log_.trace("Exited unIconizeAll");
}

void WindowBook::unShadeAll() {
  log_.trace("Called unShadeAll.");
  for (std::int32_t position = 1; position <= lists_.numberOfShadedWindows; ++position) {
    const ShadedWindow& entry = lists_.shadedWindows[static_cast<std::size_t>(position)];
    resizeInPlace(windows_, entry.hwnd, windows_.windowRect(entry.hwnd).width(), entry.height);
  }
  log_.trace("Exited unShadeAll.");
}

// The slot is freed even when the shell refuses to delete the icon.
void WindowBook::freeTraySlot(std::size_t slot) {
  lists_.trayedWindows[slot].free = true;
  --lists_.numberOfTrayedWindows;
  icons_.msgToTrayicon(win::kNimDelete, "", 0, static_cast<std::uint32_t>(slot));
}

}  // namespace strennix
