// WindowPort on USER32: the top-level windows of every program.
#pragma once

#include "platform/windows.h"

namespace strennix::win32 {

class Win32WindowPort final : public WindowPort {
 public:
  Hwnd foregroundWindow() override;
  Hwnd desktopWindow() override;
  bool isWindow(Hwnd window) override;
  Rect windowRect(Hwnd window) override;
  std::uint32_t windowLong(Hwnd window, int index) override;
  void setWindowLong(Hwnd window, int index, std::uint32_t value) override;
  std::string className(Hwnd window, int bufferSize) override;
  std::string windowText(Hwnd window, int bufferSize) override;
  Hwnd owner(Hwnd window) override;
  ProcessId windowProcessId(Hwnd window) override;
  bool moveWindow(Hwnd window, int x, int y, int width, int height, bool repaint) override;
  bool setWindowPos(Hwnd window, std::int32_t insertAfter, int x, int y, int cx, int cy,
                    std::uint32_t flags) override;
  bool showWindow(Hwnd window, int command) override;
  bool isVisible(Hwnd window) override;
  bool isHung(Hwnd window) override;
  bool setForegroundWindow(Hwnd window) override;
  void allowForeground(ProcessId process) override;
  void enumWindows(const std::function<bool(Hwnd)>& visit) override;
  Monitor monitorOf(Hwnd window) override;
  Monitor monitorAt(Point point) override;
  Point cursorPos() override;
  std::optional<std::uint32_t> sendMessageTimeout(Hwnd window, std::uint32_t message,
                                                  std::uint32_t wParam, std::int32_t lParam,
                                                  std::uint32_t flags,
                                                  std::uint32_t timeoutMs) override;
  std::uint32_t classLong(Hwnd window, int index) override;
  Hwnd findWindow(const std::string& className, const std::string& caption) override;
  bool postMessage(Hwnd window, std::uint32_t message, std::uint32_t wParam,
                   std::int32_t lParam) override;
};

}  // namespace strennix::win32
