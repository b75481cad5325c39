// Builds the bytes of an extended dialog template, for the tests of the
// template reader and of the layouts the simulated desktop reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace strennix::testsupport {

// Writes template bytes the way the resource compiler lays them out.
class TemplateBytes {
 public:
  TemplateBytes& word(std::uint16_t value) {
    bytes_.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
    return *this;
  }
  TemplateBytes& dword(std::uint32_t value) {
    word(static_cast<std::uint16_t>(value & 0xFFFF));
    return word(static_cast<std::uint16_t>(value >> 16));
  }
  TemplateBytes& byte(std::uint8_t value) {
    bytes_.push_back(value);
    return *this;
  }
  TemplateBytes& string(const std::u16string& text) {
    for (const char16_t unit : text) {
      word(static_cast<std::uint16_t>(unit));
    }
    return word(0);
  }
  TemplateBytes& ordinal(std::uint16_t value) { return word(0xFFFF).word(value); }
  TemplateBytes& align() {
    while (bytes_.size() % 4 != 0) {
      bytes_.push_back(0);
    }
    return *this;
  }
  TemplateBytes& header(std::uint32_t style, std::uint16_t items, std::int16_t x, std::int16_t y,
                        std::int16_t cx, std::int16_t cy) {
    word(1).word(0xFFFF).dword(0).dword(0x00000088).dword(style).word(items);
    return word(static_cast<std::uint16_t>(x))
        .word(static_cast<std::uint16_t>(y))
        .word(static_cast<std::uint16_t>(cx))
        .word(static_cast<std::uint16_t>(cy));
  }
  TemplateBytes& item(std::uint32_t exStyle, std::uint32_t style, std::int16_t x, std::int16_t y,
                      std::int16_t cx, std::int16_t cy, std::uint32_t id) {
    align().dword(0).dword(exStyle).dword(style);
    word(static_cast<std::uint16_t>(x)).word(static_cast<std::uint16_t>(y));
    word(static_cast<std::uint16_t>(cx)).word(static_cast<std::uint16_t>(cy));
    return dword(id);
  }
  [[nodiscard]] const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace strennix::testsupport
