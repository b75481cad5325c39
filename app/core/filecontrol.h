// The exclusion list files "classes.txt" and "files.txt": loading them and
// opening them in Notepad.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/core/log.h"
#include "platform/datafiles.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace strennix {

inline constexpr const char* kClassesFile = "classes.txt";
inline constexpr const char* kNamesFile = "files.txt";

// One entry per line: CR LF, a lone CR and a lone LF end a line, a final
// line break adds no entry, a NUL ends the text. Nothing is trimmed.
std::vector<std::string> splitListLines(std::string_view text);

// A list file's text as Notepad may save it: a UTF-8 byte-order mark is
// dropped, a UTF-16 file (with its mark) becomes ANSI text; anything else is
// taken as it is.
std::string listText(std::string_view bytes, SystemPort& system);

class FileControl {
 public:
  FileControl(const DataFiles& dataFiles, SystemPort& system, ShellPort& shell, const Logger& log);

  // Reload a list from its file in force when `excluding` is on and the file
  // exists; otherwise the list keeps what it holds.
  void readClasses(bool excluding, std::vector<std::string>& excludedClasses);
  void readNames(bool excluding, std::vector<std::string>& excludedNames);
  // Open the file in force in Notepad.
  void editClasses();
  void editNames();

 private:
  bool loadList(const char* name, std::vector<std::string>& list);
  void edit(const char* name);

  const DataFiles& dataFiles_;
  SystemPort& system_;
  ShellPort& shell_;
  ModuleLog log_;
};

}  // namespace strennix
