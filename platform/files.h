// Files relative to the current directory: log files, list files, language
// files.
#pragma once

#include <string>
#include <string_view>

namespace strennix {

enum class ReadStatus { Ok, Missing, Unreadable };

struct FileContents {
  ReadStatus status = ReadStatus::Missing;
  std::string bytes;
};

class FilePort {
 public:
  virtual ~FilePort() = default;

  virtual bool exists(const std::string& path) = 0;
  virtual FileContents readAll(const std::string& path) = 0;
  // Opens the file for appending ("a"), writes the text, closes it.
  virtual bool append(const std::string& path, std::string_view text) = 0;
};

}  // namespace strennix
