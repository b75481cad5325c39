// ButtonRowsPort on a named shared memory map: the rows the hook libraries
// read.
#pragma once

#include <memory>

#include "platform/buttonrows.h"

namespace strennix::win32 {

class SharedButtonRows;

class Win32ButtonRowsPort final : public ButtonRowsPort {
 public:
  Win32ButtonRowsPort();
  ~Win32ButtonRowsPort() override;
  Win32ButtonRowsPort(const Win32ButtonRowsPort&) = delete;
  Win32ButtonRowsPort& operator=(const Win32ButtonRowsPort&) = delete;

  bool claim(Hwnd mainWindow) override;
  bool publish(const ButtonRow& row) override;
  void withdraw(Hwnd window) override;
  [[nodiscard]] std::optional<ButtonRow> published(Hwnd window) const override;
  [[nodiscard]] std::vector<Hwnd> publishedWindows() const override;

 private:
  std::unique_ptr<SharedButtonRows> rows_;
};

}  // namespace strennix::win32
