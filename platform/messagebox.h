#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

namespace strennix {

class MessageBoxPort {
 public:
  virtual ~MessageBoxPort() = default;
  // MessageBoxA; modal until the user answers.
  virtual int messageBox(Hwnd owner, const std::string& text, const std::string& caption,
                         std::uint32_t flags) = 0;
};

}  // namespace strennix
