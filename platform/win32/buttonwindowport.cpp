// ButtonWindowPort: the button windows and what they report.
#include "platform/win32/buttonwindowport.h"

#include <cstdint>
#include <cstring>

#include "platform/win32/win32handles.h"

namespace strennix::win32 {

namespace {

constexpr const char* kClassName = "StrennixButtonWindow";

using UpdateLayeredWindowFunction = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                                  BLENDFUNCTION*, DWORD);
using TrackMouseEventFunction = BOOL(WINAPI*)(TRACKMOUSEEVENT*);

// A memory device context and the bitmap selected into it for one picture.
struct MemoryDcTraits {
  using Value = HDC;
  using Owner = Win32ButtonWindows;
  static bool valid(const Value& value) { return value != nullptr; }
  static void release(Owner& /*owner*/, const Value& value) noexcept { DeleteDC(value); }
};
struct DibTraits {
  using Value = HBITMAP;
  using Owner = Win32ButtonWindows;
  static bool valid(const Value& value) { return value != nullptr; }
  static void release(Owner& /*owner*/, const Value& value) noexcept { DeleteObject(value); }
};

HWND notifyOf(HWND bar) { return fromInteger<HWND>(GetWindowLongPtrA(bar, GWLP_USERDATA)); }

void report(HWND bar, UINT message, LPARAM point) {
  PostMessageA(notifyOf(bar), message, reinterpret_cast<WPARAM>(bar), point);
}

// The leave report comes once per request, so it is asked for at each move.
void askForLeave(HWND bar) {
  const auto track = user32EntryPoint<TrackMouseEventFunction>("TrackMouseEvent");
  if (track == nullptr) {
    return;
  }
  TRACKMOUSEEVENT request{};
  request.cbSize = sizeof(request);
  request.dwFlags = TME_LEAVE;
  request.hwndTrack = bar;
  track(&request);
}

// A press keeps the mouse until its release, so that the release is
// reported wherever it happens; losing the mouse ends the press outside.
LRESULT CALLBACK barProcedure(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
      SetCapture(bar);
      report(bar, kStrnxBarPress, lParam);
      return 0;
    case WM_LBUTTONUP:
      report(bar, kStrnxBarRelease, lParam);
      ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      report(bar, kStrnxBarRelease, packPoint(Point{-1, -1}));
      return 0;
    case WM_MOUSEMOVE:
      askForLeave(bar);
      report(bar, kStrnxBarMove, lParam);
      return 0;
    case WM_MOUSELEAVE:
      report(bar, kStrnxBarLeave, 0);
      return 0;
    default:
      return DefWindowProcA(bar, message, wParam, lParam);
  }
}

// One slot: the icon scaled to it on the button face, raised while the mouse
// is over it, sunken while it is held.
void drawSlot(HDC dc, const RECT& slot, IconHandle icon, bool hovered, bool pressed) {
  FillRect(dc, &slot, GetSysColorBrush(COLOR_BTNFACE));
  DrawIconEx(dc, slot.left, slot.top, toRaw<HICON>(icon), slot.right - slot.left,
             slot.bottom - slot.top, 0, nullptr, DI_NORMAL);
  RECT edge = slot;
  if (pressed) {
    DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
  } else if (hovered) {
    DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
  }
}

}  // namespace

void ButtonWindowClassTraits::release(Owner& /*owner*/, const Value& value) noexcept {
  UnregisterClassA(fromInteger<LPCSTR>(static_cast<std::uintptr_t>(value)), moduleInstance());
}

bool Win32ButtonWindows::available() {
  return user32EntryPoint<UpdateLayeredWindowFunction>("UpdateLayeredWindow") != nullptr;
}

ButtonWindow Win32ButtonWindows::create(Hwnd notify) {
  if (!available()) {
    return {};
  }
  if (!windowClass_) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = barProcedure;
    windowClass.hInstance = moduleInstance();
    windowClass.hCursor = LoadCursorA(nullptr, fromInteger<LPCSTR>(std::uintptr_t{32512}));
    windowClass.lpszClassName = kClassName;
    windowClass_ = UniqueHandle<ButtonWindowClassTraits>(*this, RegisterClassA(&windowClass));
  }
  // Owned by no window of another program: sharing its input queue, a hung
  // program would hold this one up.
  HWND bar = CreateWindowExA(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName, "",
                             WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, moduleInstance(), nullptr);
  if (bar == nullptr) {
    return {};
  }
  SetWindowLongPtrA(bar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(toHwnd(notify)));
  return {*this, fromHwnd(bar)};
}

void Win32ButtonWindows::place(Hwnd bar, const Rect& place, Hwnd target, bool topmost) {
  const HWND window = toHwnd(bar);
  const bool isTopmost = (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  constexpr UINT kFlags = SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS;
  if (isTopmost != topmost) {
    SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 kFlags | SWP_NOMOVE | SWP_NOSIZE);
  }
  // Behind the window in front of the target: right above the target.
  HWND above = GetWindow(toHwnd(target), GW_HWNDPREV);
  const bool aboveIsTopmost =
      above != nullptr && (GetWindowLongA(above, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  if (above == nullptr || (aboveIsTopmost && !topmost)) {
    above = topmost ? HWND_TOPMOST : HWND_TOP;
  }
  const UINT order = above == window ? SWP_NOZORDER : 0;
  SetWindowPos(window, above == window ? nullptr : above, place.left, place.top, place.width(),
               place.height(), kFlags | order);
}

bool Win32ButtonWindows::isJustAbove(Hwnd bar, Hwnd target) {
  return GetWindow(toHwnd(target), GW_HWNDPREV) == toHwnd(bar);
}

void Win32ButtonWindows::show(Hwnd bar, bool visible) {
  ShowWindow(toHwnd(bar), visible ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void Win32ButtonWindows::paint(Hwnd bar, const ButtonPicture& picture) {
  const auto update = user32EntryPoint<UpdateLayeredWindowFunction>("UpdateLayeredWindow");
  const int slots = static_cast<int>(picture.icons.size());
  const int width = picture.slotWidth * slots;
  if (update == nullptr || width <= 0 || picture.height <= 0) {
    return;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -picture.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const UniqueHandle<DibTraits> bitmap(
      *this, CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const UniqueHandle<MemoryDcTraits> dc(*this, CreateCompatibleDC(nullptr));
  if (!bitmap || !dc || bits == nullptr) {
    return;
  }
  const HGDIOBJ previous = SelectObject(dc.get(), bitmap.get());
  for (int slot = 0; slot < slots; ++slot) {
    const int left = width - (slot + 1) * picture.slotWidth;
    const RECT rect{left, 0, left + picture.slotWidth, picture.height};
    drawSlot(dc.get(), rect, picture.icons[static_cast<std::size_t>(slot)],
             slot == picture.hoverSlot, slot == picture.pressedSlot);
  }
  GdiFlush();
  // GDI leaves the alpha bytes at zero: the picture is opaque throughout.
  auto* pixels = static_cast<std::uint32_t*>(bits);
  const std::size_t count =
      static_cast<std::size_t>(width) * static_cast<std::size_t>(picture.height);
  for (std::size_t i = 0; i < count; ++i) {
    pixels[i] |= 0xFF000000U;
  }
  SIZE size{width, picture.height};
  POINT origin{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  update(toHwnd(bar), nullptr, nullptr, &size, dc.get(), &origin, 0, &blend, ULW_ALPHA);
  SelectObject(dc.get(), previous);
}

void Win32ButtonWindows::destroyButtonWindow(Hwnd bar) noexcept { DestroyWindow(toHwnd(bar)); }

}  // namespace strennix::win32
