// ListBoxPort on USER32: the list boxes of the forms that the UI port made.
#pragma once

#include "platform/listbox.h"
#include "platform/win32/uiport.h"

namespace strennix::win32 {

class Win32ListBoxPort final : public ListBoxPort {
 public:
  explicit Win32ListBoxPort(Win32UiPort& forms) : forms_(forms) {}

  void setListSorted(FormControl list, bool sorted) override;
  int listAdd(FormControl list, const std::string& text) override;
  void listDelete(FormControl list, int index) override;
  int listFindExact(FormControl list, const std::string& text) override;
  int listSelected(FormControl list) override;
  std::string listItem(FormControl list, int index) override;
  int listCount(FormControl list) override;
  void listClear(FormControl list) override;

 private:
  Win32UiPort& forms_;
};

}  // namespace strennix::win32
