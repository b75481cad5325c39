#include "eligibility/filecontrol.h"

#include "platform/winconst.h"

namespace strennix {

namespace {

// Loads a whole list or nothing. A file that exists but cannot be read is
// treated like a missing one: the list keeps its entries and the settings
// reload goes on, rather than ending the program over a locked file.
bool loadList(FilePort& files, const char* path, std::vector<std::string>& list) {
  const FileContents contents = files.readAll(path);
  if (contents.status != ReadStatus::Ok) {
    return false;
  }
  list = splitListLines(contents.bytes);
  return true;
}

}  // namespace

std::vector<std::string> splitListLines(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') {
      continue;
    }
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      ++i;
    }
    start = i + 1;
  }
  if (start < text.size()) {
    lines.emplace_back(text.substr(start));
  }
  return lines;
}

FileControl::FileControl(FilePort& files, ShellPort& shell, const Logger& log)
    : files_(files), shell_(shell), log_(log) {}

void FileControl::readClasses(bool excluding, std::vector<std::string>& excludedClasses) {
  log_.trace(kFileControlLog, "Called readClasses. (No exit)");
  if (excluding && loadList(files_, kClassesFile, excludedClasses)) {
    log_.trace(kFileControlLog, "Classes were read");
  }
}

void FileControl::readNames(bool excluding, std::vector<std::string>& excludedNames) {
  log_.trace(kFileControlLog, "Called readNames. (No exit)");
  if (excluding && loadList(files_, kNamesFile, excludedNames)) {
    log_.trace(kFileControlLog, "Names were read");
  }
}

void FileControl::editClasses() {
  shell_.shellExecute(0, "open", "notepad.exe", kClassesFile, "", win::kSwRestore);
}

void FileControl::editNames() {
  shell_.shellExecute(0, "open", "notepad.exe", kNamesFile, "", win::kSwRestore);
}

}  // namespace strennix
