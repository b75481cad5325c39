#include "platform/sim/simfileport.h"

namespace strennix::sim {

bool SimFilePort::exists(const std::string& path) {
  return world_.files.contains(path) || world_.unreadableFiles.contains(path);
}

FileContents SimFilePort::readAll(const std::string& path) {
  if (world_.unreadableFiles.contains(path)) {
    return FileContents{ReadStatus::Unreadable, {}};
  }
  const auto found = world_.files.find(path);
  if (found == world_.files.end()) {
    return FileContents{ReadStatus::Missing, {}};
  }
  return FileContents{ReadStatus::Ok, found->second};
}

bool SimFilePort::append(const std::string& path, std::string_view text) {
  if (world_.unreadableFiles.contains(path)) {
    return false;
  }
  world_.files[path].append(text);
  return true;
}

}  // namespace strennix::sim
