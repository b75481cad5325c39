// The program's data files (the list files and the language files). The one
// in the working directory is in force; when it is not there, the one beside
// strennix.exe is, since a start from the log-on entry runs in whatever
// directory Windows chooses.
#pragma once

#include <string>

#include "platform/files.h"
#include "platform/system.h"

namespace strennix {

// The folder of a full path with its final backslash; empty without one.
std::string folderOf(const std::string& path);

class DataFiles {
 public:
  DataFiles(FilePort& files, SystemPort& system);

  // `name` (relative) when it exists in the working directory, else the
  // same name in the program's folder when it exists there, else `name`.
  [[nodiscard]] std::string pathOf(const std::string& name) const;
  [[nodiscard]] FileContents read(const std::string& name) const;

 private:
  FilePort& files_;
  SystemPort& system_;
};

}  // namespace strennix
