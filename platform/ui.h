// What the form layer needs of the windowing system: forms built from
// resource layouts, their controls, timers and the message loop.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

namespace strennix {

// Receives what happens to one form window. Implemented by the form layer.
class FormEvents {
 public:
  virtual ~FormEvents() = default;
  // Every message of the form window before default handling. Answer true to
  // stop default handling, with `result` as the window procedure's result.
  virtual bool onMessage(std::uint32_t message, std::uint32_t wParam, std::int32_t lParam,
                         std::int32_t& result) = 0;
  // WM_COMMAND from a control: clicks (notify 0) and list double clicks (2).
  virtual void onCommand(int controlId, int notifyCode) = 0;
  virtual void onTimer(std::uint32_t timerId) = 0;
  // The close box or the system menu's Close. The window is not destroyed.
  virtual void onClose() = 0;
  // A key released on the form (controlId 0) or in one of its controls.
  virtual void onKeyUp(int controlId, int key) = 0;
};

inline constexpr int kListDoubleClick = 2;

// A control is named by its form and its ID: a back end may keep a control's
// state without a window until the form is first shown.
struct FormControl {
  Hwnd form{};
  int id = 0;
};

class UiPort {
 public:
  virtual ~UiPort() = default;

  // Creates the form window of a layout resource, hidden, with its controls.
  virtual Hwnd createForm(int layoutId, FormEvents& events) = 0;
  virtual void destroyForm(Hwnd form) = 0;

  virtual void setTimer(Hwnd form, std::uint32_t timerId, std::uint32_t intervalMs) = 0;
  virtual void killTimer(Hwnd form, std::uint32_t timerId) = 0;

  // An icon resource of the executable, valid for the whole run.
  virtual IconHandle loadIcon(int resourceId) = 0;
  virtual std::uint32_t registerWindowMessage(const std::string& name) = 0;

  virtual void runMessageLoop() = 0;
  virtual void quitMessageLoop() = 0;
};

}  // namespace strennix
