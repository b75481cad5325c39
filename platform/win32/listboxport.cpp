#include "platform/win32/listboxport.h"

#include <windows.h>

#include "platform/win32/formwindow.h"

namespace strennix::win32 {

// List boxes are not kept as pending state: they make their form's controls.
void Win32ListBoxPort::setListSorted(FormControl list, bool sorted) {
  FormWindow* const form = forms_.formWindow(list.form);
  const HWND old = toHwnd(forms_.controlWindow(list));
  if (form == nullptr || old == nullptr) {
    return;
  }
  const HWND window = toHwnd(list.form);
  DWORD style = GetWindowLongA(old, GWL_STYLE);
  style = sorted ? (style | LBS_SORT) : (style & ~static_cast<DWORD>(LBS_SORT));
  const DWORD exStyle = GetWindowLongA(old, GWL_EXSTYLE);
  RECT rect{};
  GetWindowRect(old, &rect);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
  // The new list takes the old one's place in the tab order.
  const HWND previous = GetWindow(old, GW_HWNDPREV);
  const bool hadFocus = GetFocus() == old;
  DestroyWindow(old);
  const HWND created = CreateWindowExA(exStyle, "ListBox", "", style, rect.left, rect.top,
                                       rect.right - rect.left, rect.bottom - rect.top, window,
                                       toHandle<HMENU>(static_cast<std::uint32_t>(list.id)),
                                       moduleInstance(), nullptr);
  if (created == nullptr) {
    return;
  }
  SetWindowPos(created, previous != nullptr ? previous : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  prepareControl(*form, created, list.id);
  if (hadFocus) {
    SetFocus(created);
  }
}

int Win32ListBoxPort::listAdd(FormControl list, const std::string& text) {
  return static_cast<int>(
      send(forms_.controlWindow(list), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

void Win32ListBoxPort::listDelete(FormControl list, int index) {
  send(forms_.controlWindow(list), LB_DELETESTRING, index);
}

int Win32ListBoxPort::listFindExact(FormControl list, const std::string& text) {
  return static_cast<int>(send(forms_.controlWindow(list), LB_FINDSTRINGEXACT,
                               static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str())));
}

int Win32ListBoxPort::listSelected(FormControl list) {
  return static_cast<int>(send(forms_.controlWindow(list), LB_GETCURSEL));
}

std::string Win32ListBoxPort::listItem(FormControl list, int index) {
  const Hwnd window = forms_.controlWindow(list);
  const LRESULT length = send(window, LB_GETTEXTLEN, index);
  if (length == LB_ERR) {
    return {};
  }
  std::string item(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT copied = send(window, LB_GETTEXT, index, reinterpret_cast<LPARAM>(item.data()));
  item.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
  return item;
}

int Win32ListBoxPort::listCount(FormControl list) {
  return static_cast<int>(send(forms_.controlWindow(list), LB_GETCOUNT));
}

void Win32ListBoxPort::listClear(FormControl list) {
  send(forms_.controlWindow(list), LB_RESETCONTENT);
}

}  // namespace strennix::win32
