// WindowPlacePort on USER32: SetWindowPos and ShowWindow, queued to a window
// of another thread.
#pragma once

#include "platform/windowplace.h"

namespace strennix::win32 {

class Win32WindowPlacePort final : public WindowPlacePort {
 public:
  bool move(Hwnd window, const Rect& rect) override;
  bool resize(Hwnd window, std::int32_t width, std::int32_t height) override;
  bool setTopmost(Hwnd window, bool topmost) override;
  bool dropTopmostQuietly(Hwnd window) override;
  bool hide(Hwnd window) override;
  bool restore(Hwnd window) override;
  bool bringToFront(Hwnd window) override;
};

}  // namespace strennix::win32
