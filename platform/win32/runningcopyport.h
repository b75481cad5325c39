// RunningCopyPort on USER32: the main window of a copy that already runs.
#pragma once

#include "platform/runningcopy.h"

namespace strennix::win32 {

class Win32RunningCopyPort final : public RunningCopyPort {
 public:
  Hwnd findRunning(const std::string& className, const std::string& caption) override;
  void allowForeground(Hwnd window) override;
  bool post(Hwnd window, std::uint32_t message, std::uint32_t wParam, std::int32_t lParam) override;
};

}  // namespace strennix::win32
