// Reading a window: what a module asks of a top-level window, its own or
// another program's, without changing it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

namespace strennix {

// A window's style bits, as its program set them; 0 when it does not exist.
struct WindowStyles {
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
};

class WindowInfoPort {
 public:
  virtual ~WindowInfoPort() = default;

  virtual bool isWindow(Hwnd window) = 0;
  // All zero when the window does not exist.
  virtual Rect windowRect(Hwnd window) = 0;
  // For the user's own style masks; the states below need none.
  virtual WindowStyles styles(Hwnd window) = 0;
  virtual bool isMinimized(Hwnd window) = 0;
  virtual bool isMaximized(Hwnd window) = 0;
  virtual bool isTopmost(Hwnd window) = 0;
  virtual bool isVisible(Hwnd window) = 0;
  // The window's program has stopped taking its messages.
  virtual bool isHung(Hwnd window) = 0;
  // At most bufferSize - 1 characters, as GetClassNameA / GetWindowTextA.
  virtual std::string className(Hwnd window, int bufferSize) = 0;
  virtual std::string windowText(Hwnd window, int bufferSize) = 0;
  // 0 when there is none.
  virtual Hwnd owner(Hwnd window) = 0;
  virtual ProcessId processOf(Hwnd window) = 0;
};

}  // namespace strennix
