// Performance data comes from other software through the registry: any
// answer is walked without reading outside it.
#include <cstddef>
#include <cstdint>
#include <span>

#include "eligibility/perfdata.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 8) {
    return 0;
  }
  std::uint32_t index = 0;
  std::uint32_t process = 0;
  for (int i = 0; i < 4; ++i) {
    index |= static_cast<std::uint32_t>(data[i]) << (8 * i);
    process |= static_cast<std::uint32_t>(data[4 + i]) << (8 * i);
  }
  const std::span<const std::uint8_t> rest(data + 8, size - 8);
  (void)strennix::perf::processInstanceName(rest, index, process);
  (void)strennix::perf::counterIndex(rest, "Process");
  (void)strennix::perf::counterIndex(rest, "ID Process");
  return 0;
}
