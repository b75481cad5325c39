// The windows the program has changed and must be able to give back: hidden
// into the tray menu, hidden behind a tray icon, shaded, stretched.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace strennix {

inline constexpr int kMaxMenuWindows = 45;
inline constexpr int kMaxTrayedWindows = 4;
inline constexpr int kMaxShadedWindows = 45;
inline constexpr int kTraySlots = 20;

struct MinimizedWindow {
  Hwnd hwnd = 0;
  std::string title;
};

struct TrayedWindow {
  Hwnd hwnd = 0;
  bool free = true;
};

struct ShadedWindow {
  Hwnd hwnd = 0;
  std::int32_t height = 0;
};

struct StretchedWindow {
  Hwnd hwnd = 0;
  std::int32_t savedSize = 0;
};

// Plain data, as the main form holds it. Positions 1..count of the two
// fixed arrays are used; position 0 never is.
struct WindowLists {
  std::array<MinimizedWindow, 50> minimizedWindows{};
  std::int32_t numberOfMinimizedWindows = 0;
  std::array<TrayedWindow, kTraySlots> trayedWindows{};
  std::int32_t numberOfTrayedWindows = 0;
  std::array<ShadedWindow, 50> shadedWindows{};
  std::int32_t numberOfShadedWindows = 0;
  std::vector<StretchedWindow> vStretchedWindows;
  std::vector<StretchedWindow> hStretchedWindows;

  [[nodiscard]] std::int32_t numberOfVStretchedWindows() const {
    return static_cast<std::int32_t>(vStretchedWindows.size());
  }
  [[nodiscard]] std::int32_t numberOfHStretchedWindows() const {
    return static_cast<std::int32_t>(hStretchedWindows.size());
  }
};

}  // namespace strennix
