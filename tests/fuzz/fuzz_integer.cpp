// Integer settings are hand-edited registry text: any text converts or
// raises the conversion error, and a converted number reads back the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/forms.h"
#include "settings/integer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    const std::int32_t value = strennix::strToInt(text);
    if (strennix::strToInt(std::to_string(value)) != value) {
      __builtin_trap();
    }
  } catch (const strennix::StrennixError& error) {
    // The message is C text: it ends at the first NUL of the offending text.
    const std::string expected = "'" + text + "' is not a valid integer value";
    if (std::string(error.what()) != expected.c_str()) {
      __builtin_trap();
    }
  }
  return 0;
}
