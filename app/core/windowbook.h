// Forgetting and giving back the windows the program has changed: destroyed
// windows leave the lists, tray-icon windows come back from their icon, and
// at the end shaded and tray-icon windows are restored.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "app/core/journal.h"
#include "app/core/log.h"
#include "app/core/notifyicons.h"
#include "app/core/windowlists.h"
#include "platform/desktop.h"
#include "platform/types.h"
#include "platform/windowinfo.h"
#include "platform/windowplace.h"

namespace strennix {

// Programs of one form library own their windows by a hidden window of this
// class, which carries their taskbar button: it is hidden and restored with
// the window.
inline constexpr const char* kApplicationOwnerClass = "TApplication";

// The window's owner when its class is exactly "TApplication" (letter case
// counts); 0 otherwise.
Hwnd applicationOwner(WindowInfoPort& windows, Hwnd window);
// Hides such an owner.
void hideApplicationOwner(WindowInfoPort& windows, WindowPlacePort& placement, Hwnd window);
// Shows such an owner again.
void restoreApplicationOwner(WindowInfoPort& windows, WindowPlacePort& placement, Hwnd window);

// What may be done to a listed window now: it may be gone (or its handle now
// names another window), or its program may have stopped answering.
enum class WindowState { Same, Gone, Hung };

// Never touched when gone; never waited on when hung.
WindowState stateOf(Journal& journal, WindowInfoPort& windows, Hwnd window);

class WindowBook {
 public:
  WindowBook(WindowLists& lists, WindowInfoPort& windows, WindowPlacePort& placement,
             DesktopPort& desktop, Journal& journal, NotifyIcons& icons, const Logger& log);

  // A destroyed window leaves the shaded, tray and stretched lists; an
  // application owner hidden with it is shown again first.
  void forgetWindow(Hwnd window);
  void removeShadedHwnd(Hwnd window);
  void removeIconizedHwnd(Hwnd window);
  // Forgets every stretch record of the window, vertical and horizontal.
  void removeStretchedWindow(Hwnd window);
  // Brings back the window of an occupied tray slot; a free or unknown slot
  // is left alone.
  void restoreTrayedWindow(int slot);
  void unIconizeAll();
  void unShadeAll();
  // Brings back the window of an occupied slot without making it the
  // foreground window, as at the end and when its icon is lost.
  void giveBackTrayed(std::size_t slot);
  // After the shell restarts: every tray-icon window's icon (its picture from
  // `iconOf`) is added again.
  void reAddTrayIcons(const std::function<IconHandle(Hwnd)>& iconOf);
  // Stretched and topmost windows stay as they are at the end: their
  // records go with the program.
  void forgetStretchedAndTopmost();
  // At start: gives back what an earlier run left shaded or hidden, as an
  // Exit would have, newest change first, to every window that is still the
  // same window. A window whose program does not answer stays in the journal
  // for a later start; the journal is written once.
  void giveBack(const std::vector<JournalRecord>& records);
  // A window destroyed while hidden no longer has an owner to ask for: the
  // application owner hidden with it is shown again.
  void showOwnerOfDestroyed(Hwnd window);

 private:
  void freeTraySlot(std::size_t slot, Record record);
  void giveBackSlot(std::size_t slot, bool foreground);
  void giveBackRecord(const JournalRecord& record);

  WindowLists& lists_;
  WindowInfoPort& windows_;
  WindowPlacePort& placement_;
  DesktopPort& desktop_;
  Journal& journal_;
  NotifyIcons& icons_;
  ModuleLog log_;
};

}  // namespace strennix
