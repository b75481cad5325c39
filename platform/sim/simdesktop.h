// A simulated desktop for fast native tests: the shared world and one
// simulated port of each kind over it. Tests set the world up and read it
// back through this object, reach a port through its accessor, and hand its
// ports() to the modules; a test that needs another behaviour for one port
// builds Ports with its own object in that place.
#pragma once

#include "platform/ports.h"
#include "platform/sim/simbuttonrowsport.h"
#include "platform/sim/simbuttonwindowport.h"
#include "platform/sim/simclockport.h"
#include "platform/sim/simdrawingport.h"
#include "platform/sim/simfileport.h"
#include "platform/sim/simformcontrolsport.h"
#include "platform/sim/simhookport.h"
#include "platform/sim/simlistboxport.h"
#include "platform/sim/simmessageboxport.h"
#include "platform/sim/simprocessnamesport.h"
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

// The world is the base, so it is built before the ports that hold on to it.
class SimDesktop final : public SimWorld {
 public:
  SimDesktop() = default;
  // The ports refer to this object's world.
  SimDesktop(const SimDesktop&) = delete;
  SimDesktop& operator=(const SimDesktop&) = delete;

  Ports ports();

  SimWindowPort& windowPort() { return windows_; }
  SimDrawingPort& drawingPort() { return drawing_; }
  SimShellPort& shellPort() { return shell_; }
  SimRegistryPort& registryPort() { return registry_; }
  SimSystemPort& systemPort() { return system_; }
  SimFilePort& filePort() { return files_; }
  SimClockPort& clockPort() { return clock_; }
  SimMessageBoxPort& messageBoxPort() { return messageBoxes_; }
  SimHookPort& hookPort() { return hooks_; }
  SimProcessPort& processPort() { return processes_; }
  SimUiPort& uiPort() { return ui_; }
  SimButtonRowsPort& buttonRowsPort() { return buttonRows_; }
  SimWindowEventsPort& windowEventsPort() { return windowEvents_; }
  SimProcessNamesPort& processNamesPort() { return processNames_; }
  SimFormControlsPort& formControlsPort() { return formControls_; }
  SimListBoxPort& listBoxPort() { return listBoxes_; }
  SimButtonWindowPort& buttonWindowPort() { return buttonWindows_; }
  SimWindowFramePort& windowFramePort() { return frames_; }

  // Where a test hands the whole desktop to a module that takes one port.
  operator WindowPort&() { return windows_; }
  operator DrawingPort&() { return drawing_; }
  operator ShellPort&() { return shell_; }
  operator RegistryPort&() { return registry_; }
  operator SystemPort&() { return system_; }
  operator FilePort&() { return files_; }
  operator ClockPort&() { return clock_; }
  operator MessageBoxPort&() { return messageBoxes_; }
  operator HookPort&() { return hooks_; }
  operator ProcessPort&() { return processes_; }
  operator UiPort&() { return ui_; }
  operator ButtonRowsPort&() { return buttonRows_; }
  operator WindowEventsPort&() { return windowEvents_; }
  operator ProcessNamesPort&() { return processNames_; }
  operator FormControlsPort&() { return formControls_; }
  operator ListBoxPort&() { return listBoxes_; }
  operator ButtonWindowPort&() { return buttonWindows_; }
  operator WindowFramePort&() { return frames_; }

 private:
  SimWorld& world() { return *this; }

  SimWindowPort windows_{world()};
  SimDrawingPort drawing_{world()};
  SimShellPort shell_{world()};
  SimRegistryPort registry_{world()};
  SimSystemPort system_{world()};
  SimFilePort files_{world()};
  SimClockPort clock_{world()};
  SimMessageBoxPort messageBoxes_{world()};
  SimHookPort hooks_{world()};
  SimProcessPort processes_{world()};
  SimUiPort ui_{world()};
  SimButtonRowsPort buttonRows_{world()};
  SimWindowEventsPort windowEvents_{world()};
  SimProcessNamesPort processNames_{world(), system_};
  SimFormControlsPort formControls_{world()};
  SimListBoxPort listBoxes_{world()};
  SimButtonWindowPort buttonWindows_{world()};
  SimWindowFramePort frames_{world()};
};

}  // namespace strennix::sim
