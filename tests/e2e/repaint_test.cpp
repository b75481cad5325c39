// The buttons come back as soon as the system reports what repaints a title
// bar (a new title, a window moved off it), not at the next tick: the timer
// runs once a second here. Windows raises these reports itself; Wine 8 does
// not, so the driver raises them where Windows would.
#include <algorithm>
#include <map>
#include <string>
#include <utility>

#include "tests/e2e/titlebar.h"

namespace strennix::e2e {
namespace {

constexpr const char* kNameChange = "800c";
constexpr const char* kLocationChange = "800b";
constexpr const char* kMinimize = "6";

class RepaintTest : public EditionTest<TitleBarDesktop> {
 protected:
  void startSlow(std::map<std::string, std::string> settings = {}) {
    settings.emplace("Priority", "0");
    writeDefaultSettings(settings);
    startHidden({"--log"});
  }

  long logged(const std::string& message) {
    const auto log = appLog();
    return std::count(log.begin(), log.end(), message);
  }

  // A window with buttons (they show on every window), and a window in
  // front of it over them.
  std::pair<WindowInfo, WindowInfo> coverTheButtons() {
    startSlow({{"DrawOn", "<all>"}});
    const WindowInfo under = openTarget({.title = "Under", .rect = Rect{100, 100, 740, 500}});
    waitForButtons(under, false);
    return {under, openTarget({.title = "Cover", .rect = Rect{500, 80, 300, 120}})};
  }

  void waitForLogged(const std::string& message, long times) {
    waitFor([&] { return logged(message) >= times; },
            "\"" + message + "\" in applog.txt " + std::to_string(times) + " times");
  }
};

TEST_P(RepaintTest, ANewTitleIsReportedAndTheButtonsArePaintedAgain) {
  startSlow();
  const WindowInfo target = openTarget({.title = "Old title", .rect = Rect{100, 100, 740, 500}});
  waitForButtons(target, false);
  const long before = logged("Recieved STRNX_CAPTIONCHANGE");

  // Wine repaints the title bar without the buttons.
  driver({"settitle", "--hwnd", hex(target.hwnd), "--text", "New title"});
  driver({"winevent", "--hwnd", hex(target.hwnd), "--event", kNameChange});

  waitForLogged("Recieved STRNX_CAPTIONCHANGE", before + 1);
  waitForButtons(findWindow(Window::byHandle(target.hwnd)).value_or(target), false);
}

TEST_P(RepaintTest, AWindowMovedOffATitleBarBringsItsButtonsBack) {
  const auto [under, cover] = coverTheButtons();

  // What it covered comes back on the screen without the buttons.
  driver({"move", "--hwnd", hex(cover.hwnd), "--rect", "500,600,300,120"});
  driver({"winevent", "--hwnd", hex(cover.hwnd), "--event", kLocationChange});

  waitForLogged("Recieved STRNX_UNCOVERED", 1);
  waitForButtons(under, false);
}

// Reported by the hook library, under Wine too.
TEST_P(RepaintTest, AWindowMinimizedOffATitleBarBringsItsButtonsBack) {
  const auto [under, cover] = coverTheButtons();

  driver({"show", "--hwnd", hex(cover.hwnd), "--cmd", kMinimize});

  waitForLogged("Recieved STRNX_UNCOVERED", 1);
  waitForButtons(under, false);
}

STRENNIX_TEST_EDITIONS(RepaintTest, runnableEditions());

}  // namespace
}  // namespace strennix::e2e
