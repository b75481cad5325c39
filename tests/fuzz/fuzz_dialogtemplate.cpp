// Form layouts are parsed from resource bytes: any bytes parse or fail.
#include <cstddef>
#include <cstdint>

#include "platform/dialogtemplate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  (void)strennix::parseDialogTemplate(data, size);
  return 0;
}
