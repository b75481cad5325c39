// List files are whatever the user saved in Notepad.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/core/filecontrol.h"
#include "platform/sim/simdesktop.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  strennix::sim::SimDesktop desktop;
  const std::string text =
      strennix::listText(std::string_view(reinterpret_cast<const char*>(data), size), desktop);
  if (text.size() > size) {
    __builtin_trap();  // neither a mark nor UTF-16 makes the text longer
  }
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
