#include "buttonwindows/barplace.h"

#include <algorithm>
#include <limits>

namespace strennix {

namespace {

// The painted row's offsets were made for the classic frame at 96 DPI: its
// right edge clears three caption buttons of 18 pixels, and its top centres
// a 14-pixel row in the title bar. What the user adds to them moves the
// button window away from where the desktop puts those buttons.
constexpr std::int32_t kClassicCaptionButtons = 3 * 18;
constexpr std::int32_t kClassicCentredTop = 6;

std::int32_t clamped(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

std::int32_t scaledToDpi(std::int32_t length, std::uint32_t dpi) {
  const std::int64_t scaled = std::int64_t{length} * dpi;
  const std::int64_t half = scaled < 0 ? -std::int64_t{kDefaultDpi / 2} : kDefaultDpi / 2;
  return clamped((scaled + half) / std::int64_t{kDefaultDpi});
}

Rect barPlace(const FrameFacts& facts, const Settings& settings, int slots) {
  const auto scaled = [&facts](std::int32_t length) { return scaledToDpi(length, facts.dpi); };
  const std::int64_t width = std::int64_t{scaled(settings.buttonXStretch)} * slots;
  const std::int32_t height = scaled(settings.buttonYStretch);
  const std::int64_t right =
      facts.captionButtons ? std::int64_t{facts.captionButtons->left} -
                                 scaled(settings.buttonXOffset - kClassicCaptionButtons)
                           : std::int64_t{facts.window.right} - scaled(settings.buttonXOffset);
  const std::int64_t top =
      facts.titleBar ? std::int64_t{facts.titleBar->top} + (facts.titleBar->height() - height) / 2 +
                           scaled(settings.buttonYOffset - kClassicCentredTop)
                     : std::int64_t{facts.window.top} + scaled(settings.buttonYOffset);
  return Rect{clamped(right - width), clamped(top), clamped(right), clamped(top + height)};
}

}  // namespace strennix
