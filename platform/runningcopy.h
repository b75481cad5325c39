// What the start of a second copy asks of the first (app/singlecopy alone):
// find its main window, let it take the front, and post it a message of the
// program's own protocol.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

namespace strennix {

class RunningCopyPort {
 public:
  virtual ~RunningCopyPort() = default;

  // The first top-level window of the class and caption; 0 when there is
  // none.
  virtual Hwnd findRunning(const std::string& className, const std::string& caption) = 0;
  // The window's process may bring its window to the front, as this one may
  // now. Nothing where the system lacks the call.
  virtual void allowForeground(Hwnd window) = 0;
  virtual bool post(Hwnd window, std::uint32_t message, std::uint32_t wParam,
                    std::int32_t lParam) = 0;
};

}  // namespace strennix
