#include "platform/dialogtemplate.h"

namespace strennix {

namespace {

constexpr std::uint16_t kTemplateVersion = 1;
constexpr std::uint16_t kExtendedSignature = 0xFFFF;
constexpr std::uint16_t kOrdinalMarker = 0xFFFF;

// Little-endian reads that stop at the end of the data: after the first read
// past it, every later read answers zero and the reader stays failed.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size)
      : data_(data), size_(data != nullptr ? size : 0) {}

  [[nodiscard]] bool failed() const { return failed_; }

  std::uint8_t byte() {
    if (!has(1)) {
      return 0;
    }
    return data_[offset_++];
  }

  std::uint16_t word() {
    if (!has(2)) {
      return 0;
    }
    const auto value = static_cast<std::uint16_t>(data_[offset_] | (data_[offset_ + 1] << 8));
    offset_ += 2;
    return value;
  }

  std::uint32_t dword() {
    const std::uint32_t low = word();
    const std::uint32_t high = word();
    return low | (high << 16);
  }

  std::int16_t coordinate() { return static_cast<std::int16_t>(word()); }

  // A zero-terminated UTF-16 string.
  std::u16string string() {
    std::u16string text;
    for (std::uint16_t unit = word(); unit != 0 && !failed_; unit = word()) {
      text.push_back(static_cast<char16_t>(unit));
    }
    return text;
  }

  // Empty (one zero), an ordinal (0xFFFF and the number) or a string.
  TemplateName name() {
    if (!has(2)) {
      return {};
    }
    const auto first = static_cast<std::uint16_t>(data_[offset_] | (data_[offset_ + 1] << 8));
    if (first == kOrdinalMarker) {
      word();
      return TemplateName{word(), {}};
    }
    return TemplateName{std::nullopt, string()};
  }

  std::vector<std::uint8_t> bytes(std::size_t count) {
    if (!has(count)) {
      return {};
    }
    std::vector<std::uint8_t> result(data_ + offset_, data_ + offset_ + count);
    offset_ += count;
    return result;
  }

  // Items start on a 4-byte boundary of the template. Padding at the very end
  // of the data may be missing.
  void alignToDword() {
    const std::size_t aligned = (offset_ + 3) & ~static_cast<std::size_t>(3);
    offset_ = aligned <= size_ ? aligned : size_;
  }

 private:
  bool has(std::size_t count) {
    if (failed_ || count > size_ - offset_) {
      failed_ = true;
      return false;
    }
    return true;
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t offset_ = 0;
  bool failed_ = false;
};

DialogFont readFont(Reader& reader) {
  DialogFont font;
  font.pointSize = reader.word();
  font.weight = reader.word();
  font.italic = reader.byte() != 0;
  font.charset = reader.byte();
  font.face = reader.string();
  return font;
}

DialogItem readItem(Reader& reader) {
  reader.alignToDword();
  DialogItem item;
  item.helpId = reader.dword();
  item.exStyle = reader.dword();
  item.style = reader.dword();
  item.x = reader.coordinate();
  item.y = reader.coordinate();
  item.cx = reader.coordinate();
  item.cy = reader.coordinate();
  item.id = reader.dword();
  item.windowClass = reader.name();
  item.text = reader.name();
  const std::uint16_t extraCount = reader.word();
  item.creationData = reader.bytes(extraCount);
  return item;
}

}  // namespace

std::optional<DialogLayout> parseDialogTemplate(const std::uint8_t* data, std::size_t size) {
  Reader reader(data, size);
  if (reader.word() != kTemplateVersion || reader.word() != kExtendedSignature) {
    return std::nullopt;
  }
  DialogLayout layout;
  layout.helpId = reader.dword();
  layout.exStyle = reader.dword();
  layout.style = reader.dword();
  const std::uint16_t itemCount = reader.word();
  layout.x = reader.coordinate();
  layout.y = reader.coordinate();
  layout.cx = reader.coordinate();
  layout.cy = reader.coordinate();
  layout.menu = reader.name();
  layout.windowClass = reader.name();
  layout.caption = reader.string();
  if ((layout.style & kDialogSetFont) != 0) {
    layout.font = readFont(reader);
  }
  for (std::uint16_t i = 0; i < itemCount && !reader.failed(); ++i) {
    layout.items.push_back(readItem(reader));
  }
  if (reader.failed()) {
    return std::nullopt;
  }
  return layout;
}

}  // namespace strennix
