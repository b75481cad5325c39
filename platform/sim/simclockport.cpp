#include "platform/sim/simclockport.h"

namespace strennix::sim {

DateTime SimClockPort::localNow() { return world_.now; }

}  // namespace strennix::sim
