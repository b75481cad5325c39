#include "platform/win32/iconrow.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace strennix::win32 {

namespace {

// Enough for the two states of the top button and a settings change.
constexpr std::size_t kRowsKept = 4;
// Larger rows (absurd button sizes) are not worth a bitmap.
constexpr int kMaxRowPixels = 1 << 20;

std::optional<COLORREF> solidColor(HBRUSH brush) {
  LOGBRUSH logBrush{};
  if (brush == nullptr || GetObjectA(brush, sizeof logBrush, &logBrush) != sizeof logBrush ||
      logBrush.lbStyle != BS_SOLID) {
    return std::nullopt;
  }
  return logBrush.lbColor;
}

// The calls cover [left, right) without a gap, so that a blit of the whole
// row writes no pixel that the calls would have left alone.
bool coverWithoutGaps(std::vector<RowIcon> icons, int& left, int& right) {
  std::sort(icons.begin(), icons.end(),
            [](const RowIcon& a, const RowIcon& b) { return a.x < b.x; });
  left = icons.front().x;
  right = left;
  for (const RowIcon& icon : icons) {
    if (icon.x > right) {
      return false;
    }
    right = std::max(right, icon.x + icon.width);
  }
  return true;
}

}  // namespace

bool IconRowPainter::draw(HDC dc, int x, int y, HICON icon, int width, int height, UINT step,
                          HBRUSH brush, UINT flags) {
  if (!joinsPending(dc, y, height, brush)) {
    flush();
  }
  if (pending_.empty()) {
    // Without a solid brush, or at the icon's own size, the picture depends
    // on more than the call: draw it as it comes.
    const auto background = solidColor(brush);
    if (!background || width <= 0 || height <= 0) {
      return DrawIconEx(dc, x, y, icon, width, height, step, brush, flags) != FALSE;
    }
    dc_ = dc;
    brush_ = brush;
    background_ = *background;
    y_ = y;
    height_ = height;
  }
  pending_.push_back(RowIcon{x, icon, width, step, flags});
  return true;
}

bool IconRowPainter::joinsPending(HDC dc, int y, int height, HBRUSH brush) const {
  return !pending_.empty() && dc == dc_ && brush == brush_ && y == y_ && height == height_;
}

void IconRowPainter::flushDc(HDC dc) {
  if (!pending_.empty() && dc == dc_) {
    flush();
  }
}

void IconRowPainter::flushBrush(HBRUSH brush) {
  if (!pending_.empty() && brush == brush_) {
    flush();
  }
}

void IconRowPainter::flush() {
  if (pending_.empty()) {
    return;
  }
  int left = 0;
  int right = 0;
  if (!coverWithoutGaps(pending_, left, right) ||
      static_cast<long long>(right - left) * height_ > kMaxRowPixels) {
    drawPendingOneByOne();
    return;
  }
  RowKey key{pending_, height_, background_, GetDeviceCaps(dc_, BITSPIXEL)};
  for (RowIcon& icon : key.icons) {
    icon.x -= left;
  }
  const Row* row = findRow(key);
  if (row == nullptr) {
    row = composeRow(std::move(key), right - left);
  }
  if (row == nullptr) {
    drawPendingOneByOne();
    return;
  }
  BitBlt(dc_, left, y_, row->width, height_, row->dc.get(), 0, 0, SRCCOPY);
  pending_.clear();
}

const IconRowPainter::Row* IconRowPainter::findRow(const RowKey& key) {
  const auto found =
      std::find_if(rows_.begin(), rows_.end(), [&key](const Row& row) { return row.key == key; });
  if (found == rows_.end()) {
    return nullptr;
  }
  std::rotate(rows_.begin(), found, found + 1);
  return &rows_.front();
}

// The row is drawn by the same DrawIconEx calls into a bitmap of the window's
// format. Nothing is kept when one of them fails: drawn one by one, a failed
// call leaves its pixels alone, which a blit could not.
const IconRowPainter::Row* IconRowPainter::composeRow(RowKey key, int width) {
  Row row;
  row.width = width;
  row.bitmap = UniqueHandle<BitmapTraits>(*this, CreateCompatibleBitmap(dc_, width, height_));
  row.dc = UniqueHandle<MemoryDcTraits>(*this, CreateCompatibleDC(dc_));
  if (!row.bitmap || !row.dc || SelectObject(row.dc.get(), row.bitmap.get()) == nullptr) {
    return nullptr;
  }
  for (const RowIcon& icon : key.icons) {
    if (DrawIconEx(row.dc.get(), icon.x, 0, icon.icon, icon.width, height_, icon.step, brush_,
                   icon.flags) == FALSE) {
      return nullptr;
    }
  }
  row.key = std::move(key);
  if (rows_.size() == kRowsKept) {
    rows_.pop_back();
  }
  rows_.insert(rows_.begin(), std::move(row));
  return &rows_.front();
}

void IconRowPainter::drawPendingOneByOne() {
  for (const RowIcon& icon : pending_) {
    DrawIconEx(dc_, icon.x, y_, icon.icon, icon.width, height_, icon.step, brush_, icon.flags);
  }
  pending_.clear();
}

}  // namespace strennix::win32
