// FilePort on the C runtime's files.
#pragma once

#include "platform/files.h"

namespace strennix::win32 {

class Win32FilePort final : public FilePort {
 public:
  bool exists(const std::string& path) override;
  FileContents readAll(const std::string& path) override;
  bool append(const std::string& path, std::string_view text) override;
};

}  // namespace strennix::win32
