// The six window actions of the title-bar buttons: stretch vertically or
// horizontally, shade, hide behind a tray icon or into the tray menu, and
// toggle stay-on-top.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/core/journal.h"
#include "app/core/log.h"
#include "app/core/menulist.h"
#include "app/core/notifyicons.h"
#include "app/core/settings.h"
#include "app/core/translator.h"
#include "app/core/windowlists.h"
#include "platform/desktop.h"
#include "platform/messagebox.h"
#include "platform/types.h"
#include "platform/windowicons.h"
#include "platform/windowinfo.h"
#include "platform/windowplace.h"

namespace strennix {

// The window's rectangle stretched vertically to `percentage` of the work
// area's height and centred in it; left and right are kept.
Rect calcVMaxRect(const Rect& window, std::int32_t percentage, const Rect& workArea);
// The same on the horizontal axis; top and bottom are kept.
Rect calcHMaxRect(const Rect& window, std::int32_t percentage, const Rect& workArea);

class Uifx {
 public:
  Uifx(WindowInfoPort& windows, WindowPlacePort& placement, DesktopPort& desktop,
       WindowIconsPort& windowIcons, MessageBoxPort& boxes, const Translator& lang,
       WindowLists& lists, Journal& journal, NotifyIcons& icons, const Settings& settings,
       const Logger& log);

  // The tray menu exists only after the main form; until it is set, minMenu
  // leaves windows alone.
  void setMenu(MenuList& menu);

  void maxV(Hwnd window);
  void maxH(Hwnd window);
  void shade(Hwnd window);
  void minTray(Hwnd window);
  void minMenu(Hwnd window);
  void toggleTopmost(Hwnd window);
  // The window's own small or big icon, its class's, or its drag icon; 0 when
  // none answers.
  IconHandle getWindowIcon(Hwnd window);
  // The picture of a window's tray icon: its own icon, or the program's when
  // it has none, so that the icon never shows as an empty cell.
  IconHandle trayIconOf(Hwnd window);

 private:
  void refuse(const std::string& english);
  [[nodiscard]] bool changed(bool accepted, std::string_view action);
  template <class List>
  [[nodiscard]] bool hasRoom(const List& list, const char* refusal);
  void rollUp(Hwnd window, const Rect& rect);
  void rollDown(Hwnd window, const Rect& rect);

  WindowInfoPort& windows_;
  WindowPlacePort& placement_;
  DesktopPort& desktop_;
  WindowIconsPort& windowIcons_;
  MessageBoxPort& boxes_;
  const Translator& lang_;
  WindowLists& lists_;
  Journal& journal_;
  NotifyIcons& icons_;
  const Settings& settings_;
  ModuleLog log_;
  MenuList* menu_ = nullptr;
};

}  // namespace strennix
