// Real mouse input reaches the program's dispatch: a click on a painted
// title-bar button through the hook library, and clicks on the program's own
// tray icon through the shell.
#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/titlebar.h"

namespace strennix::e2e {
namespace {

// Where the taskbar keeps its notification area: the bottom right of the
// 1024 x 768 desktop.
constexpr Rect kTrayArea{724, 728, 1024, 768};

class DispatchTest : public TitleBarTest {
 protected:
  // The messages of applog.txt so far.
  std::vector<std::string> appLog() { return logMessages(readFile("applog.txt")); }

  size_t handledClicks() {
    const auto log = appLog();
    return static_cast<size_t>(std::count(log.begin(), log.end(), "Handled STRNX_NCLBUTTONUP"));
  }

  // The slot numbers traced after each "  Dealing with the click".
  std::vector<std::string> dealtSlots() {
    const auto log = appLog();
    std::vector<std::string> slots;
    for (size_t i = 0; i + 1 < log.size(); ++i) {
      if (log[i] == "  Dealing with the click") {
        slots.push_back(log[i + 1]);
      }
    }
    return slots;
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

TEST_F(DispatchTest, AClickOnThePaintedStayOnTopButtonTogglesTheWindowsTopmostState) {
  writeDefaultSettings();
  startHidden({"--log"});
  const WindowInfo target = openTarget({.title = "Target", .rect = Rect{100, 100, 740, 500}});
  waitForButtons(target, false);
  const ScreenPoint pin = slotCorner(target, 1);

  click(pin.x + 3, pin.y + 7);
  waitFor([&] { return topmost(target); }, "the target to become topmost");
  EXPECT_EQ(dealtSlots(), (std::vector<std::string>{"0"}));

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
  EXPECT_EQ(dealtSlots(), (std::vector<std::string>{"0", "0"}));
}

TEST_F(DispatchTest, TheTrayIconOpensTheSettingsOnADoubleClickAndTheMenuOnARightClick) {
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
  const ScreenPoint middle{icon->x + 8, icon->y + 8};

  doubleClick(middle.x, middle.y);
  const WindowInfo settings = waitForForeground(mainForm);
  EXPECT_EQ(settings.title, "Strennix");

  // Above and to the left of the cursor: the menu's bottom-right corner is
  // the point clicked.
  click(middle.x, middle.y, 3);
  const WindowInfo menu = waitForForeground(Window::byClass("TTrayForm"));
  screenshot("tray-menu-at-the-icon.png");
  EXPECT_GT(menu.rect.width(), 0);
  EXPECT_GT(menu.rect.height(), 0);
  EXPECT_EQ(menu.rect.right, middle.x);
  EXPECT_EQ(menu.rect.bottom, middle.y);
}

// A hidden start makes no control windows (that is most of a start's time);
// what the start gave the controls shows when the window is first opened.
TEST_F(DispatchTest, SettingsOpenedFromTheTrayAfterAHiddenStartShowTheStoredSettingsInGerman) {
  ASSERT_TRUE(fileExists("lang/0x07.lang"));
  writeDefaultSettings({{"Buttons", "<vmax><shade>"},
                        {"Names", "1"},
                        {"Menu", "<stay>"},
                        {"Priority", "7"},
                        {"DrawOn", "<all>"}});
  regAdd(kSettingsKey, "lang", "7", "REG_DWORD");
  startHidden();
  EXPECT_TRUE(children(mainForm).empty());

  std::optional<ScreenPoint> icon;
  waitFor(
      [&] {
        icon = findProgramTrayIcon(grab(), kTrayArea);
        return icon.has_value();
      },
      "the program's icon in the notification area");
  doubleClick(icon->x + 8, icon->y + 8);
  waitForForeground(mainForm);

  std::map<int, ControlInfo> shown;
  for (const ControlInfo& info : children(mainForm)) {
    shown[info.id] = info;
  }
  const auto checked = [&](int id) { return shown[id].checked.value_or(false); };
  EXPECT_TRUE(checked(IDC_CHKVMAX));
  EXPECT_FALSE(checked(IDC_CHKHMAX));
  EXPECT_TRUE(checked(IDC_CHKSHADE));
  EXPECT_FALSE(checked(IDC_CHKTOP));
  EXPECT_TRUE(checked(IDC_CHKNAMES));
  EXPECT_FALSE(checked(IDC_CHKCLASSES));
  EXPECT_TRUE(shown[IDC_BTNEDITNAMES].enabled);
  EXPECT_FALSE(shown[IDC_BTNEDITCLASSES].enabled);
  EXPECT_TRUE(checked(IDC_CHKMENUSTAY));
  EXPECT_TRUE(checked(IDC_RDBTNTIME));
  EXPECT_FALSE(checked(IDC_RDBTNALPHA));
  EXPECT_TRUE(checked(IDC_RDBTNALLWINDOWS));
  EXPECT_FALSE(checked(IDC_RDBTNFOREGROUND));
  EXPECT_EQ(shown[IDC_TRACKPRIORITY].position, 7);
  EXPECT_EQ(shown[IDC_CHKSHADE].text, "Aufrollen");
  EXPECT_EQ(shown[IDC_BTNSAVE].text, "Speichern");
  EXPECT_EQ(shown[IDC_LABEL1].text, "Corvane inc.");
  screenshot("settings-opened-after-a-hidden-start.png");
}

}  // namespace
}  // namespace strennix::e2e
