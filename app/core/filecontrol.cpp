#include "app/core/filecontrol.h"

#include "app/core/textlines.h"
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
  const std::vector<std::string_view> lines = splitLines(text);
  return {lines.begin(), lines.end()};
}

FileControl::FileControl(FilePort& files, ShellPort& shell, const Logger& log)
    : files_(files), shell_(shell), log_(log, kFileControlLog) {}

void FileControl::readClasses(bool excluding, std::vector<std::string>& excludedClasses) {
  log_.trace("Called readClasses. (No exit)");
  if (excluding && loadList(files_, kClassesFile, excludedClasses)) {
    log_.trace("Classes were read");
  }
}

void FileControl::readNames(bool excluding, std::vector<std::string>& excludedNames) {
  log_.trace("Called readNames. (No exit)");
  if (excluding && loadList(files_, kNamesFile, excludedNames)) {
    log_.trace("Names were read");
  }
}

void FileControl::editClasses() {
  shell_.shellExecute(0, "open", "notepad.exe", kClassesFile, "", win::kSwRestore);
}

void FileControl::editNames() {
  shell_.shellExecute(0, "open", "notepad.exe", kNamesFile, "", win::kSwRestore);
}

}  // namespace strennix
