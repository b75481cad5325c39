// WindowFramePort on the Win32 API. The desktop window manager (dwmapi.dll,
// Vista and later) is loaded at run time and kept for the run; without it
// nothing is composed and the title bar comes from older calls, themselves
// taken at run time.
#pragma once

#include <windows.h>

#include "platform/handle.h"
#include "platform/windowframe.h"

namespace strennix::win32 {

class Win32WindowFrames;

struct DwmLibraryTraits {
  using Value = HMODULE;
  using Owner = Win32WindowFrames;
  static bool valid(const Value& value) { return value != nullptr; }
  static void release(Owner& /*owner*/, const Value& value) noexcept { FreeLibrary(value); }
};

class Win32WindowFrames final : public WindowFramePort {
 public:
  Win32WindowFrames();

  bool composed() override;
  std::optional<Rect> captionButtons(Hwnd window) override;
  std::optional<Rect> titleBar(Hwnd window) override;
  bool cloaked(Hwnd window) override;
  std::uint32_t dpi(Hwnd window) override;
  // The system's DPI, which the program's own forms follow.
  std::uint32_t systemDpi();

 private:
  // DwmGetWindowAttribute; false where it is missing or fails.
  bool windowAttribute(Hwnd window, DWORD attribute, void* value, DWORD size);

  UniqueHandle<DwmLibraryTraits> dwm_;
};

}  // namespace strennix::win32
