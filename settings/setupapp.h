// Building blocks of the begin sequence: the reset of the in-memory state,
// the first-start test with its defaults, and the psapi check.
#pragma once

#include <string_view>

#include "app/core/log.h"
#include "app/core/settings.h"
#include "app/core/windowlists.h"
#include "platform/messagebox.h"
#include "platform/registry.h"
#include "platform/system.h"

namespace strennix {

// Every setting false or 0 (the percentages 100), every window list empty,
// every tray slot free.
void zeroVars(Settings& settings, WindowLists& lists, const ModuleLog& log);

// On the NT family, warns once that "psapi.dll" cannot be loaded.
void checkPsapi(SystemPort& system, MessageBoxPort& boxes);

// Plain character-code comparison with the version the program writes; a
// prefix of a longer text is the smaller one.
bool versionIsOlder(std::string_view version);

// Reads "Version" (missing counts as "0.0.0.0" and runs checkPsapi); settings
// older than this program's are replaced by the sixteen defaults. Answers
// whether the settings form is to be shown at start.
bool checkFirstStart(RegistryPort& registry, SystemPort& system, MessageBoxPort& boxes,
                     const ModuleLog& log);

}  // namespace strennix
