// The simulated UiPort: forms of the shared world with the controls of
// their compiled layouts (captions, enabled states and sorting; other control
// IDs are made on demand, empty), timers, icons and registered window
// messages.
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
