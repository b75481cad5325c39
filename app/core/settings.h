// The settings record: what the running program works from. Filled from the
// registry by the settings loader; nothing else writes it (the tray menu's
// caption double click switches menuStay for the run).
#pragma once

#include <cstdint>

namespace strennix {

struct Settings {
  bool usingVMax = false;
  bool usingHMax = false;
  bool usingShade = false;
  bool usingMinIcon = false;
  bool usingMinMenu = false;
  bool usingTop = false;
  std::int32_t numberOfButtons = 0;
  std::int32_t priority = 0;
  std::int32_t buttonXOffset = 0;
  std::int32_t buttonYOffset = 0;
  std::int32_t buttonXStretch = 0;
  std::int32_t buttonYStretch = 0;
  bool drawOnAll = false;
  std::uint32_t excludeStyles = 0;
  std::uint32_t excludeExStyles = 0;
  bool excludingClasses = false;
  bool excludingNames = false;
  bool menuStay = false;
  bool menuSort = false;
  std::int32_t vMaxPercentage = 100;
  std::int32_t hMaxPercentage = 100;
};

}  // namespace strennix
