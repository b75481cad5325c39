#include "platform/forms.h"

#include <cctype>

#include "platform/winconst.h"

namespace strennix {

std::string errorBoxText(const std::string& message) {
  if (!message.empty() && std::isalnum(static_cast<unsigned char>(message.back())) != 0) {
    return message + ".";
  }
  return message;
}

void showErrorBox(MessageBoxPort& boxes, const std::string& message) {
  boxes.messageBox(Hwnd{}, errorBoxText(message), kApplicationTitle, win::kMbOk | win::kMbIconStop);
}

Form::Form(UiPort& ui, MessageBoxPort& boxes, int layoutId)
    : ui_(ui), boxes_(boxes), handle_(ui.createForm(layoutId, *this)) {
  if (handle_ == Hwnd{}) {
    throw StrennixError("Could not create the window");
  }
}

Form::~Form() { ui_.destroyForm(handle_); }

void Form::show() { ui_.showForm(handle_); }

void Form::hide() { ui_.hideForm(handle_); }

bool Form::visible() const { return ui_.isFormVisible(handle_); }

template <class Handler>
void Form::guarded(Handler&& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    showErrorBox(boxes_, error.what());
  }
}

bool Form::onMessage(std::uint32_t message, std::uint32_t wParam, std::int32_t lParam,
                     std::int32_t& result) {
  bool handled = false;
  guarded([&] { handled = handleMessage(message, wParam, lParam, result); });
  return handled;
}

void Form::onCommand(int controlId, int notifyCode) {
  guarded([&] { handleCommand(controlId, notifyCode); });
}

void Form::onTimer(std::uint32_t timerId) {
  guarded([&] { handleTimer(timerId); });
}

void Form::onClose() {
  guarded([&] { handleClose(); });
}

void Form::onKeyUp(int controlId, int key) {
  guarded([&] { handleKeyUp(controlId, key); });
}

Timer::Timer(UiPort& ui, const Form& owner, std::uint32_t timerId)
    : ui_(ui), owner_(owner), id_(timerId) {}

Timer::~Timer() {
  if (enabled_) {
    ui_.killTimer(owner_.handle(), id_);
  }
}

void Timer::setInterval(std::uint32_t intervalMs) {
  if (interval_ == intervalMs) {
    return;
  }
  interval_ = intervalMs;
  apply();
}

void Timer::setEnabled(bool enabled) {
  if (enabled_ == enabled) {
    return;
  }
  enabled_ = enabled;
  apply();
}

void Timer::apply() {
  if (enabled_) {
    ui_.setTimer(owner_.handle(), id_, interval_);
  } else {
    ui_.killTimer(owner_.handle(), id_);
  }
}

Application::Application(UiPort& ui, MessageBoxPort& boxes) : ui_(ui), boxes_(boxes) {}

void Application::run(Form& mainForm) {
  if (showMainForm) {
    mainForm.show();
  }
  ui_.runMessageLoop();
}

void Application::terminate() { ui_.quitMessageLoop(); }

void Application::showException(const std::exception& error) { showErrorBox(boxes_, error.what()); }

}  // namespace strennix
