// Another program's window icons, for the tray icon that stands for the
// window (actions/uifx alone).
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace strennix {

enum class IconSize : std::uint8_t { Small, Big };

class WindowIconsPort {
 public:
  virtual ~WindowIconsPort() = default;

  // The icon the window answers when asked for one of the size; 0 when it
  // has none, does not answer within the time-out, or its program has
  // stopped answering (then it is not waited for at all).
  virtual IconHandle askedIcon(Hwnd window, IconSize size, std::uint32_t timeoutMs) = 0;
  // The icon the window shows while it is dragged, asked the same way.
  virtual IconHandle dragIcon(Hwnd window, std::uint32_t timeoutMs) = 0;
  // The icon of the window's class; 0 when it has none.
  virtual IconHandle classIcon(Hwnd window, IconSize size) = 0;
};

}  // namespace strennix
