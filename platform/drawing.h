// Painting into another window's non-client area.
#pragma once

#include <cstdint>

#include "platform/handle.h"
#include "platform/types.h"

namespace strennix {

class DrawingPort;

// A device context from GetWindowDC: released with ReleaseDC(window, dc).
struct WindowDc {
  Hwnd window{};
  std::uint32_t dc = 0;
};

struct WindowDcTraits {
  using Value = WindowDc;
  using Owner = DrawingPort;
  static bool valid(const Value& value) { return value.dc != 0; }
  static void release(Owner& owner, const Value& value) noexcept;
};

// A GDI brush: released with DeleteObject.
struct BrushTraits {
  using Value = std::uint32_t;
  using Owner = DrawingPort;
  static bool valid(const Value& value) { return value != 0; }
  static void release(Owner& owner, const Value& value) noexcept;
};

using WindowDcHandle = UniqueHandle<WindowDcTraits>;
using BrushHandle = UniqueHandle<BrushTraits>;

class DrawingPort {
 public:
  virtual ~DrawingPort() = default;

  virtual WindowDcHandle windowDc(Hwnd window) = 0;
  virtual BrushHandle solidBrush(ColorRef color) = 0;
  virtual bool drawIconEx(const WindowDc& dc, int x, int y, IconHandle icon, int width, int height,
                          std::uint32_t step, std::uint32_t brush, std::uint32_t flags) = 0;
  // A sunken two-pixel frame around the rectangle (window coordinates): the
  // look of a button held down.
  virtual void drawSunkenEdge(const WindowDc& dc, const Rect& rect) = 0;

  virtual void releaseWindowDc(const WindowDc& dc) noexcept = 0;
  virtual void deleteObject(std::uint32_t object) noexcept = 0;
};

inline void WindowDcTraits::release(Owner& owner, const Value& value) noexcept {
  owner.releaseWindowDc(value);
}

inline void BrushTraits::release(Owner& owner, const Value& value) noexcept {
  owner.deleteObject(value);
}

}  // namespace strennix
