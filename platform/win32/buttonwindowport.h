// ButtonWindowPort on the Win32 API: layered tool windows of one class of
// the program's own, painted from a 32-bit bitmap. Layered windows and the
// mouse's leave report are taken at run time, as Windows 95 and NT 4 lack
// them; there no button window is made.
#pragma once

#include <windows.h>

#include "platform/buttonwindow.h"
#include "platform/handle.h"

namespace strennix::win32 {

class Win32ButtonWindows;

// The window class of the button windows, unregistered after the last one.
struct ButtonWindowClassTraits {
  using Value = ATOM;
  using Owner = Win32ButtonWindows;
  static bool valid(const Value& value) { return value != 0; }
  static void release(Owner& owner, const Value& value) noexcept;
};

class Win32ButtonWindows final : public ButtonWindowPort {
 public:
  bool available() override;
  ButtonWindow create(Hwnd notify) override;
  void place(Hwnd bar, const Rect& place, Hwnd target, bool topmost) override;
  bool isJustAbove(Hwnd bar, Hwnd target) override;
  void show(Hwnd bar, bool visible) override;
  void paint(Hwnd bar, const ButtonPicture& picture) override;
  void destroyButtonWindow(Hwnd bar) noexcept override;

 private:
  UniqueHandle<ButtonWindowClassTraits> windowClass_;
};

}  // namespace strennix::win32
