#include "app/core/filecontrol.h"

#include <array>
#include <optional>

#include "app/core/textlines.h"
#include "platform/winconst.h"

namespace strennix {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

// Notepad's parameters are one file name; a path with blanks is quoted.
std::string notepadParameter(const std::string& path) {
  return path.find(' ') == std::string::npos ? path : '"' + path + '"';
}

// The code units of a UTF-16 text in the given byte order; an odd last byte
// is dropped.
std::u16string utf16Units(std::string_view bytes, bool bigEndian) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    units.push_back(
        static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
  }
  return units;
}

// The length of a UTF-8 sequence by its lead byte, 0 for a byte that cannot
// lead one.
std::size_t sequenceLength(unsigned char lead) {
  if (lead < 0x80) {
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    return 2;
  }
  if (lead >= 0xE0 && lead <= 0xEF) {
    return 3;
  }
  return lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
}

// The code point of the sequence at bytes[at..at+length), or nothing when it
// is cut short, overlong, a surrogate or beyond Unicode.
std::optional<char32_t> codePoint(std::string_view bytes, std::size_t at, std::size_t length) {
  constexpr std::array<char32_t, 5> kSmallest = {0, 0, 0x80, 0x800, 0x10000};
  if (length == 0 || at + length > bytes.size()) {
    return std::nullopt;
  }
  const auto lead = static_cast<unsigned char>(bytes[at]);
  char32_t value = length == 1 ? lead : lead & (0x7FU >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(bytes[at + i]);
    if ((next & 0xC0U) != 0x80U) {
      return std::nullopt;
    }
    value = (value << 6) | (next & 0x3FU);
  }
  if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return std::nullopt;
  }
  return value;
}

// UTF-8 as UTF-16; a byte that starts no valid sequence becomes U+FFFD, which
// the code page shows as a question mark, and the rest is still read.
std::u16string utf16FromUtf8(std::string_view bytes) {
  std::u16string units;
  units.reserve(bytes.size());
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t length = sequenceLength(static_cast<unsigned char>(bytes[at]));
    const std::optional<char32_t> value = codePoint(bytes, at, length);
    if (!value) {
      units.push_back(u'\uFFFD');
      ++at;
      continue;
    }
    at += length;
    if (*value < 0x10000) {
      units.push_back(static_cast<char16_t>(*value));
      continue;
    }
    const char32_t above = *value - 0x10000;
    units.push_back(static_cast<char16_t>(0xD800 + (above >> 10)));
    units.push_back(static_cast<char16_t>(0xDC00 + (above & 0x3FF)));
  }
  return units;
}

}  // namespace

std::vector<std::string> splitListLines(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  const std::vector<std::string_view> lines = splitLines(text);
  return {lines.begin(), lines.end()};
}

std::string listText(std::string_view bytes, SystemPort& system) {
  // Entries are matched against the ANSI names the system reports, so a
  // list saved as UTF-8 is converted to the ANSI code page.
  if (bytes.starts_with(kUtf8Mark)) {
    return system.ansiFromUtf16(utf16FromUtf8(bytes.substr(kUtf8Mark.size())));
  }
  if (bytes.starts_with(kUtf16LeMark)) {
    return system.ansiFromUtf16(utf16Units(bytes.substr(kUtf16LeMark.size()), false));
  }
  if (bytes.starts_with(kUtf16BeMark)) {
    return system.ansiFromUtf16(utf16Units(bytes.substr(kUtf16BeMark.size()), true));
  }
  return std::string(bytes);
}

FileControl::FileControl(const DataFiles& dataFiles, SystemPort& system, ShellPort& shell,
                         const Logger& log)
    : dataFiles_(dataFiles), system_(system), shell_(shell), log_(log, kFileControlLog) {}

// Loads a whole list or nothing. A file that exists but cannot be read is
// treated like a missing one: the list keeps its entries and the settings
// reload goes on, rather than ending the program over a locked file.
bool FileControl::loadList(const char* name, std::vector<std::string>& list) {
  const FileContents contents = dataFiles_.read(name);
  if (contents.status != ReadStatus::Ok) {
    return false;
  }
  list = splitListLines(listText(contents.bytes, system_));
  return true;
}

void FileControl::edit(const char* name) {
  shell_.shellExecute(Hwnd{}, "open", "notepad.exe", notepadParameter(dataFiles_.pathOf(name)), "",
                      win::kSwRestore);
}

void FileControl::readClasses(bool excluding, std::vector<std::string>& excludedClasses) {
  log_.trace("Called readClasses. (No exit)");
  if (excluding && loadList(kClassesFile, excludedClasses)) {
    log_.trace("Classes were read");
  }
}

void FileControl::readNames(bool excluding, std::vector<std::string>& excludedNames) {
  log_.trace("Called readNames. (No exit)");
  if (excluding && loadList(kNamesFile, excludedNames)) {
    log_.trace("Names were read");
  }
}

void FileControl::editClasses() { edit(kClassesFile); }

void FileControl::editNames() { edit(kNamesFile); }

}  // namespace strennix
