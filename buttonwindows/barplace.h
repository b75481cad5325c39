// Where a button window goes over its window's title bar: left of the
// system's caption buttons where their place is known, else where the
// painted row would be; vertically centred in the title bar where that is
// known. Sizes and offsets are the settings' 96-DPI ones, scaled to the
// window's DPI.
#pragma once

#include <cstdint>
#include <optional>

#include "app/core/settings.h"
#include "platform/types.h"
#include "platform/windowframe.h"

namespace strennix {

// What the desktop tells of a window's frame (screen coordinates).
struct FrameFacts {
  Rect window;
  std::optional<Rect> captionButtons;
  std::optional<Rect> titleBar;
  std::uint32_t dpi = kDefaultDpi;
  bool operator==(const FrameFacts&) const = default;
};

// A 96-DPI length at `dpi`, rounded to the nearest pixel.
std::int32_t scaledToDpi(std::int32_t length, std::uint32_t dpi);

// The button window of a row of `slots` buttons.
Rect barPlace(const FrameFacts& facts, const Settings& settings, int slots);

}  // namespace strennix
