// The debug dumps of the start and of a save: what the system is, and what
// the settings and the window lists hold.
#pragma once

#include "app/core/log.h"
#include "app/core/settings.h"
#include "app/core/windowlists.h"
#include "platform/files.h"
#include "platform/system.h"

namespace strennix {

// In debug mode only, to the program's log: the system's version, the program's and where it runs.
void dumpSystemInfo(const Logger& log, SystemPort& system, FilePort& files);
// In debug mode only: every setting and the lists' counts, masks as signed
// numbers.
void dumpVariables(const Logger& log, const char* file, const Settings& settings,
                   const WindowLists& lists);

}  // namespace strennix
