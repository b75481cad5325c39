// The helper's command line, which any program can start it with:
// "<process id> <end signal>", both decimal, the second the handle of an
// event the helper inherited from strennix.exe. No Windows types, so the
// unit tests run it on the host.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace strennix {

struct HelperArguments {
  std::uint32_t process = 0;
  std::uint32_t endSignal = 0;
};

// Digits only, at most 32 bits, not 0.
inline std::optional<std::uint32_t> positiveDecimal(std::string_view text) {
  constexpr std::uint64_t kBase = 10;
  if (text.empty()) {
    return std::nullopt;
  }
  std::uint64_t value = 0;
  for (const char digit : text) {
    if (digit < '0' || digit > '9') {
      return std::nullopt;
    }
    value = value * kBase + static_cast<std::uint64_t>(digit - '0');
    if (value > UINT32_MAX) {
      return std::nullopt;
    }
  }
  if (value == 0) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

// The two numbers after the helper's own name, or nothing.
inline std::optional<HelperArguments> helperArguments(int argc, const char* const* argv) {
  if (argc != 3) {
    return std::nullopt;
  }
  const auto process = positiveDecimal(argv[1]);
  const auto endSignal = positiveDecimal(argv[2]);
  if (!process || !endSignal) {
    return std::nullopt;
  }
  return HelperArguments{*process, *endSignal};
}

}  // namespace strennix
