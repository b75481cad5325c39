#include "platform/win32/messageboxport.h"

#include "platform/win32/win32handles.h"

namespace strennix::win32 {

int Win32MessageBoxPort::messageBox(Hwnd owner, const std::string& text, const std::string& caption,
                                    std::uint32_t flags) {
  return MessageBoxA(toHwnd(owner), text.c_str(), caption.c_str(), flags);
}

}  // namespace strennix::win32
