// The exclusion list files "classes.txt" and "files.txt": loading them and
// opening them in Notepad.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/core/log.h"
#include "platform/files.h"
#include "platform/shell.h"

namespace strennix {

inline constexpr const char* kClassesFile = "classes.txt";
inline constexpr const char* kNamesFile = "files.txt";

// One entry per line: CR LF, a lone CR and a lone LF end a line, a final
// line break adds no entry, a NUL ends the text. Nothing is trimmed.
std::vector<std::string> splitListLines(std::string_view text);

class FileControl {
 public:
  FileControl(FilePort& files, ShellPort& shell, const Logger& log);

  // Reload a list from its file when `excluding` is on and the file exists;
  // otherwise the list keeps what it holds.
  void readClasses(bool excluding, std::vector<std::string>& excludedClasses);
  void readNames(bool excluding, std::vector<std::string>& excludedNames);
  void editClasses();
  void editNames();

 private:
  FilePort& files_;
  ShellPort& shell_;
  ModuleLog log_;
};

}  // namespace strennix
