// WindowIconsPort on USER32: WM_GETICON, WM_QUERYDRAGICON and the class
// icons of another program's window.
#pragma once

#include "platform/windowicons.h"

namespace strennix::win32 {

class Win32WindowIconsPort final : public WindowIconsPort {
 public:
  IconHandle askedIcon(Hwnd window, IconSize size, std::uint32_t timeoutMs) override;
  IconHandle dragIcon(Hwnd window, std::uint32_t timeoutMs) override;
  IconHandle classIcon(Hwnd window, IconSize size) override;
};

}  // namespace strennix::win32
