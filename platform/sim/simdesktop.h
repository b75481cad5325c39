// A simulated desktop for fast native tests: the shared world and one
// simulated port of each kind over it. Tests set the world up and read it
// back through this object, call any port on it directly, and hand its
// ports() to the modules; a test that needs another behaviour for one port
// builds Ports with its own object in that place.
#pragma once

#include "platform/ports.h"
#include "platform/sim/simbuttonrowsport.h"
#include "platform/sim/simbuttonwindowport.h"
#include "platform/sim/simclockport.h"
#include "platform/sim/simdrawingport.h"
#include "platform/sim/simfileport.h"
#include "platform/sim/simhookport.h"
#include "platform/sim/simmessageboxport.h"
#include "platform/sim/simprocessport.h"
#include "platform/sim/simregistryport.h"
#include "platform/sim/simshellport.h"
#include "platform/sim/simsystemport.h"
#include "platform/sim/simuiport.h"
#include "platform/sim/simwindoweventsport.h"
#include "platform/sim/simwindowframeport.h"
#include "platform/sim/simwindowport.h"
#include "platform/sim/simworld.h"

namespace strennix::sim {

// The world comes first among the bases, so it is built before the ports
// that hold on to it.
class SimDesktop final : public SimWorld,
                         public SimWindowPort,
                         public SimDrawingPort,
                         public SimShellPort,
                         public SimRegistryPort,
                         public SimSystemPort,
                         public SimFilePort,
                         public SimClockPort,
                         public SimMessageBoxPort,
                         public SimHookPort,
                         public SimProcessPort,
                         public SimUiPort,
                         public SimButtonRowsPort,
                         public SimWindowEventsPort {
 public:
  SimDesktop();
  // The ports refer to this object's world.
  SimDesktop(const SimDesktop&) = delete;
  SimDesktop& operator=(const SimDesktop&) = delete;

  Ports ports();

  // A window (the world) or a file (the file port).
  using SimFilePort::exists;
  using SimWorld::exists;

 private:
  SimButtonWindowPort buttonWindowPort_{*this};
  SimWindowFramePort framePort_{*this};
};

}  // namespace strennix::sim
