// Forgetting and giving back the windows the program has changed: destroyed
// windows leave the lists, tray-icon windows come back from their icon, and
// at the end shaded and tray-icon windows are restored.
#pragma once

#include <cstdint>

#include "app/core/log.h"
#include "app/core/notifyicons.h"
#include "app/core/windowlists.h"
#include "platform/types.h"
#include "platform/windows.h"

namespace strennix {

// Programs of one form library own their windows by a hidden window of this
// class, which carries their taskbar button: it is hidden and restored with
// the window.
inline constexpr const char* kApplicationOwnerClass = "TApplication";

// The window's owner when its class is exactly "TApplication" (letter case
// counts); 0 otherwise.
Hwnd applicationOwner(WindowPort& windows, Hwnd window);
// Hides such an owner (SW_HIDE).
void hideApplicationOwner(WindowPort& windows, Hwnd window);
// Shows such an owner again (SW_RESTORE).
void restoreApplicationOwner(WindowPort& windows, Hwnd window);

// Sets a window's size without moving it, changing its z-order or asking it
// first (SWP_NOSENDCHANGING | SWP_NOZORDER | SWP_NOMOVE).
void resizeInPlace(WindowPort& windows, Hwnd window, std::int32_t width, std::int32_t height);

class WindowBook {
 public:
  WindowBook(WindowLists& lists, WindowPort& windows, NotifyIcons& icons, const Logger& log);

  void removeShadedHwnd(Hwnd window);
  void removeIconizedHwnd(Hwnd window);
  // Forgets every stretch record of the window, vertical and horizontal.
  void removeStretchedWindow(Hwnd window);
  // Brings back the window of an occupied tray slot; a free or unknown slot
  // is left alone.
  void restoreTrayedWindow(int slot);
  void unIconizeAll();
  void unShadeAll();

 private:
  void freeTraySlot(std::size_t slot);

  WindowLists& lists_;
  WindowPort& windows_;
  NotifyIcons& icons_;
  ModuleLog log_;
};

}  // namespace strennix
