// Program entry: the application object, the main form (which does nearly
// all start-up work), the tray menu form, the message loop.
#include <exception>
#include <optional>

#include "app/program.h"
#include "app/singlecopy.h"
#include "platform/win32/win32desktop.h"

int main() {
  using namespace strennix;
  win32::Win32Desktop desktop;
  const Ports ports = desktop.ports();
  const std::optional<Mutex> claim = claimSingleCopy(ports.system, ports.runningCopy);
  if (!claim) {
    return 0;
  }
  Application application(ports.ui, ports.messageBoxes);
  try {
    application.title = kApplicationTitle;
    Program program(ports, application);
    program.mainForm().run();
  } catch (const std::exception& error) {
    application.showException(error);
  }
  return 0;
}
