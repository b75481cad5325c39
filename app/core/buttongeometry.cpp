#include "app/core/buttongeometry.h"

#include <algorithm>
#include <limits>

namespace strennix {

std::int32_t scaledToDpi(std::int32_t length, std::uint32_t dpi) {
  const std::int64_t scaled = std::int64_t{length} * dpi;
  const std::int64_t half = scaled < 0 ? -std::int64_t{kDefaultDpi / 2} : kDefaultDpi / 2;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      (scaled + half) / std::int64_t{kDefaultDpi}, std::numeric_limits<std::int32_t>::min(),
      std::numeric_limits<std::int32_t>::max()));
}

ButtonGeometry buttonGeometry(const Settings& settings, std::uint32_t dpi) {
  return ButtonGeometry{
      scaledToDpi(settings.buttonXOffset, dpi), scaledToDpi(settings.buttonYOffset, dpi),
      scaledToDpi(settings.buttonXStretch, dpi), scaledToDpi(settings.buttonYStretch, dpi)};
}

}  // namespace strennix
