// Value types shared by every module. Handles are as wide as the platform's
// pointers, compared as plain numbers; 0 means "none".
#pragma once

#include <cstdint>

namespace strennix {

using Hwnd = std::uintptr_t;
using IconHandle = std::uintptr_t;
using ModuleHandle = std::uintptr_t;
using HookHandle = std::uintptr_t;
using ProcAddress = std::uintptr_t;
using ProcessId = std::uint32_t;
using ColorRef = std::uint32_t;

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const Point&) const = default;
};

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  [[nodiscard]] std::int32_t width() const { return right - left; }
  [[nodiscard]] std::int32_t height() const { return bottom - top; }
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
