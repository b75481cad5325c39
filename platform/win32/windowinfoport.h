// WindowInfoPort on USER32: what a top-level window of any program is.
#pragma once

#include "platform/windowinfo.h"

namespace strennix::win32 {

class Win32WindowInfoPort final : public WindowInfoPort {
 public:
  bool isWindow(Hwnd window) override;
  Rect windowRect(Hwnd window) override;
  WindowStyles styles(Hwnd window) override;
  bool isMinimized(Hwnd window) override;
  bool isMaximized(Hwnd window) override;
  bool isTopmost(Hwnd window) override;
  bool isVisible(Hwnd window) override;
  bool isHung(Hwnd window) override;
  std::string className(Hwnd window, int bufferSize) override;
  std::string windowText(Hwnd window, int bufferSize) override;
  Hwnd owner(Hwnd window) override;
  ProcessId processOf(Hwnd window) override;
};

}  // namespace strennix::win32
