// The simulated ListBoxPort: the list boxes of the shared world's forms,
// sorted without regard to letter case where a layout or the caller says so.
#pragma once

#include "platform/listbox.h"
#include "platform/sim/simworld.h"

namespace strennix::sim {

class SimListBoxPort : public ListBoxPort {
 public:
  explicit SimListBoxPort(SimWorld& world) : world_(world) {}

  void setListSorted(FormControl list, bool sorted) override;
  int listAdd(FormControl list, const std::string& text) override;
  void listDelete(FormControl list, int index) override;
  int listFindExact(FormControl list, const std::string& text) override;
  int listSelected(FormControl list) override;
  std::string listItem(FormControl list, int index) override;
  int listCount(FormControl list) override;
  void listClear(FormControl list) override;

 private:
  SimWorld& world_;
};

}  // namespace strennix::sim
