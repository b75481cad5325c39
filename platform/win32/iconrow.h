// Icons drawn with a flicker-free background brush, put on the screen as one
// blit per row. Such a DrawIconEx call paints an opaque rectangle (the brush,
// then the icon) that depends only on the icon, its size, the brush colour and
// the device's pixel format, never on what was there before. So a row of them
// can be composed once in a memory bitmap, by the very same DrawIconEx calls,
// and copied to every window with one BitBlt: the same pixels for a fraction
// of the work, which counts because the title-bar buttons go to every window
// on every timer tick. Calls that do not fit are drawn at once, as they come.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/handle.h"

namespace strennix::win32 {

class IconRowPainter;

// A memory device context, deleted with DeleteDC.
struct MemoryDcTraits {
  using Value = HDC;
  using Owner = IconRowPainter;
  static bool valid(const Value& value) { return value != nullptr; }
  static void release(Owner& /*owner*/, const Value& value) noexcept { DeleteDC(value); }
};

// A bitmap, deleted with DeleteObject once no device context holds it.
struct BitmapTraits {
  using Value = HBITMAP;
  using Owner = IconRowPainter;
  static bool valid(const Value& value) { return value != nullptr; }
  static void release(Owner& /*owner*/, const Value& value) noexcept { DeleteObject(value); }
};

// One DrawIconEx call of a row; x is relative to the row's left edge in a
// composed row, and the device context's own while the call is pending.
struct RowIcon {
  int x = 0;
  HICON icon = nullptr;
  int width = 0;
  UINT step = 0;
  UINT flags = 0;
  bool operator==(const RowIcon&) const = default;
};

// What decides every pixel of a row.
struct RowKey {
  std::vector<RowIcon> icons;
  int height = 0;
  COLORREF background = 0;
  int bitsPerPixel = 0;
  bool operator==(const RowKey&) const = default;
};

class IconRowPainter {
 public:
  IconRowPainter() = default;
  IconRowPainter(const IconRowPainter&) = delete;
  IconRowPainter& operator=(const IconRowPainter&) = delete;

  // DrawIconEx, or a promise to have drawn it by the time the device context
  // is released or the brush deleted. Calls with the same device context,
  // solid brush, y and height that follow each other make one row.
  bool draw(HDC dc, int x, int y, HICON icon, int width, int height, UINT step, HBRUSH brush,
            UINT flags);
  // Draws what is pending; before the device context or the brush goes.
  void flushDc(HDC dc);
  void flushBrush(HBRUSH brush);

 private:
  struct Row {
    RowKey key;
    int width = 0;
    UniqueHandle<BitmapTraits> bitmap;
    UniqueHandle<MemoryDcTraits> dc;  // after the bitmap: deleted before it
  };

  void flush();
  [[nodiscard]] bool joinsPending(HDC dc, int y, int height, HBRUSH brush) const;
  const Row* findRow(const RowKey& key);
  const Row* composeRow(RowKey key, int width);
  void drawPendingOneByOne();

  // The calls waiting for their row.
  HDC dc_ = nullptr;
  HBRUSH brush_ = nullptr;
  COLORREF background_ = 0;
  int y_ = 0;
  int height_ = 0;
  std::vector<RowIcon> pending_;
  // Recently used rows, the latest first: one per state of the top button.
  std::vector<Row> rows_;
};

}  // namespace strennix::win32
