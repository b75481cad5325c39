#include "hook/programfolder.h"

namespace strennix {

std::string besideProgram(const std::string& programPath, const char* name) {
  const auto slash = programPath.rfind('\\');
  return slash == std::string::npos ? std::string() : programPath.substr(0, slash + 1) + name;
}

}  // namespace strennix
