// The program's own folder: the helper and the hook libraries are taken from
// there by full path, never through the search path, where a file of the
// same name planted in the working directory or on PATH could stand; and the
// helper serves only a process started from its own folder. Shared by the
// program and the helper; no Windows types, so the unit tests run it on the
// host.
#pragma once

#include <string>
#include <string_view>

namespace strennix {

// `name` in the folder of `programPath`; empty when the path names no
// folder, so that nothing is looked up by bare name.
inline std::string besideProgram(std::string_view programPath, std::string_view name) {
  const auto slash = programPath.rfind('\\');
  if (slash == std::string_view::npos) {
    return {};
  }
  std::string path(programPath.substr(0, slash + 1));
  path += name;
  return path;
}

// Whether the two paths name files in the same folder. Letters compare
// without case, as the file system does; a path without a backslash has no
// folder and matches none.
inline bool inSameFolder(std::string_view path, std::string_view otherPath) {
  const auto slash = path.rfind('\\');
  if (slash == std::string_view::npos || otherPath.rfind('\\') != slash) {
    return false;
  }
  const auto folded = [](char letter) {
    return letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter;
  };
  for (std::size_t i = 0; i < slash; ++i) {
    if (folded(path[i]) != folded(otherPath[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace strennix
