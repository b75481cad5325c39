// UiPort on USER32 and COMCTL32: the forms built from the DIALOGEX layouts in
// the executable's resources, timers, icons and the message loop. The ports
// of the controls reach the forms' windows through it.
#pragma once

#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <string>

#include "platform/handle.h"
#include "platform/messagebox.h"
#include "platform/system.h"
#include "platform/ui.h"

namespace strennix::win32 {

class Win32UiPort;
class Win32WindowFrames;
struct FormWindow;

// An icon loaded from the executable, destroyed with DestroyIcon.
struct LoadedIconTraits {
  using Value = IconHandle;
  using Owner = Win32UiPort;
  static bool valid(const Value& value) { return value != IconHandle{}; }
  static void release(Owner& owner, const Value& value) noexcept;
};

// A registered window class (its atom), unregistered with UnregisterClassA.
struct WindowClassTraits {
  using Value = std::uint16_t;
  using Owner = Win32UiPort;
  static bool valid(const Value& value) { return value != 0; }
  static void release(Owner& owner, const Value& value) noexcept;
};

class Win32UiPort final : public UiPort {
 public:
  // A form whose controls cannot be made says so in a box.
  Win32UiPort(SystemPort& system, MessageBoxPort& boxes, Win32WindowFrames& frames);
  ~Win32UiPort() override;
  Win32UiPort(const Win32UiPort&) = delete;
  Win32UiPort& operator=(const Win32UiPort&) = delete;

  Hwnd createForm(int layoutId, FormEvents& events) override;
  void destroyForm(Hwnd form) override;
  void setTimer(Hwnd form, std::uint32_t timerId, std::uint32_t intervalMs) override;
  void killTimer(Hwnd form, std::uint32_t timerId) override;
  IconHandle loadIcon(int resourceId) override;
  std::uint32_t registerWindowMessage(const std::string& name) override;
  // Rethrows, after the loop has ended, an exception that escaped a form's
  // event: it cannot travel through the system's window-procedure frames.
  void runMessageLoop() override;
  void quitMessageLoop() override;

  // For the window procedure: keeps the first exception that escaped an
  // event and ends the message loop.
  void keepEscapedException(std::exception_ptr error);
  // For the window procedure, before a form is first shown: makes its
  // controls, or shows the error box and answers false.
  bool buildControlsOf(FormWindow& form);
  // For the form builder: the forms grow with the system's DPI.
  std::uint32_t systemDpi();

  // For the ports of the controls: the form of a form window, or null.
  FormWindow* formWindow(Hwnd form);
  // A form whose controls are not made yet, or null.
  FormWindow* unbuiltForm(Hwnd form);
  // The window of a control, making its form's controls first if need be.
  Hwnd controlWindow(FormControl control);

 private:
  // The form a window belongs to (the form itself or one of its controls).
  FormWindow* formOf(Hwnd window);
  void rethrowEscapedException();
  // Loads and registers the common controls (track bar, tooltip) before the
  // first form is built: comctl32 6 and its theming are a good part of a
  // start, and a hidden start needs neither. False when they are missing.
  bool loadCommonControls();
  std::uint16_t registerFormClass(const std::string& className);

  SystemPort& system_;
  MessageBoxPort& boxes_;
  Win32WindowFrames& frames_;
  // Declared before the forms, so that no class goes before its windows.
  std::map<std::string, UniqueHandle<WindowClassTraits>> windowClasses_;
  std::map<int, UniqueHandle<LoadedIconTraits>> icons_;
  // Declared before the forms: the library goes after their controls.
  Module commonControls_;
  std::map<Hwnd, std::unique_ptr<FormWindow>> forms_;
  std::exception_ptr escapedException_;
};

}  // namespace strennix::win32
