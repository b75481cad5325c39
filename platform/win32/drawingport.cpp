#include "platform/win32/drawingport.h"

#include "platform/win32/iconrow.h"
#include "platform/win32/win32handles.h"

namespace strennix::win32 {

namespace {

// The form library writes system colours as 0x80000000 plus the colour
// index (0x8000000F is COLOR_BTNFACE); GDI wants the colour itself.
constexpr ColorRef kSystemColorFlag = 0x80000000;
constexpr ColorRef kSystemColorIndexMask = 0x000000FF;

COLORREF gdiColor(ColorRef color) {
  if ((color & kSystemColorFlag) != 0) {
    return GetSysColor(static_cast<int>(color & kSystemColorIndexMask));
  }
  return color;
}

}  // namespace

Win32DrawingPort::Win32DrawingPort() : iconRows_(std::make_unique<IconRowPainter>()) {}

Win32DrawingPort::~Win32DrawingPort() = default;

WindowDcHandle Win32DrawingPort::windowDc(Hwnd window) {
  const HDC dc = GetWindowDC(toHwnd(window));
  return {*this, WindowDc{window, fromHandle(dc)}};
}

BrushHandle Win32DrawingPort::solidBrush(ColorRef color) {
  return {*this, fromHandle(CreateSolidBrush(gdiColor(color)))};
}

bool Win32DrawingPort::drawIconEx(const WindowDc& dc, int x, int y, IconHandle icon, int width,
                                  int height, std::uint32_t step, std::uint32_t brush,
                                  std::uint32_t flags) {
  return iconRows_->draw(toHandle<HDC>(dc.dc), x, y, toRaw<HICON>(icon), width, height, step,
                         toHandle<HBRUSH>(brush), flags);
}

void Win32DrawingPort::drawSunkenEdge(const WindowDc& dc, const Rect& rect) {
  // The icons before it go to the screen first, or they would cover it.
  iconRows_->flushDc(toHandle<HDC>(dc.dc));
  RECT edge{rect.left, rect.top, rect.right, rect.bottom};
  DrawEdge(toHandle<HDC>(dc.dc), &edge, EDGE_SUNKEN, BF_RECT);
}

void Win32DrawingPort::releaseWindowDc(const WindowDc& dc) noexcept {
  iconRows_->flushDc(toHandle<HDC>(dc.dc));
  ReleaseDC(toHwnd(dc.window), toHandle<HDC>(dc.dc));
}

void Win32DrawingPort::deleteObject(std::uint32_t object) noexcept {
  iconRows_->flushBrush(toHandle<HBRUSH>(object));
  DeleteObject(toHandle<HGDIOBJ>(object));
}

}  // namespace strennix::win32
