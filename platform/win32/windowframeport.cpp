// WindowFramePort: composition, caption buttons, title bar, cloaking, DPI.
#include "platform/win32/windowframeport.h"

#include <algorithm>
#include <array>

#include "platform/win32/win32handles.h"

namespace strennix::win32 {

namespace {

using IsCompositionEnabledFunction = HRESULT(WINAPI*)(BOOL*);
using GetWindowAttributeFunction = HRESULT(WINAPI*)(HWND, DWORD, void*, DWORD);
using GetTitleBarInfoFunction = BOOL(WINAPI*)(HWND, TITLEBARINFO*);
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

constexpr DWORD kCaptionButtonBounds = 5;  // DWMWA_CAPTION_BUTTON_BOUNDS
constexpr DWORD kCloaked = 14;             // DWMWA_CLOAKED
// Long enough for a program that answers, short enough not to be felt.
constexpr UINT kTitleBarInfoTimeoutMs = 20;
// The caption buttons in TITLEBARINFOEX: minimize, maximize, help, close.
constexpr std::array kCaptionButtonIndexes = {2, 3, 4, 5};

Rect fromRect(const RECT& rect) { return Rect{rect.left, rect.top, rect.right, rect.bottom}; }

bool isEmpty(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

Rect joined(const Rect& a, const Rect& b) {
  return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

template <class Function>
Function entryPoint(HMODULE module, const char* name) {
  return module == nullptr
             ? nullptr
             : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// WM_GETTITLEBARINFOEX (Vista and later) gives each visible caption button;
// a window that hangs or does not answer gives nothing.
std::optional<Rect> captionButtonsFromTitleBarInfo(HWND window) {
  TITLEBARINFOEX info{};
  info.cbSize = sizeof(info);
  DWORD_PTR answer = 0;
  if (SendMessageTimeoutA(window, WM_GETTITLEBARINFOEX, 0, reinterpret_cast<LPARAM>(&info),
                          SMTO_ABORTIFHUNG | SMTO_BLOCK, kTitleBarInfoTimeoutMs, &answer) == 0) {
    return std::nullopt;
  }
  std::optional<Rect> group;
  for (const int index : kCaptionButtonIndexes) {
    const RECT& button = info.rgrect[index];
    const DWORD state = info.rgstate[index];
    if (isEmpty(button) || (state & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) != 0) {
      continue;
    }
    group = group ? joined(*group, fromRect(button)) : fromRect(button);
  }
  return group;
}

// The screen's device context, released with ReleaseDC.
struct ScreenDcTraits {
  using Value = HDC;
  using Owner = Win32WindowFrames;
  static bool valid(const Value& value) { return value != nullptr; }
  static void release(Owner& /*owner*/, const Value& value) noexcept { ReleaseDC(nullptr, value); }
};

}  // namespace

Win32WindowFrames::Win32WindowFrames() : dwm_(*this, LoadLibraryA("dwmapi.dll")) {}

bool Win32WindowFrames::windowAttribute(Hwnd window, DWORD attribute, void* value, DWORD size) {
  const auto get = entryPoint<GetWindowAttributeFunction>(dwm_.get(), "DwmGetWindowAttribute");
  return get != nullptr && SUCCEEDED(get(toHwnd(window), attribute, value, size));
}

bool Win32WindowFrames::composed() {
  const auto isEnabled =
      entryPoint<IsCompositionEnabledFunction>(dwm_.get(), "DwmIsCompositionEnabled");
  BOOL enabled = FALSE;
  return isEnabled != nullptr && SUCCEEDED(isEnabled(&enabled)) && enabled != FALSE;
}

// DWMWA_CAPTION_BUTTON_BOUNDS is relative to the window's rectangle.
std::optional<Rect> Win32WindowFrames::captionButtons(Hwnd window) {
  RECT bounds{};
  RECT frame{};
  if (windowAttribute(window, kCaptionButtonBounds, &bounds, sizeof(bounds)) && !isEmpty(bounds) &&
      GetWindowRect(toHwnd(window), &frame) != FALSE) {
    return Rect{frame.left + bounds.left, frame.top + bounds.top, frame.left + bounds.right,
                frame.top + bounds.bottom};
  }
  return captionButtonsFromTitleBarInfo(toHwnd(window));
}

std::optional<Rect> Win32WindowFrames::titleBar(Hwnd window) {
  const auto get = user32EntryPoint<GetTitleBarInfoFunction>("GetTitleBarInfo");
  TITLEBARINFO info{};
  info.cbSize = sizeof(info);
  if (get == nullptr || get(toHwnd(window), &info) == FALSE || isEmpty(info.rcTitleBar)) {
    return std::nullopt;
  }
  return fromRect(info.rcTitleBar);
}

bool Win32WindowFrames::cloaked(Hwnd window) {
  DWORD cloak = 0;
  return windowAttribute(window, kCloaked, &cloak, sizeof(cloak)) && cloak != 0;
}

std::uint32_t Win32WindowFrames::dpi(Hwnd window) {
  const auto get = user32EntryPoint<GetDpiForWindowFunction>("GetDpiForWindow");
  const UINT dpi = get == nullptr ? 0 : get(toHwnd(window));
  return dpi != 0 ? dpi : systemDpi();
}

std::uint32_t Win32WindowFrames::systemDpi() {
  const UniqueHandle<ScreenDcTraits> screen(*this, GetDC(nullptr));
  const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? static_cast<std::uint32_t>(dpi) : kDefaultDpi;
}

}  // namespace strennix::win32
