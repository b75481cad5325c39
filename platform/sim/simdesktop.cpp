#include "platform/sim/simdesktop.h"

namespace strennix::sim {

Ports SimDesktop::ports() {
  return Ports{windows_,   drawing_,       shell_,        registry_,     system_,
               files_,     clock_,         messageBoxes_, hooks_,        processes_,
               ui_,        buttonRows_,    windowEvents_, processNames_, formControls_,
               listBoxes_, buttonWindows_, frames_};
}

}  // namespace strennix::sim
