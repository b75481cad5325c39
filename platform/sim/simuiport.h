// The simulated UiPort: forms of the shared world with the controls of
// their layouts in resources/strennix.rc (captions, enabled states and
// sorting; other control IDs are made on demand, empty), timers, icons and
// registered window messages.
#pragma once

#include <map>

#include "platform/sim/simworld.h"
#include "platform/ui.h"

namespace strennix::sim {

class SimUiPort : public UiPort {
 public:
  explicit SimUiPort(SimWorld& world) : world_(world) {}

  Hwnd createForm(int layoutId, FormEvents& events) override;
  void destroyForm(Hwnd form) override;
  bool checked(FormControl control) override;
  void setChecked(FormControl control, bool checked) override;
  bool enabled(FormControl control) override;
  void setEnabled(FormControl control, bool enabled) override;
  std::string text(FormControl control) override;
  void setText(FormControl control, const std::string& text) override;
  int trackPosition(FormControl trackBar) override;
  void setTrackPosition(FormControl trackBar, int position) override;
  void setListSorted(FormControl list, bool sorted) override;
  int listAdd(FormControl list, const std::string& text) override;
  void listDelete(FormControl list, int index) override;
  int listFindExact(FormControl list, const std::string& text) override;
  int listSelected(FormControl list) override;
  std::string listItem(FormControl list, int index) override;
  int listCount(FormControl list) override;
  void listClear(FormControl list) override;
  void setTimer(Hwnd form, std::uint32_t timerId, std::uint32_t intervalMs) override;
  void killTimer(Hwnd form, std::uint32_t timerId) override;
  IconHandle loadIcon(int resourceId) override;
  std::uint32_t registerWindowMessage(const std::string& name) override;
  void runMessageLoop() override;
  void quitMessageLoop() override;

 private:
  SimWorld& world_;
  std::map<int, IconHandle> icons_;
  std::map<std::string, std::uint32_t> windowMessages_;
};

}  // namespace strennix::sim
