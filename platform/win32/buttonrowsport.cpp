// ButtonRowsPort: the rows published in shared memory for the hook libraries.
#include "platform/win32/sharedbuttonrows.h"
#include "platform/win32/win32desktop.h"

namespace strennix::win32 {

bool Win32Desktop::claim(Hwnd mainWindow) { return buttonRows_->claim(mainWindow); }

bool Win32Desktop::publish(const ButtonRow& row) { return buttonRows_->publish(row); }

void Win32Desktop::withdraw(Hwnd window) { buttonRows_->withdraw(window); }

std::optional<ButtonRow> Win32Desktop::published(Hwnd window) const {
  return buttonRows_->published(window);
}

std::vector<Hwnd> Win32Desktop::publishedWindows() const { return buttonRows_->publishedWindows(); }

}  // namespace strennix::win32
