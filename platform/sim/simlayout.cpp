#include "platform/sim/simlayout.h"

#include <optional>

#include "platform/dialogtemplate.h"
#include "platform/sim/simtext.h"

namespace strennix::sim {

extern const std::uint8_t kLayoutResources[];
extern const std::size_t kLayoutResourcesSize;

namespace {

constexpr std::uint16_t kDialogType = 5;  // RT_DIALOG
constexpr std::uint16_t kOrdinalMark = 0xFFFF;
constexpr std::uint32_t kWsDisabled = 0x08000000;
constexpr std::uint32_t kLbsSort = 0x0002;
// Data size and header size come before the type and the name.
constexpr std::size_t kNamesOffset = 8;

std::uint32_t readWord(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0] | (at[1] << 8));
}

std::uint32_t readDword(const std::uint8_t* at) { return readWord(at) | (readWord(at + 2) << 16); }

// A resource type or name given as a number; nothing for a string.
std::optional<std::uint16_t> ordinalAt(const std::uint8_t* at, const std::uint8_t* end) {
  if (end - at < 4 || readWord(at) != kOrdinalMark) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(readWord(at + 2));
}

bool isListBox(const TemplateName& windowClass) {
  return windowClass.ordinal ? *windowClass.ordinal == kListBoxAtom
                             : sameText(latin1(windowClass.text), "ListBox");
}

std::vector<LayoutControl> controlsOf(const DialogLayout& layout) {
  std::vector<LayoutControl> controls;
  for (const DialogItem& item : layout.items) {
    controls.push_back(LayoutControl{static_cast<int>(item.id), latin1(item.text.text),
                                     (item.style & kWsDisabled) == 0,
                                     isListBox(item.windowClass) && (item.style & kLbsSort) != 0});
  }
  return controls;
}

}  // namespace

Layouts parseLayouts(const std::uint8_t* data, std::size_t size) {
  Layouts layouts;
  const std::uint8_t* const end = data + size;
  const std::uint8_t* entry = data;
  while (entry != nullptr && end - entry >= static_cast<std::ptrdiff_t>(kNamesOffset + 8)) {
    const std::size_t dataSize = readDword(entry);
    const std::size_t headerSize = readDword(entry + 4);
    if (headerSize < kNamesOffset || static_cast<std::size_t>(end - entry) < headerSize ||
        static_cast<std::size_t>(end - entry) - headerSize < dataSize) {
      break;
    }
    const auto type = ordinalAt(entry + kNamesOffset, end);
    const auto name = ordinalAt(entry + kNamesOffset + 4, end);
    if (type == kDialogType && name) {
      if (const auto layout = parseDialogTemplate(entry + headerSize, dataSize)) {
        layouts[*name] = controlsOf(*layout);
      }
    }
    // Entries start on four-byte boundaries.
    const std::size_t next = (headerSize + dataSize + 3) & ~std::size_t{3};
    entry = next < static_cast<std::size_t>(end - entry) ? entry + next : nullptr;
  }
  return layouts;
}

const Layouts& programLayouts() {
  static const Layouts layouts = parseLayouts(kLayoutResources, kLayoutResourcesSize);
  return layouts;
}

}  // namespace strennix::sim
