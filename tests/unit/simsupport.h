// What several unit tests set up on the simulated desktop: the whole program
// with its settings; the window actions with their lists, logger and tray
// icons; the messages of a log file; and message boxes that run other
// handlers while they are open.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "actions/uifx.h"
#include "app/app.h"
#include "app/core/log.h"
#include "app/core/notifyicons.h"
#include "app/core/settings.h"
#include "app/core/windowlists.h"
#include "app/program.h"
#include "language/langhandler.h"
#include "platform/forms.h"
#include "platform/messagebox.h"
#include "platform/ports.h"
#include "platform/sim/simdesktop.h"
#include "platform/winconst.h"
#include "resources/resource.h"
#include "tests/support/defaultsettings.h"
#include "tests/support/hookclick.h"
#include "traymenu/traymenu.h"

namespace strennix::testsupport {

// The messages of a log file, without their time stamps.
inline std::vector<std::string> logLines(const sim::SimDesktop& sim, const std::string& file) {
  std::vector<std::string> lines;
  const auto found = sim.files.find(file);
  if (found == sim.files.end()) {
    return lines;
  }
  std::istringstream in(found->second);
  for (std::string line; std::getline(in, line);) {
    const auto separator = line.find("   ");
    lines.push_back(separator == std::string::npos ? line : line.substr(separator + 3));
  }
  return lines;
}

// The whole program on the simulated desktop, started as
// C:\Apps\strennix.exe at a fixed time.
class ProgramTest : public testing::Test {
 protected:
  ProgramTest() {
    sim.now = DateTime{2026, 12, 8, 2, 3, 14, 48};
    sim.exePath = "C:\\Apps\\strennix.exe";
    sim.commandLine = {"C:\\Apps\\strennix.exe"};
  }

  // Writes `values` under the program's settings key.
  void writeSettings(const SettingValues& values) {
    for (const auto& [name, value] : values) {
      sim.setRegString(RegRoot::CurrentUser, "Software\\Corvane inc.\\Strennix", name, value);
    }
  }

  // Makes the main form and the tray menu form, as the entry point does.
  TStrennix& start() { return start(sim.ports()); }
  TStrennix& start(const Ports& ports) {
    program = std::make_unique<Program>(ports, application);
    form = &program->mainForm();
    tray = &program->trayForm();
    return *form;
  }

  // What the hook library and the shell post to the main form.
  void titleBarClick(std::int32_t x, std::int32_t y) {
    hookClick(sim, form->handle(), Point{x, y});
  }
  void trayIconMessage(std::uint32_t iconId, std::uint32_t mouseMessage) {
    sim.post(form->handle(), win::kWmAsTray, iconId, static_cast<std::int32_t>(mouseMessage));
  }
  void ownIconMessage(std::uint32_t mouseMessage) {
    sim.post(form->handle(), win::kWmTray, 0, static_cast<std::int32_t>(mouseMessage));
  }
  // A tick of the main form's regular timer.
  void timerTick() { sim.tick(form->handle(), IDT_TIMER1); }

  sim::SimDesktop sim;
  Application application{sim, sim};
  std::unique_ptr<Program> program;
  // The two forms of `program`, while it lives.
  TStrennix* form = nullptr;
  TTrayForm* tray = nullptr;
};

// The window actions on the simulated desktop, with every log line written
// and the tray icons owned by a main window of the program.
class WindowActionsTest : public testing::Test {
 protected:
  WindowActionsTest() {
    log.debugMode = true;
    log.loggingMode = true;
    icons.setOwner(mainWindow, IconHandle{0x7001});
  }

  sim::SimDesktop sim;
  Hwnd mainWindow = sim.addWindow(sim::SimWindow{});
  Logger log{sim, sim};
  DataFiles dataFiles{sim, sim};
  LangHandler lang{dataFiles};
  NotifyIcons icons{sim, log};
  Journal journal{sim, sim, sim, log};
  WindowLists lists{journal};
  Settings settings;
  Uifx uifx{sim, sim, sim, sim, sim, lang, lists, journal, icons, settings, log};
};

// Message boxes whose modal loop runs other handlers while the box is open,
// as the real one does with timer ticks and hook messages. One level deep:
// a box opened by those handlers runs none.
class NestingBoxes : public MessageBoxPort {
 public:
  // `whileEachOpen` runs inside every box; without it, only what
  // whileNextOpen() leaves runs, and only once.
  explicit NestingBoxes(sim::SimDesktop& sim, std::function<void()> whileEachOpen = nullptr)
      : sim_(sim), whileEachOpen_(std::move(whileEachOpen)) {}

  void whileNextOpen(std::function<void()> handlers) { whileNextOpen_ = std::move(handlers); }

  // The desktop's ports, with these boxes for its message boxes.
  [[nodiscard]] Ports ports() {
    const Ports desk = sim_.ports();
    return Ports{desk.windowInfo,    desk.placement,    desk.desktop,      desk.runningCopy,
                 desk.windowIcons,   desk.drawing,      desk.shell,        desk.registry,
                 desk.system,        desk.files,        desk.clock,        *this,
                 desk.hooks,         desk.processes,    desk.ui,           desk.buttonRows,
                 desk.windowEvents,  desk.processNames, desk.formControls, desk.listBoxes,
                 desk.buttonWindows, desk.frames};
  }

  int messageBox(Hwnd owner, const std::string& text, const std::string& caption,
                 std::uint32_t flags) override {
    const int answer = sim_.messageBoxPort().messageBox(owner, text, caption, flags);
    if (!open_) {
      open_ = true;
      if (whileNextOpen_) {
        std::exchange(whileNextOpen_, nullptr)();
      } else if (whileEachOpen_) {
        whileEachOpen_();
      }
      open_ = false;
    }
    return answer;
  }

 private:
  sim::SimDesktop& sim_;
  std::function<void()> whileEachOpen_;
  std::function<void()> whileNextOpen_;
  bool open_ = false;
};

}  // namespace strennix::testsupport
