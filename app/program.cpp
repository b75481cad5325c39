#include "app/program.h"

namespace strennix {

Program::Program(const Ports& ports, Application& application)
    : mainForm_(ports, application),
      trayForm_(ports.ui, ports.windows, ports.messageBoxes, mainForm_.lists, mainForm_.settings,
                mainForm_.log) {
  mainForm_.setTrayForm(trayForm_);
}

}  // namespace strennix
