#include "traymenu/traymenu.h"

#include <algorithm>

#include "app/core/windowbook.h"
#include "platform/winconst.h"
#include "resources/resource.h"

namespace strennix {

namespace {

// On one axis: the span of `size` ends at `at`, or starts there when it
// would begin before `low`; then it is moved inside low..high.
std::int32_t placeBeside(std::int32_t at, std::int32_t size, std::int32_t low, std::int32_t high) {
  const std::int32_t start = at - size < low ? at : at - size;
  return std::max(low, std::min(start, high - size));
}

}  // namespace

Point trayMenuPosition(Point cursor, int width, int height, const Rect& workArea) {
  return {placeBeside(cursor.x, width, workArea.left, workArea.right),
          placeBeside(cursor.y, height, workArea.top, workArea.bottom)};
}

TTrayForm::TTrayForm(UiPort& ui, ListBoxPort& listBoxes, WindowPort& windows, MessageBoxPort& boxes,
                     WindowLists& lists, Journal& journal, Settings& settings, const Logger& log)
    : Form(ui, windows, boxes, IDD_TRAYFORM),
      listBoxes_(listBoxes),
      lists_(lists),
      journal_(journal),
      settings_(settings),
      log_(log, kTrayMenuLog) {
  changeBorder();
  listBoxes_.setListSorted(listBox(), settings_.menuSort);
}

// A tool window shows its close box only with WS_SYSMENU; the frame is drawn
// anew only when the window's size changes, hence the width - 1 and back.
void TTrayForm::changeBorder() {
  log_.trace("Called changeBorder");
  std::uint32_t style = windows_.windowLong(handle(), win::kGwlStyle);
  if (settings_.menuStay) {
    style |= win::kWsSysMenu;
  } else {
    style &= ~win::kWsSysMenu;
  }
  windows_.setWindowLong(handle(), win::kGwlStyle, style);
  const Rect rect = windows_.windowRect(handle());
  windows_.moveWindow(handle(), rect.left, rect.top, rect.width() - 1, rect.height(), true);
  windows_.moveWindow(handle(), rect.left, rect.top, rect.width(), rect.height(), true);
  log_.trace("Exited changeBorder");
}

void TTrayForm::showAtCursor() {
  const Rect frame = windows_.windowRect(handle());
  const Point cursor = windows_.cursorPos();
  const Point place =
      trayMenuPosition(cursor, frame.width(), frame.height(), windows_.monitorAt(cursor).workArea);
  windows_.moveWindow(handle(), place.x, place.y, frame.width(), frame.height(), true);
  show();
  windows_.setForegroundWindow(handle());
}

// Titles need not be unique: the oldest window with the clicked title comes
// back, and the remaining item then stands for the other one. A window whose
// program does not answer stays listed, to be tried again; one that is gone
// only leaves the list.
void TTrayForm::ListBox1DblClick() {
  log_.trace("Called ListBox1DblClick. (Several exits)");
  const int selected = listBoxes_.listSelected(listBox());
  if (selected < 0) {
    return;
  }
  const std::string text = listBoxes_.listItem(listBox(), selected);
  const std::int32_t count = lists_.menu().count();
  for (std::int32_t position = 1; position <= count; ++position) {
    const MinimizedWindow& entry = lists_.menu().at(position);
    if (entry.title != text) {
      continue;
    }
    const WindowState state = stateOf(journal_, windows_, entry.hwnd);
    if (state == WindowState::Hung) {
      break;
    }
    if (state == WindowState::Same) {
      windows_.showWindow(entry.hwnd, win::kSwRestore);
      windows_.setForegroundWindow(entry.hwnd);
      restoreApplicationOwner(windows_, entry.hwnd);
    }
    listBoxes_.listDelete(listBox(), selected);
    lists_.removeMenu(position);
    break;
  }
  if (!settings_.menuStay) {
    hide();
  }
}

// The item is matched with letter case, so that of two windows whose titles
// differ only in case the right item goes.
void TTrayForm::removeTrayHwnd(Hwnd window) {
  log_.trace("Called removeTrayHwnd");
  std::int32_t position = 1;
  while (position <= lists_.menu().count()) {
    const MinimizedWindow& entry = lists_.menu().at(position);
    if (entry.hwnd != window) {
      ++position;
      continue;
    }
    if (const int item = findItem(entry.title); item >= 0) {
      listBoxes_.listDelete(listBox(), item);
    }
    lists_.removeMenu(position);
  }
  log_.trace("Exited removeTrayHwnd");
}

void TTrayForm::showAllWindows() {
  log_.trace("Called showAllWindows");
  for (const MinimizedWindow& entry : lists_.menu()) {
    const WindowState state = stateOf(journal_, windows_, entry.hwnd);
    if (state == WindowState::Same) {
      windows_.showWindow(entry.hwnd, win::kSwRestore);
      restoreApplicationOwner(windows_, entry.hwnd);
    }
    if (state != WindowState::Hung) {
      journal_.forget(Change::Menu, entry.hwnd);
    }
  }
  listBoxes_.listClear(listBox());
  log_.trace("Exited showAllWindows");
}

void TTrayForm::addTitle(const std::string& title) { listBoxes_.listAdd(listBox(), title); }

void TTrayForm::FormKeyUp(int key) { hideOnEscape(key); }

void TTrayForm::ListBox1KeyUp(int key) { hideOnEscape(key); }

void TTrayForm::onNCClick(std::uint32_t hitTest) {
  log_.trace("Recieved NCClick");
  if (hitTest == static_cast<std::uint32_t>(win::kHtCaption)) {
    settings_.menuStay = !settings_.menuStay;
    changeBorder();
  }
  log_.trace("Handled NCClick");
}

// The frame's double click never reaches default handling, so the caption
// never maximizes or restores the form.
bool TTrayForm::handleMessage(std::uint32_t message, std::uint32_t wParam, std::int32_t /*lParam*/,
                              std::int32_t& result) {
  if (message != win::kWmNcLButtonDblClk) {
    return false;
  }
  onNCClick(wParam);
  result = 0;
  return true;
}

void TTrayForm::handleCommand(int controlId, int notifyCode) {
  if (controlId == IDC_LISTBOX1 && notifyCode == kListDoubleClick) {
    ListBox1DblClick();
  }
}

// The close box hides the form; it lives until the program ends.
void TTrayForm::handleClose() { hide(); }

void TTrayForm::handleKeyUp(int controlId, int key) {
  if (controlId == 0) {
    FormKeyUp(key);
  } else if (controlId == IDC_LISTBOX1) {
    ListBox1KeyUp(key);
  }
}

FormControl TTrayForm::listBox() const { return control(IDC_LISTBOX1); }

int TTrayForm::findItem(const std::string& text) const {
  const FormControl list = listBox();
  const int count = listBoxes_.listCount(list);
  for (int index = 0; index < count; ++index) {
    if (listBoxes_.listItem(list, index) == text) {
      return index;
    }
  }
  return -1;
}

void TTrayForm::hideOnEscape(int key) {
  if (key == win::kVkEscape) {
    hide();
  }
}

}  // namespace strennix
