// The simulated MessageBoxPort: boxes recorded in the shared world and
// answered from its queue of answers.
#pragma once

#include "platform/messagebox.h"
#include "platform/sim/simworld.h"

namespace strennix::sim {

class SimMessageBoxPort : public MessageBoxPort {
 public:
  explicit SimMessageBoxPort(SimWorld& world) : world_(world) {}

  int messageBox(Hwnd owner, const std::string& text, const std::string& caption,
                 std::uint32_t flags) override;

 private:
  SimWorld& world_;
};

}  // namespace strennix::sim
