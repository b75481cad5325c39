// DrawingPort on GDI: painting into another window's non-client area, the
// title-bar buttons of a window going to the screen as one blit.
#pragma once

#include <memory>

#include "platform/drawing.h"

namespace strennix::win32 {

class IconRowPainter;

class Win32DrawingPort final : public DrawingPort {
 public:
  Win32DrawingPort();
  ~Win32DrawingPort() override;
  Win32DrawingPort(const Win32DrawingPort&) = delete;
  Win32DrawingPort& operator=(const Win32DrawingPort&) = delete;

  WindowDcHandle windowDc(Hwnd window) override;
  BrushHandle solidBrush(ColorRef color) override;
  bool drawIconEx(const WindowDc& dc, int x, int y, IconHandle icon, int width, int height,
                  std::uint32_t step, std::uint32_t brush, std::uint32_t flags) override;
  void drawSunkenEdge(const WindowDc& dc, const Rect& rect) override;
  void releaseWindowDc(const WindowDc& dc) noexcept override;
  void deleteObject(std::uint32_t object) noexcept override;

 private:
  std::unique_ptr<IconRowPainter> iconRows_;
};

}  // namespace strennix::win32
