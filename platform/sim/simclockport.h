// The simulated ClockPort: the shared world's time, which only tests move.
#pragma once

#include "platform/clock.h"
#include "platform/sim/simworld.h"

namespace strennix::sim {

class SimClockPort : public ClockPort {
 public:
  explicit SimClockPort(SimWorld& world) : world_(world) {}

  DateTime localNow() override;

 private:
  SimWorld& world_;
};

}  // namespace strennix::sim
