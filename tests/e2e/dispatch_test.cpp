// Real mouse input reaches the program's dispatch: a click on a painted
// title-bar button through the hook library, and clicks on the program's own
// tray icon through the shell.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/titlebar.h"

namespace strennix::e2e {
namespace {

class DispatchTest : public EditionTest<TitleBarDesktop> {
 protected:
  size_t handledClicks() {
    const auto log = appLog();
    return static_cast<size_t>(std::count(log.begin(), log.end(), "Recieved STRNX_NCLBUTTONUP."));
  }

  void expectDealtSlots(const std::vector<std::string>& slots) {
    expectEventually([this] { return dealtSlots(); }, slots, "the slots of the clicks dealt with");
  }

  bool topmost(const WindowInfo& window) {
    return findWindow(Window::byHandle(window.hwnd)).value_or(WindowInfo{}).topmost;
  }

  // Waits until the window shows in the foreground.
  WindowInfo waitForForeground(const Window& window) {
    WindowInfo info;
    waitFor(
        [&] {
          info = findWindow(window).value_or(WindowInfo{});
          return info.visible && info.foreground;
        },
        "the " + window.describe() + " to show in the foreground");
    return info;
  }
};

TEST_P(DispatchTest, AClickOnThePaintedStayOnTopButtonTogglesTheWindowsTopmostState) {
  writeDefaultSettings();
  startHidden({"--log"});
  const WindowInfo target = openTarget({.title = "Target", .rect = Rect{100, 100, 740, 500}});
  waitForButtons(target, false);
  const ScreenPoint pin = slotCorner(target, 1);

  click(pin.x + 3, pin.y + 7);
  waitFor([&] { return topmost(target); }, "the target to become topmost");
  expectDealtSlots({"0"});

  // A click on the caption beside the buttons is handled and does nothing.
  const size_t handled = handledClicks();
  click(target.rect.left + 200, target.rect.top + 12);
  waitFor([&] { return handledClicks() > handled; }, "the caption click to be handled");
  EXPECT_TRUE(topmost(target));
  EXPECT_EQ(dealtSlots(), (std::vector<std::string>{"0"}));

  // Not on the spot of the first click: that could make a double-click on
  // the caption, which maximizes the window.
  click(pin.x + 12, pin.y + 7);
  waitFor([&] { return !topmost(target); }, "the target to leave the top");
  expectDealtSlots({"0", "0"});
}

TEST_P(DispatchTest, TheTrayIconOpensTheSettingsOnADoubleClickAndTheMenuOnARightClick) {
  writeDefaultSettings();
  startHidden();
  ASSERT_FALSE(findWindow(mainForm).value_or(WindowInfo{.visible = true}).visible);
  std::optional<ScreenPoint> icon;
  waitFor(
      [&] {
        icon = findProgramTrayIcon(grab(), kTrayArea);
        return icon.has_value();
      },
      "the program's icon in the notification area");
  const ScreenPoint middle{icon->x + kTrayIconSize / 2, icon->y + kTrayIconSize / 2};

  doubleClick(middle.x, middle.y);
  waitForForeground(mainForm);
  expectEventually([this] { return findWindow(mainForm).value_or(WindowInfo{}).title; },
                   std::string("Strennix"), "the title of the settings form");

  // Above and to the left of the cursor: the menu's bottom-right corner is
  // the point clicked, or just above the taskbar when that takes space from
  // the work area.
  click(middle.x, middle.y, 3);
  const Window trayMenu = Window::byClass("TTrayForm");
  waitForForeground(trayMenu);
  const Rect menu = expectEventually(
      [&] { return findWindow(trayMenu).value_or(WindowInfo{}).rect; },
      [&](const Rect& rect) {
        return rect.right == middle.x && rect.bottom == std::min(middle.y, workArea().bottom);
      },
      "the tray menu's bottom-right corner at the point clicked, or just above the taskbar");
  screenshot("tray-menu-at-the-icon.png");
  EXPECT_GT(menu.width(), 0);
  EXPECT_GT(menu.height(), 0);
}

STRENNIX_TEST_EDITIONS(DispatchTest, runnableEditions());

}  // namespace
}  // namespace strennix::e2e
