// Tag strings are hand-edited registry text: any text gives some mask.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "settings/tags.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::uint32_t styles = strennix::styleMask(text);
  const std::uint32_t exStyles = strennix::exStyleMask(text);
  if (!strennix::hasTag(text, "<") && (styles != 0 || exStyles != 0)) {
    __builtin_trap();  // a mask can only come from a tag
  }
  return 0;
}
