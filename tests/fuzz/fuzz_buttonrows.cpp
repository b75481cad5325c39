// The shared button rows are memory any program of the user can write: the
// hook libraries' reader takes any bytes there without reading outside the
// table, without a loop that follows a value, and in a few microseconds.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "hook/dll/rowreader.h"

namespace {

using strennix::hookprotocol::ButtonRowTable;

std::int32_t word(const std::uint8_t* data, std::size_t at) {
  std::uint32_t value = 0;
  std::memcpy(&value, data + at, sizeof(value));
  return static_cast<std::int32_t>(value);
}

// One press as the hook tests it: the window's row, then the hit test.
int hitTest(const volatile ButtonRowTable& table, const std::uint8_t* point) {
  strennix::rowreader::Row row;
  if (!strennix::rowreader::readRow(table, static_cast<std::uint32_t>(word(point, 0)), row)) {
    return -1;
  }
  return strennix::rowreader::slotOf(row, word(point, 4), word(point, 8), word(point, 12),
                                     word(point, 16));
}

std::chrono::nanoseconds timed(const volatile ButtonRowTable& table, const std::uint8_t* point) {
  const auto start = std::chrono::steady_clock::now();
  const int slot = hitTest(table, point);
  const auto took = std::chrono::steady_clock::now() - start;
  if (slot < -1 || slot >= strennix::hookprotocol::kMaxSlots) {
    __builtin_trap();
  }
  return took;
}

}  // namespace

// The first 20 bytes: the window, its rectangle's right and top, the point;
// the rest is the map, cut or padded with zeros to the table's size.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kPoint = 20;
  if (size < kPoint) {
    return 0;
  }
  // Exactly the table's size on the heap, so that a read past it is caught.
  auto table = std::make_unique<ButtonRowTable>();
  std::memcpy(table.get(), data + kPoint, std::min(size - kPoint, sizeof(ButtonRowTable)));
  (void)strennix::rowreader::publisherOf(*table);
  // A slow run may be the machine's; only one slow three times over fails.
  constexpr std::chrono::milliseconds kLimit{1};
  const auto fastest = std::min({timed(*table, data), timed(*table, data), timed(*table, data)});
  if (fastest > kLimit) {
    __builtin_trap();
  }
  return 0;
}
