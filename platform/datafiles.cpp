#include "platform/datafiles.h"

namespace strennix {

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

DataFiles::DataFiles(FilePort& files, SystemPort& system) : files_(files), system_(system) {}

std::string DataFiles::pathOf(const std::string& name) const {
  if (files_.exists(name)) {
    return name;
  }
  const std::string folder = folderOf(system_.executablePath());
  if (!folder.empty() && files_.exists(folder + name)) {
    return folder + name;
  }
  return name;
}

FileContents DataFiles::read(const std::string& name) const { return files_.readAll(pathOf(name)); }

}  // namespace strennix
