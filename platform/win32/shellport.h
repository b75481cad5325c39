// ShellPort on SHELL32: notification icons and starting documents.
#pragma once

#include "platform/shell.h"

namespace strennix::win32 {

class Win32ShellPort final : public ShellPort {
 public:
  bool notifyIcon(std::uint32_t operation, const NotifyIconData& data) override;
  void shellExecute(Hwnd owner, const std::string& verb, const std::string& file,
                    const std::string& parameters, const std::string& directory, int show) override;
};

}  // namespace strennix::win32
