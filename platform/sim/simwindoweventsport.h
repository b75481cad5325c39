// The simulated WindowEventsPort: a watch is counted in the shared world;
// tests post the reports themselves, as the system would.
#pragma once

#include "platform/sim/simworld.h"
#include "platform/windowevents.h"

namespace strennix::sim {

class SimWindowEventsPort : public WindowEventsPort {
 public:
  explicit SimWindowEventsPort(SimWorld& world) : world_(world) {}

  WindowEventWatch watchWindowEvents() override;
  void endWatch(const WindowEventHooks& hooks) override;

 private:
  SimWorld& world_;
};

}  // namespace strennix::sim
