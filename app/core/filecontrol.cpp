#include "app/core/filecontrol.h"

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

}  // namespace

std::vector<std::string> splitListLines(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  const std::vector<std::string_view> lines = splitLines(text);
  return {lines.begin(), lines.end()};
}

std::string listText(std::string_view bytes, SystemPort& system) {
  if (bytes.starts_with(kUtf8Mark)) {
    return std::string(bytes.substr(kUtf8Mark.size()));
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
