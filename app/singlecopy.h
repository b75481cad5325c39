// One copy of the program per user session: two copies would split the
// title-bar clicks and destroy reports between them and overwrite each
// other's published hook handles.
#pragma once

#include <optional>

#include "platform/runningcopy.h"
#include "platform/system.h"

namespace strennix {

// Per session ("Local\"), so that other users' copies do not count.
inline constexpr const char* kSingleCopyMutex = "Local\\Strennix.TStrennix";

// The claim of this session's one copy, to hold for the whole run. When
// another copy holds it, that copy is asked to show its settings window and
// nothing is answered: this copy ends at once. A system that cannot make the
// mutex at all lets the program run.
std::optional<Mutex> claimSingleCopy(SystemPort& system, RunningCopyPort& copies);

}  // namespace strennix
