// The buttons' sizes and offsets at a window's DPI. The settings hold them
// as at 96 DPI; the painted row, the rows the hook libraries read and the
// button windows all take them from here, so the ways of showing the buttons
// never disagree on a window's scale.
#pragma once

#include <cstdint>

#include "app/core/settings.h"
#include "platform/windowframe.h"

namespace strennix {

struct ButtonGeometry {
  // The row's right edge lies this far left of the window's right edge.
  std::int32_t xOffset = 0;
  // The row's top lies this far below the window's top.
  std::int32_t yOffset = 0;
  std::int32_t slotWidth = 0;
  std::int32_t height = 0;
  bool operator==(const ButtonGeometry&) const = default;
};

// A 96-DPI length at `dpi`, rounded to the nearest pixel (halves away from
// zero) and kept within the 32-bit range.
std::int32_t scaledToDpi(std::int32_t length, std::uint32_t dpi);

ButtonGeometry buttonGeometry(const Settings& settings, std::uint32_t dpi);

}  // namespace strennix
