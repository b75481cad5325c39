// Program entry: the application object, the main form (which does nearly
// all start-up work), the tray menu form, the message loop.
#include <exception>

#include "app/app.h"
#include "platform/win32/win32desktop.h"
#include "traymenu/traymenu.h"

int main() {
  using namespace strennix;
  win32::Win32Desktop desktop;
  const Ports ports = desktop.ports();
  Application application(ports.ui, ports.messageBoxes);
  try {
    application.title = kApplicationTitle;
    TStrennix strennix(ports, application);
    TTrayForm trayForm(ports.ui, ports.windows, ports.messageBoxes, strennix.lists,
                       strennix.journal, strennix.settings, strennix.log);
    strennix.setTrayForm(trayForm);
    strennix.run();
  } catch (const std::exception& error) {
    application.showException(error);
  }
  return 0;
}
