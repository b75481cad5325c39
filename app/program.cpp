#include "app/program.h"

namespace strennix {

Program::Program(const Ports& ports, Application& application)
    : log_(ports.files, ports.clock),
      journal_(ports.registry, ports.windows, ports.processes, log_),
      lists_(journal_),
      dataFiles_(ports.files, ports.system),
      lang_(dataFiles_),
      notifyIcons_(ports.shell, log_),
      fileControl_(dataFiles_, ports.system, ports.shell, log_),
      names_(ports.system, ports.processNames, ports.windows, ports.registry, log_),
      winAuth_(ports.windows, ports.system, names_, settings_, exclusions_, log_),
      gfx_(ports.windows, ports.drawing, ports.buttonRows, winAuth_, settings_, log_),
      book_(lists_, ports.windows, journal_, notifyIcons_, log_),
      uifx_(ports.windows, ports.messageBoxes, lang_, lists_, journal_, notifyIcons_, settings_,
            log_),
      setupHook_(ports.system, ports.hooks, ports.registry, ports.buttonRows, log_),
      helper_(ports.system, ports.processes, log_),
      store_(ports.registry, fileControl_, log_),
      mainForm_(ports, application, parts()),
      trayForm_(ports.ui, ports.listBoxes, ports.windows, ports.messageBoxes, lists_, journal_,
                settings_, log_) {
  mainForm_.setTrayForm(trayForm_);
}

MainFormParts Program::parts() {
  return MainFormParts{log_,  settings_,    exclusions_,  lists_,   journal_,
                       lang_, notifyIcons_, fileControl_, winAuth_, gfx_,
                       book_, uifx_,        setupHook_,   helper_,  store_};
}

}  // namespace strennix
