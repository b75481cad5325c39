// Every port of one back end, for the composition root. Modules take only
// the ports they use.
#pragma once

#include "platform/buttonrows.h"
#include "platform/buttonwindow.h"
#include "platform/clock.h"
#include "platform/drawing.h"
#include "platform/files.h"
#include "platform/formcontrols.h"
#include "platform/hooks.h"
#include "platform/listbox.h"
#include "platform/messagebox.h"
#include "platform/processes.h"
#include "platform/processnames.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "platform/windowevents.h"
#include "platform/windowframe.h"
#include "platform/windows.h"

namespace strennix {

struct Ports {
  WindowPort& windows;
  DrawingPort& drawing;
  ShellPort& shell;
  RegistryPort& registry;
  SystemPort& system;
  FilePort& files;
  ClockPort& clock;
  MessageBoxPort& messageBoxes;
  HookPort& hooks;
  ProcessPort& processes;
  UiPort& ui;
  ButtonRowsPort& buttonRows;
  WindowEventsPort& windowEvents;
  ProcessNamesPort& processNames;
  FormControlsPort& formControls;
  ListBoxPort& listBoxes;
  ButtonWindowPort& buttonWindows;
  WindowFramePort& frames;
};

}  // namespace strennix
