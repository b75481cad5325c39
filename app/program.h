// The whole program, composed once: the program's state and the
// collaborators first, then the main form (it runs the start-up), then the
// tray menu form, which the main form is then told of.
#pragma once

#include "actions/uifx.h"
#include "app/app.h"
#include "app/core/exclusionlists.h"
#include "app/core/filecontrol.h"
#include "app/core/journal.h"
#include "app/core/log.h"
#include "app/core/notifyicons.h"
#include "app/core/settings.h"
#include "app/core/windowbook.h"
#include "app/core/windowlists.h"
#include "buttons/gfx.h"
#include "eligibility/namefromwindow.h"
#include "eligibility/winauth.h"
#include "hook/helper.h"
#include "hook/setuphook.h"
#include "language/langhandler.h"
#include "platform/datafiles.h"
#include "platform/forms.h"
#include "platform/ports.h"
#include "settings/settingsstore.h"
#include "traymenu/traymenu.h"

namespace strennix {

class Program {
 public:
  Program(const Ports& ports, Application& application);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  Program(Program&&) = delete;
  Program& operator=(Program&&) = delete;
  ~Program() = default;

  [[nodiscard]] TStrennix& mainForm() { return mainForm_; }
  [[nodiscard]] TTrayForm& trayForm() { return trayForm_; }
  [[nodiscard]] const Logger& log() const { return log_; }
  [[nodiscard]] const Settings& settings() const { return settings_; }
  [[nodiscard]] const ExclusionLists& exclusions() const { return exclusions_; }
  [[nodiscard]] const WindowLists& lists() const { return lists_; }
  [[nodiscard]] const Journal& journal() const { return journal_; }

 private:
  [[nodiscard]] MainFormParts parts();

  // Declared in the order they are made.
  Logger log_;
  Settings settings_;
  ExclusionLists exclusions_;
  Journal journal_;
  WindowLists lists_;
  DataFiles dataFiles_;
  LangHandler lang_;
  NotifyIcons notifyIcons_;
  FileControl fileControl_;
  NameFromWindow names_;
  WinAuth winAuth_;
  Gfx gfx_;
  WindowBook book_;
  Uifx uifx_;
  SetupHook setupHook_;
  Helper helper_;
  SettingsStore store_;
  TStrennix mainForm_;
  TTrayForm trayForm_;
};

}  // namespace strennix
