// What the desktop tells of another program's window frame: whether it
// composes the frames itself (and draws over what a program paints there),
// where it puts the caption buttons and the title bar, whether it keeps the
// window out of sight (cloaked on another virtual desktop), and the window's
// DPI. Every answer comes without waiting on a program that hangs.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/types.h"

namespace strennix {

class WindowFramePort {
 public:
  virtual ~WindowFramePort() = default;
  // Desktop composition is on; false where the system has none.
  virtual bool composed() = 0;
  // The group of the system's caption buttons (minimize, maximize, help,
  // close) in screen coordinates; nothing when none is known.
  virtual std::optional<Rect> captionButtons(Hwnd window) = 0;
  // The title bar in screen coordinates; nothing when not known.
  virtual std::optional<Rect> titleBar(Hwnd window) = 0;
  virtual bool cloaked(Hwnd window) = 0;
  // The window's DPI, or the system's where windows have none of their own.
  virtual std::uint32_t dpi(Hwnd window) = 0;
};

}  // namespace strennix
