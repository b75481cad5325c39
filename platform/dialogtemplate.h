// Reads an extended dialog template (the binary form of a DIALOGEX
// resource). The forms are laid out in such resources, with their
// coordinates taken as pixels rather than dialog units, and built into
// windows by the back end. The reader is portable and checks every length
// against the data, so a damaged resource gives nothing instead of a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace strennix {

// A menu, window class or control text of a template: either a 16-bit
// ordinal (a predefined class atom, a resource number) or a string.
struct TemplateName {
  std::optional<std::uint16_t> ordinal;
  std::u16string text;
  bool operator==(const TemplateName&) const = default;
};

// Atoms of the predefined control classes in a template.
inline constexpr std::uint16_t kButtonAtom = 0x0080;
inline constexpr std::uint16_t kEditAtom = 0x0081;
inline constexpr std::uint16_t kStaticAtom = 0x0082;
inline constexpr std::uint16_t kListBoxAtom = 0x0083;
inline constexpr std::uint16_t kScrollBarAtom = 0x0084;
inline constexpr std::uint16_t kComboBoxAtom = 0x0085;

// DS_SETFONT: the template carries a font.
inline constexpr std::uint32_t kDialogSetFont = 0x00000040;

struct DialogFont {
  std::uint16_t pointSize = 0;
  std::uint16_t weight = 0;
  bool italic = false;
  std::uint8_t charset = 0;
  std::u16string face;
  bool operator==(const DialogFont&) const = default;
};

struct DialogItem {
  std::uint32_t helpId = 0;
  std::uint32_t exStyle = 0;
  std::uint32_t style = 0;
  std::int16_t x = 0;
  std::int16_t y = 0;
  std::int16_t cx = 0;
  std::int16_t cy = 0;
  std::uint32_t id = 0;
  TemplateName windowClass;
  TemplateName text;
  std::vector<std::uint8_t> creationData;
};

struct DialogLayout {
  std::uint32_t helpId = 0;
  std::uint32_t exStyle = 0;
  std::uint32_t style = 0;
  std::int16_t x = 0;
  std::int16_t y = 0;
  std::int16_t cx = 0;
  std::int16_t cy = 0;
  TemplateName menu;
  TemplateName windowClass;
  std::u16string caption;
  std::optional<DialogFont> font;
  // In template order, which is the tab order.
  std::vector<DialogItem> items;
};

// Nothing when the data is not a complete extended template (version 1,
// signature 0xFFFF) or any part of it runs past `size`.
std::optional<DialogLayout> parseDialogTemplate(const std::uint8_t* data, std::size_t size);

}  // namespace strennix
