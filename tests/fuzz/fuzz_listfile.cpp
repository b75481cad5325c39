// List files are whatever the user saved in Notepad.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/core/filecontrol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::size_t total = 0;
  for (const auto& line : strennix::splitListLines(text)) {
    if (line.find_first_of("\r\n") != std::string_view::npos ||
        line.find('\0') != std::string::npos) {
      __builtin_trap();  // line ends and the NUL never reach an entry
    }
    total += line.size();
  }
  if (total > size) {
    __builtin_trap();
  }
  return 0;
}
