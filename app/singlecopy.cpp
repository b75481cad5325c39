#include "app/singlecopy.h"

#include <utility>

#include "app/core/notifyicons.h"
#include "platform/hookprotocol.h"
#include "platform/winconst.h"

namespace strennix {

std::optional<Mutex> claimSingleCopy(SystemPort& system, RunningCopyPort& copies) {
  NamedMutex claim = system.createMutex(kSingleCopyMutex);
  if (!claim.alreadyExisted) {
    return std::move(claim.mutex);
  }
  // What a double click on its tray icon does: the settings window comes up.
  const Hwnd running = copies.findRunning(hookprotocol::kMainClass, hookprotocol::kMainCaption);
  if (running != Hwnd{}) {
    // This copy was just started by the user and may take the front; the
    // running one may not, unless it is given the right.
    copies.allowForeground(running);
    copies.post(running, win::kWmTray, kOwnTrayIconId,
                static_cast<std::int32_t>(win::kWmLButtonDblClk));
  }
  return std::nullopt;
}

}  // namespace strennix
