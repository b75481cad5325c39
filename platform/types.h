// Value types shared by every module.
#pragma once

#include <algorithm>
#include <concepts>
#include <cstdint>
#include <limits>

namespace strennix {

// Pixels per inch where nothing is scaled: the settings' button sizes and
// the form layouts are given at it.
inline constexpr std::uint32_t kDefaultDpi = 96;

// Handles are of the platform's width, and each kind is a type of its own,
// so that one kind passed for another does not compile. The value-initialised
// handle ({}, 0) means "none".
enum class Hwnd : std::uintptr_t {};
enum class IconHandle : std::uintptr_t {};
enum class ModuleHandle : std::uintptr_t {};
enum class HookHandle : std::uintptr_t {};
enum class ProcAddress : std::uintptr_t {};

using ProcessId = std::uint32_t;
using ColorRef = std::uint32_t;

// Window, icon and hook handles have 32 significant bits on 64-bit Windows
// too: that is how the logs, the journal, the published button rows and the
// private messages carry them.
template <class Handle>
concept ThirtyTwoBitHandle = std::same_as<Handle, Hwnd> || std::same_as<Handle, IconHandle> ||
    std::same_as<Handle, HookHandle>;

template <ThirtyTwoBitHandle Handle>
constexpr std::uint32_t handleBits(Handle handle) {
  return static_cast<std::uint32_t>(handle);
}

// Sign-extended, as 64-bit Windows widens a handle that comes from 32 bits.
template <ThirtyTwoBitHandle Handle>
constexpr Handle handleOfBits(std::uint32_t bits) {
  return static_cast<Handle>(static_cast<std::intptr_t>(static_cast<std::int32_t>(bits)));
}

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const Point&) const = default;
};

// `to - from`, held within the 32-bit range.
constexpr std::int32_t clampedSpan(std::int32_t from, std::int32_t to) {
  const std::int64_t span = std::int64_t{to} - from;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      span, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  // Computed wide and clamped: a rectangle read from outside may span more
  // than 32 bits.
  [[nodiscard]] std::int32_t width() const { return clampedSpan(left, right); }
  [[nodiscard]] std::int32_t height() const { return clampedSpan(top, bottom); }
  // They share at least one pixel.
  [[nodiscard]] bool overlaps(const Rect& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
  }
  bool operator==(const Rect&) const = default;
};

// Local calendar time, enough to render a ctime-style stamp.
struct DateTime {
  int year = 1970;
  int month = 1;    // 1..12
  int day = 1;      // 1..31
  int weekday = 4;  // 0 = Sunday
  int hour = 0;
  int minute = 0;
  int second = 0;
};

}  // namespace strennix
