// The simulated ShellPort: the notification area of the shared world, with
// its add, modify and delete rules, and recorded ShellExecute requests.
#pragma once

#include "platform/shell.h"
#include "platform/sim/simworld.h"

namespace strennix::sim {

class SimShellPort : public ShellPort {
 public:
  explicit SimShellPort(SimWorld& world) : world_(world) {}

  bool notifyIcon(std::uint32_t operation, const NotifyIconData& data) override;
  void shellExecute(Hwnd owner, const std::string& verb, const std::string& file,
                    const std::string& parameters, const std::string& directory, int show) override;

 private:
  SimWorld& world_;
};

}  // namespace strennix::sim
