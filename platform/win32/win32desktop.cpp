#include "platform/win32/win32desktop.h"

namespace strennix::win32 {

Ports Win32Desktop::ports() {
  return Ports{windows_,   drawing_,       shell_,        registry_,     system_,
               files_,     clock_,         messageBoxes_, hooks_,        processes_,
               ui_,        buttonRows_,    windowEvents_, processNames_, formControls_,
               listBoxes_, buttonWindows_, frames_};
}

}  // namespace strennix::win32
