#include "settings/integer.h"

#include <cstddef>
#include <optional>
#include <string_view>

#include "platform/forms.h"

namespace strennix {

namespace {

constexpr std::uint64_t kInt32Max = 0x7FFFFFFF;
constexpr std::uint64_t kUInt32Max = 0xFFFFFFFF;

std::optional<unsigned> digitValue(char c, unsigned base) {
  unsigned value = 0;
  if (c >= '0' && c <= '9') {
    value = static_cast<unsigned>(c - '0');
  } else if (c >= 'a' && c <= 'f') {
    value = static_cast<unsigned>(c - 'a') + 10;
  } else if (c >= 'A' && c <= 'F') {
    value = static_cast<unsigned>(c - 'A') + 10;
  } else {
    return std::nullopt;
  }
  if (value >= base) {
    return std::nullopt;
  }
  return value;
}

// Strips a hexadecimal prefix; answers the base of what remains.
unsigned takeBase(std::string_view& rest) {
  if (rest.starts_with('$')) {
    rest.remove_prefix(1);
    return 16;
  }
  if (rest.starts_with("0x") || rest.starts_with("0X")) {
    rest.remove_prefix(2);
    return 16;
  }
  return 10;
}

// The magnitude of a run of digits, or nothing once it passes `limit`.
std::optional<std::uint64_t> magnitude(std::string_view digits, unsigned base,
                                       std::uint64_t limit) {
  if (digits.empty()) {
    return std::nullopt;
  }
  std::uint64_t value = 0;
  for (char c : digits) {
    const std::optional<unsigned> digit = digitValue(c, base);
    if (!digit) {
      return std::nullopt;
    }
    value = value * base + *digit;
    if (value > limit) {
      return std::nullopt;
    }
  }
  return value;
}

std::optional<std::int32_t> parse(std::string_view rest) {
  while (rest.starts_with(' ')) {
    rest.remove_prefix(1);
  }
  bool negative = false;
  if (rest.starts_with('-') || rest.starts_with('+')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  const unsigned base = takeBase(rest);
  // A positive hexadecimal value may use all 32 bits; anything negative, and
  // any decimal value, must fit the signed range.
  const std::uint64_t limit = negative ? kInt32Max + 1 : (base == 16 ? kUInt32Max : kInt32Max);
  const std::optional<std::uint64_t> value = magnitude(rest, base, limit);
  if (!value) {
    return std::nullopt;
  }
  const auto bits = static_cast<std::uint32_t>(negative ? (0 - *value) : *value);
  return static_cast<std::int32_t>(bits);
}

}  // namespace

std::int32_t strToInt(const std::string& text) {
  const std::optional<std::int32_t> value = parse(text);
  if (!value) {
    throw StrennixError("'" + text + "' is not a valid integer value");
  }
  return *value;
}

}  // namespace strennix
