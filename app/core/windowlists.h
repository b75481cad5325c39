// The windows the program has changed and must be able to give back: hidden
// into the tray menu, hidden behind a tray icon, shaded, stretched.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
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
  Hwnd hwnd{};
  std::string title;
};

struct TrayedWindow {
  Hwnd hwnd{};
  bool free = true;
};

struct ShadedWindow {
  Hwnd hwnd{};
  std::int32_t height = 0;
};

struct StretchedWindow {
  Hwnd hwnd{};
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

// Position (1..count) of the first entry of `window` in a positional list;
// 0 when it has none.
template <class Entry, std::size_t N>
std::int32_t positionOf(const std::array<Entry, N>& list, std::int32_t count, Hwnd window) {
  for (std::int32_t position = 1; position <= count; ++position) {
    if (list[static_cast<std::size_t>(position)].hwnd == window) {
      return position;
    }
  }
  return 0;
}

// Removes the entry at `position` of a positional list: the later entries
// move down one place (order kept) and the count drops by one. The vacated
// last place is cleared so that no stale handle is found there later.
template <class Entry, std::size_t N>
void removePosition(std::array<Entry, N>& list, std::int32_t& count, std::int32_t position) {
  if (position < 1 || position > count) {
    return;
  }
  const auto first = list.begin() + position;
  std::move(first + 1, list.begin() + count + 1, first);
  list[static_cast<std::size_t>(count)] = Entry{};
  --count;
}

// The lowest-numbered free tray slot; -1 when all are taken.
inline int lowestFreeSlot(const std::array<TrayedWindow, kTraySlots>& slots) {
  const auto found =
      std::find_if(slots.begin(), slots.end(), [](const TrayedWindow& slot) { return slot.free; });
  return found == slots.end() ? -1 : static_cast<int>(found - slots.begin());
}

// Whether the window is hidden behind a tray icon or in the tray menu: such a
// window is never hidden a second time.
inline bool isHiddenWindow(const WindowLists& lists, Hwnd window) {
  const auto& slots = lists.trayedWindows;
  return positionOf(lists.minimizedWindows, lists.numberOfMinimizedWindows, window) != 0 ||
         std::any_of(slots.begin(), slots.end(), [window](const TrayedWindow& slot) {
           return !slot.free && slot.hwnd == window;
         });
}

// The first stretch record of `window`; nullptr when it has none.
inline StretchedWindow* findStretchRecord(std::vector<StretchedWindow>& list, Hwnd window) {
  const auto found = std::find_if(list.begin(), list.end(),
                                  [window](const StretchedWindow& r) { return r.hwnd == window; });
  return found == list.end() ? nullptr : &*found;
}

// Removes the first stretch record of `window`: the last record takes its
// place (order not kept). Answers whether there was one.
inline bool removeStretchRecord(std::vector<StretchedWindow>& list, Hwnd window) {
  StretchedWindow* record = findStretchRecord(list, window);
  if (record == nullptr) {
    return false;
  }
  *record = list.back();
  list.pop_back();
  return true;
}

}  // namespace strennix
