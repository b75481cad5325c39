// The simulated RunningCopyPort: finds a window of the shared world by class
// and caption, records who may take the front, and delivers posts to forms.
#pragma once

#include "platform/runningcopy.h"
#include "platform/sim/simworld.h"

namespace strennix::sim {

class SimRunningCopyPort : public RunningCopyPort {
 public:
  explicit SimRunningCopyPort(SimWorld& world) : world_(world) {}

  Hwnd findRunning(const std::string& className, const std::string& caption) override;
  void allowForeground(Hwnd window) override;
  // To a form, delivered at once as the world's post() does; other windows
  // take no messages here.
  bool post(Hwnd window, std::uint32_t message, std::uint32_t wParam, std::int32_t lParam) override;

 private:
  SimWorld& world_;
};

}  // namespace strennix::sim
