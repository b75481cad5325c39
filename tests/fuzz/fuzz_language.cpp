// Language files are written by translators: any content gives a text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "language/langhandler.h"
#include "platform/sim/simdesktop.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  strennix::sim::SimDesktop desktop;
  desktop.files["lang\\0x07.lang"] = std::string(reinterpret_cast<const char*>(data), size);
  const strennix::DataFiles dataFiles(desktop, desktop);
  strennix::LangHandler lang(dataFiles);
  lang.setLanguage(0x0407);
  lang.setLanguageFolder("lang");
  for (const char* key : {"Shade", "Edit...", "", "You can not add more icons to the tray."}) {
    (void)lang.translate(key);
  }
  const std::string text(reinterpret_cast<const char*>(data), size);
  (void)strennix::textBetween(text, "<begin>", "</end>");
  return 0;
}
