// The small form layer: an application object with a message loop, forms
// built from resource layouts, a timer control and the program's exception
// type with its error box. Written on the ports, so it runs on either back
// end.
#pragma once

#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>

#include "platform/hookprotocol.h"
#include "platform/messagebox.h"
#include "platform/ui.h"

namespace strennix {

inline constexpr const char* kApplicationTitle = hookprotocol::kMainCaption;

// Errors that the user is told about in the error box.
class StrennixError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The error box's text: a full stop is added when the message ends in a
// letter or digit.
std::string errorBoxText(const std::string& message);
// Stop icon, caption "Strennix", the message.
void showErrorBox(MessageBoxPort& boxes, const std::string& message);

class Form : public FormEvents {
 public:
  Form(UiPort& ui, MessageBoxPort& boxes, int layoutId);
  ~Form() override;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  [[nodiscard]] Hwnd handle() const { return handle_; }
  [[nodiscard]] FormControl control(int controlId) const { return {handle_, controlId}; }
  void show();
  void hide();
  [[nodiscard]] bool visible() const;

  // Each event runs its handler; an error raised there is shown in the error
  // box and the program goes on.
  bool onMessage(std::uint32_t message, std::uint32_t wParam, std::int32_t lParam,
                 std::int32_t& result) final;
  void onCommand(int controlId, int notifyCode) final;
  void onTimer(std::uint32_t timerId) final;
  void onClose() final;
  void onKeyUp(int controlId, int key) final;

 protected:
  virtual bool handleMessage(std::uint32_t /*message*/, std::uint32_t /*wParam*/,
                             std::int32_t /*lParam*/, std::int32_t& /*result*/) {
    return false;
  }
  virtual void handleCommand(int /*controlId*/, int /*notifyCode*/) {}
  virtual void handleTimer(std::uint32_t /*timerId*/) {}
  virtual void handleClose() {}
  virtual void handleKeyUp(int /*controlId*/, int /*key*/) {}

  UiPort& ui_;
  MessageBoxPort& boxes_;

 private:
  template <class Handler>
  void guarded(Handler&& handler);

  Hwnd handle_{};
};

class Timer {
 public:
  Timer(UiPort& ui, const Form& owner, std::uint32_t timerId);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  [[nodiscard]] std::uint32_t id() const { return id_; }
  [[nodiscard]] std::uint32_t interval() const { return interval_; }
  [[nodiscard]] bool enabled() const { return enabled_; }
  // Changing the interval of a running timer restarts it with the new one.
  void setInterval(std::uint32_t intervalMs);
  void setEnabled(bool enabled);

 private:
  void apply();

  UiPort& ui_;
  const Form& owner_;
  std::uint32_t id_;
  std::uint32_t interval_ = 1000;
  bool enabled_ = false;
};

class Application {
 public:
  Application(UiPort& ui, MessageBoxPort& boxes);

  std::string title = kApplicationTitle;
  bool showMainForm = true;

  // Shows the main form when asked to, then runs the message loop until
  // terminate().
  void run(Form& mainForm);
  void terminate();
  void showException(const std::exception& error);

 private:
  UiPort& ui_;
  MessageBoxPort& boxes_;
};

}  // namespace strennix
