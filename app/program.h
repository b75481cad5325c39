// The whole program, composed once: the main form first (it runs the
// start-up), then the tray menu form, which the main form is then told of.
#pragma once

#include "app/app.h"
#include "platform/forms.h"
#include "platform/ports.h"
#include "traymenu/traymenu.h"

namespace strennix {

class Program {
 public:
  Program(const Ports& ports, Application& application);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  Program(Program&&) = delete;
  Program& operator=(Program&&) = delete;
  ~Program() = default;

  [[nodiscard]] TStrennix& mainForm() { return mainForm_; }
  [[nodiscard]] TTrayForm& trayForm() { return trayForm_; }

 private:
  // Declared in the order they are made.
  TStrennix mainForm_;
  TTrayForm trayForm_;
};

}  // namespace strennix
