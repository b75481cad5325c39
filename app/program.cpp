#include "app/program.h"

namespace strennix {

Program::Program(const Ports& ports, Application& application)
    : log_(ports.files, ports.clock),
      journal_(ports.registry, ports.windowInfo, ports.processes, log_),
      lists_(journal_),
      dataFiles_(ports.files, ports.system),
      lang_(dataFiles_),
      notifyIcons_(ports.shell, log_),
      fileControl_(dataFiles_, ports.system, ports.shell, log_),
      names_(ports.system, ports.processNames, ports.windowInfo, ports.registry, log_),
      winAuth_(ports.windowInfo, ports.system, names_, settings_, exclusions_, log_),
      gfx_(ports.windowInfo, ports.desktop, ports.frames, ports.drawing, ports.buttonRows, winAuth_,
           settings_, log_),
      book_(lists_, ports.windowInfo, ports.placement, ports.desktop, journal_, notifyIcons_, log_),
      uifx_(ports.windowInfo, ports.placement, ports.desktop, ports.windowIcons, ports.messageBoxes,
            lang_, lists_, journal_, notifyIcons_, settings_, log_),
      setupHook_(ports.system, ports.hooks, ports.registry, ports.buttonRows, log_),
      helper_(ports.system, ports.processes, log_),
      store_(ports.registry, fileControl_, log_),
      mainForm_(ports, application, parts()),
      trayForm_(ports.ui, ports.listBoxes, ports.windowInfo, ports.placement, ports.desktop,
                ports.messageBoxes, lists_, journal_, settings_, log_) {
  mainForm_.setTrayForm(trayForm_);
}

MainFormParts Program::parts() {
  return MainFormParts{log_,  settings_,    exclusions_,  lists_,   journal_,
                       lang_, notifyIcons_, fileControl_, winAuth_, gfx_,
                       book_, uifx_,        setupHook_,   helper_,  store_};
}

}  // namespace strennix
