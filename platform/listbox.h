// The list box of a form, for the tray menu (traymenu/) alone.
#pragma once

#include <string>

#include "platform/ui.h"

namespace strennix {

class ListBoxPort {
 public:
  virtual ~ListBoxPort() = default;

  // Sorting (LBS_SORT) can only be chosen by re-creating the
  // control, which empties it.
  virtual void setListSorted(FormControl list, bool sorted) = 0;
  virtual int listAdd(FormControl list, const std::string& text) = 0;
  virtual void listDelete(FormControl list, int index) = 0;
  // LB_FINDSTRINGEXACT from the top: whole text, letter case ignored; -1.
  virtual int listFindExact(FormControl list, const std::string& text) = 0;
  virtual int listSelected(FormControl list) = 0;
  virtual std::string listItem(FormControl list, int index) = 0;
  virtual int listCount(FormControl list) = 0;
  virtual void listClear(FormControl list) = 0;
};

}  // namespace strennix
