// The tray menu: a small always-on-top list of the windows hidden into it,
// each brought back by a double click on its title.
#pragma once

#include <cstdint>
#include <string>

#include "app/core/journal.h"
#include "app/core/log.h"
#include "app/core/menulist.h"
#include "app/core/settings.h"
#include "app/core/windowlists.h"
#include "platform/forms.h"
#include "platform/listbox.h"
#include "platform/types.h"

namespace strennix {

// Where the tray menu goes for a right click at `cursor`: above and to the
// left of it, below or to the right where that would leave the work area's
// top or left, and always wholly inside the work area (from its top-left
// corner when the menu is larger).
Point trayMenuPosition(Point cursor, int width, int height, const Rect& workArea);

class TTrayForm : public Form, public MenuList {
 public:
  // Hidden until the main form shows it at the cursor. The list's sorting is
  // fixed here, from menuSort.
  TTrayForm(UiPort& ui, ListBoxPort& listBoxes, WindowPort& windows, MessageBoxPort& boxes,
            WindowLists& lists, Journal& journal, Settings& settings, const Logger& log);

  // The caption's close box follows menuStay.
  void changeBorder();
  // Shows the menu beside the mouse cursor, in front.
  void showAtCursor();
  // A destroyed window leaves the list and the menu.
  void removeTrayHwnd(Hwnd window);
  // At program end: every listed window (and its application owner) is shown
  // again and the menu emptied.
  void showAllWindows();
  void addTitle(const std::string& title) override;

  void ListBox1DblClick();
  void FormKeyUp(int key);
  void ListBox1KeyUp(int key);
  // WM_NCLBUTTONDBLCLK on the frame: a double click on the caption switches
  // menuStay for this run.
  void onNCClick(std::uint32_t hitTest);

 protected:
  bool handleMessage(std::uint32_t message, std::uint32_t wParam, std::int32_t lParam,
                     std::int32_t& result) override;
  void handleCommand(int controlId, int notifyCode) override;
  void handleClose() override;
  void handleKeyUp(int controlId, int key) override;

 private:
  [[nodiscard]] FormControl listBox() const;
  // Index of the first item whose text equals `text` exactly, letter case
  // included; -1 when none does.
  [[nodiscard]] int findItem(const std::string& text) const;
  void hideOnEscape(int key);

  ListBoxPort& listBoxes_;
  WindowLists& lists_;
  Journal& journal_;
  Settings& settings_;
  ModuleLog log_;
};

}  // namespace strennix
