#include "platform/win32/buttonrowsport.h"

#include "platform/win32/sharedbuttonrows.h"

namespace strennix::win32 {

Win32ButtonRowsPort::Win32ButtonRowsPort() : rows_(std::make_unique<SharedButtonRows>()) {}

Win32ButtonRowsPort::~Win32ButtonRowsPort() = default;

bool Win32ButtonRowsPort::claim(Hwnd mainWindow) { return rows_->claim(mainWindow); }

bool Win32ButtonRowsPort::publish(const ButtonRow& row) { return rows_->publish(row); }

void Win32ButtonRowsPort::withdraw(Hwnd window) { rows_->withdraw(window); }

std::optional<ButtonRow> Win32ButtonRowsPort::published(Hwnd window) const {
  return rows_->published(window);
}

std::vector<Hwnd> Win32ButtonRowsPort::publishedWindows() const {
  return rows_->publishedWindows();
}

}  // namespace strennix::win32
