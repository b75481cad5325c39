// The shell: notification-area icons and starting documents and programs.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

namespace strennix {

// The fields of NOTIFYICONDATAA that the program fills (record size 88, the
// Windows 95 layout). The tip holds at most 63 characters.
struct NotifyIconData {
  std::uint32_t size = 88;
  Hwnd owner{};
  std::uint32_t id = 0;
  std::uint32_t flags = 0;
  std::uint32_t callbackMessage = 0;
  IconHandle icon{};
  std::string tip;
};

class ShellPort {
 public:
  virtual ~ShellPort() = default;

  virtual bool notifyIcon(std::uint32_t operation, const NotifyIconData& data) = 0;
  virtual void shellExecute(Hwnd owner, const std::string& verb, const std::string& file,
                            const std::string& parameters, const std::string& directory,
                            int show) = 0;
};

}  // namespace strennix
