// The settings record: what the running program works from. Filled from the
// registry by the settings loader; nothing else writes it (the tray menu's
// caption double click switches menuStay for the run).
#pragma once

#include <cstdint>

namespace strennix {

// How the buttons are shown: painted into the title bar, or in button
// windows over it; automatic takes windows where the desktop composes the
// frames (and would draw over anything painted there).
enum class ButtonLook : std::uint8_t { Automatic, Painted, Windows };

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
  ButtonLook buttonLook = ButtonLook::Automatic;
};

// How many of the six buttons are switched on.
inline std::int32_t buttonsOn(const Settings& settings) {
  return settings.usingVMax + settings.usingHMax + settings.usingShade + settings.usingMinIcon +
         settings.usingMinMenu + settings.usingTop;
}

}  // namespace strennix
