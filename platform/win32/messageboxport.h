// MessageBoxPort on USER32's message boxes.
#pragma once

#include "platform/messagebox.h"

namespace strennix::win32 {

class Win32MessageBoxPort final : public MessageBoxPort {
 public:
  int messageBox(Hwnd owner, const std::string& text, const std::string& caption,
                 std::uint32_t flags) override;
};

}  // namespace strennix::win32
