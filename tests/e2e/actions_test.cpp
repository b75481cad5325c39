// The six window actions under Wine, clicked with the real mouse on the
// buttons painted into another program's title bar: each action and its undo,
// the way back from a tray icon and from the tray menu, and what every way out
// gives back: "Exit Strnx", a start after a kill, the end of the session, an
// Exit while a hidden window's program hangs.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/titlebar.h"

namespace strennix::e2e {
namespace {

class WindowActionsTest : public EditionTest<WindowActionsDesktop> {};

TEST_P(WindowActionsTest, StretchButtonsFillTheWorkAreaCentredAndTheSecondClickGivesTheSizeBack) {
  writeDefaultSettings();
  startWithTrayIcon({});
  // The taskbar takes the bottom of the screen, so the work area is lower
  // than the screen.
  const Rect area = workArea();
  ASSERT_EQ(area.bottom, taskbar().rect.top);
  ASSERT_LT(area.height(), 768);
  const WindowInfo target = openTarget({.title = "Stretched", .rect = Rect{150, 200, 550, 450}});

  clickButton(target, kVMax);
  waitForRect(target, Rect{150, area.top, 550, area.bottom});

  clickButton(target, kVMax);
  const int top = area.top + (area.height() - 250) / 2;
  waitForRect(target, Rect{150, top, 550, top + 250});

  clickButton(target, kHMax);
  waitForRect(target, Rect{area.left, top, area.right, top + 250});

  clickButton(target, kHMax);
  const int left = area.left + (area.width() - 400) / 2;
  const WindowInfo now = waitForRect(target, Rect{left, top, left + 400, top + 250});
  EXPECT_TRUE(now.visible);
}

TEST_P(WindowActionsTest, StayOnTopAndShadeToggleWithoutMovingTheWindow) {
  writeDefaultSettings();
  startHidden();
  const WindowInfo target = openTarget({.title = "Toggled", .rect = Rect{200, 150, 640, 480}});
  ASSERT_FALSE(target.topmost);

  clickButton(target, kTop);
  WindowInfo now = waitForState(
      target, [](const WindowInfo& info) { return info.topmost; }, "to stay on top");
  EXPECT_EQ(now.rect, target.rect);
  clickButton(target, kTop);
  now = waitForState(
      target, [](const WindowInfo& info) { return info.hwnd != 0 && !info.topmost; },
      "to leave the top");
  EXPECT_EQ(now.rect, target.rect);

  clickButton(target, kShade);
  now = waitForRect(target, Rect{200, 150, 640, 150 + kShadedHeight});
  EXPECT_TRUE(now.visible);
  clickButton(target, kShade);
  now = waitForRect(target, target.rect);
  EXPECT_FALSE(now.topmost);
}

// Under Wine the icon shows no picture: Wine delivers neither WM_GETICON nor
// WM_QUERYDRAGICON to a window of another process and answers 0 for another
// process's class icons, so the program finds no icon and adds one without a
// picture. The icon is there all the same: its cell shows the window's title
// as a tip and takes the click.
TEST_P(WindowActionsTest, ToIconHidesTheWindowBehindATrayIconWhoseClickBringsItBack) {
  writeDefaultSettings();
  const WindowInfo first =
      openTarget({.title = "Icon target A", .rect = Rect{100, 100, 500, 350}, .icon = true});
  const WindowInfo second =
      openTarget({.title = "Icon target B", .rect = Rect{450, 300, 850, 550}, .icon = true});
  const ScreenPoint own = startWithTrayIcon({"--log"}).icon;

  clickButton(first, kToIcon);
  waitUntilHidden(first);
  clickButton(second, kToIcon);
  waitUntilHidden(second);
  // The first window's icon sits left of the program's own, the second's
  // left of that.
  const ScreenPoint firstIcon{own.x - kTrayCell, own.y};
  const ScreenPoint secondIcon{own.x - 2 * kTrayCell, own.y};

  mouseMove(secondIcon.x, secondIcon.y);
  waitFor([this] { return tooltipShown(); }, "the tip of the second window's tray icon");
  screenshot("tray-icon-tip.png");

  click(firstIcon.x - 3, firstIcon.y);
  waitUntilBack(first);
  waitForRect(first, first.rect);
  EXPECT_FALSE(current(second).visible);

  // The first icon is gone: the second has moved into its cell and a click
  // there brings the second window back.
  click(firstIcon.x + 3, firstIcon.y);
  waitUntilBack(second);
  waitForRect(second, second.rect);
  EXPECT_TRUE(current(first).visible);

  expectCount("uifxlog.txt", "Called minTray", 2);
  expectCount("uifxlog.txt", "Exited minTray", 2);
  // The shell took every add, change and delete.
  expectEventually([this] { return count(logOf("applog.txt"), "Called onWM_ASTRAY."); },
                   [](long called) { return called >= 2; },
                   "at least two lines \"Called onWM_ASTRAY.\" in applog.txt");
  const auto app = logOf("applog.txt");
  EXPECT_EQ(count(app, "::msgToTrayicon failed."), 0);
  EXPECT_EQ(count(app, "::TrayMessage failed."), 0);
}

TEST_P(WindowActionsTest, ToMenuListsTheTitlesInTheTrayMenuAndADoubleClickBringsOneBack) {
  writeDefaultSettings();
  const WindowInfo beta = openTarget({.title = "Beta notes", .rect = Rect{120, 100, 520, 350}});
  const WindowInfo alpha = openTarget({.title = "Alpha notes", .rect = Rect{480, 300, 880, 550}});
  const ScreenPoint own = startWithTrayIcon({}).icon;

  clickButton(beta, kToMenu);
  waitUntilHidden(beta);
  clickButton(alpha, kToMenu);
  waitUntilHidden(alpha);

  click(own.x, own.y, 3);
  const WindowInfo menu = waitForState(
      Window::byClass("TTrayForm"),
      [](const WindowInfo& info) { return info.visible && info.foreground; },
      "the tray menu to show in the foreground");
  EXPECT_TRUE(menu.topmost);
  // Sorted by name ("<alpha>"), whatever the order of hiding.
  expectMenuTitles({"Alpha notes", "Beta notes"});
  const std::vector<ListItem> items = menuItems();
  screenshot("tray-menu.png");

  const ScreenPoint title = centre(items[1].rect);
  doubleClick(title.x, title.y);
  waitUntilBack(beta);
  waitForRect(beta, beta.rect);
  EXPECT_FALSE(current(alpha).visible);
  // "<stay>": the menu stays open, without the restored title.
  EXPECT_TRUE(current(menu).visible);
  expectMenuTitles({"Alpha notes"});
}

// The stretched window is shaded too: the end gives it its stretched height
// back, not the height it had before the stretch.
TEST_P(WindowActionsTest, ExitGivesEveryHiddenAndShadedWindowBackAndLeavesNoTrayIcon) {
  writeDefaultSettings();
  const WindowInfo shaded =
      openTarget({.title = "Stretched and shaded", .rect = Rect{100, 120, 500, 370}});
  const WindowInfo iconized =
      openTarget({.title = "Behind an icon", .rect = Rect{300, 400, 700, 600}});
  const WindowInfo listed = openTarget({.title = "In the menu", .rect = Rect{560, 100, 960, 300}});
  const Started started = startWithTrayIcon({"--log"});
  const Rect area = workArea();

  clickButton(shaded, kVMax);
  waitForState(
      shaded, [&](const WindowInfo& info) { return info.rect.height() == area.height(); },
      "to fill the work area's height");
  clickButton(shaded, kShade);
  waitForState(
      shaded, [](const WindowInfo& info) { return info.rect.height() == kShadedHeight; },
      "to roll up");
  clickButton(iconized, kToIcon);
  waitUntilHidden(iconized);
  clickButton(listed, kToMenu);
  waitUntilHidden(listed);

  doubleClick(started.icon.x, started.icon.y);
  waitForVisibleWindow(mainForm);
  clickControl(mainForm, IDC_BTNQUIT);
  EXPECT_EQ(started.process.waitForExit(), 0);

  const WindowInfo unshaded = waitForRect(shaded, Rect{100, area.top, 500, area.bottom});
  EXPECT_TRUE(unshaded.visible);
  for (const WindowInfo& hidden : {iconized, listed}) {
    waitForState(
        hidden, [&](const WindowInfo& info) { return info.visible && info.rect == hidden.rect; },
        "to show again where it was");
  }
  waitFor([this] { return !taskbar().visible; }, "the notification area to be empty again");
  screenshot("after-exit.png");

  // Every icon was deleted by the program itself, the shell accepting each.
  const auto app = logOf("applog.txt");
  EXPECT_EQ(count(app, "::msgToTrayicon failed."), 0);
  EXPECT_EQ(count(app, "::TrayMessage failed."), 0);
  const auto setup = logOf("setupapplog.txt");
  EXPECT_EQ(count(setup, "Called endApp"), 1);
  EXPECT_EQ(count(setup, "Exited endApp"), 1);
}

class WaysOutTest : public WindowActionsTest {
 protected:
  // Hides one window into the tray menu, one behind a tray icon and shades
  // a third, each waited for.
  void changeThree(const WindowInfo& listed, const WindowInfo& iconized, const WindowInfo& shaded) {
    clickButton(listed, kToMenu);
    waitUntilHidden(listed);
    clickButton(iconized, kToIcon);
    waitUntilHidden(iconized);
    clickButton(shaded, kShade);
    waitForState(
        shaded, [](const WindowInfo& info) { return info.rect.height() == kShadedHeight; },
        "to roll up");
  }

  void waitUntilShownAsBefore(const WindowInfo& window) {
    const WindowInfo shown = waitForState(
        window, [&](const WindowInfo& info) { return info.visible && info.rect == window.rect; },
        "to show again as it was");
    EXPECT_EQ(shown.rect, window.rect) << window.title;
  }
};

// A kill leaves no end sequence: the next start gives back what the journal
// in the registry says the killed run had changed.
TEST_P(WaysOutTest, AStartAfterAKillGivesBackEveryWindowTheKilledRunLeftChanged) {
  writeDefaultSettings();
  const WindowInfo listed = openTarget({.title = "In the menu", .rect = Rect{560, 100, 960, 300}});
  const WindowInfo iconized =
      openTarget({.title = "Behind an icon", .rect = Rect{300, 400, 700, 600}});
  const WindowInfo shaded = openTarget({.title = "Shaded", .rect = Rect{100, 120, 500, 370}});
  WineProcess& first = startWithTrayIcon({}).process;
  changeThree(listed, iconized, shaded);

  first.kill();
  waitFor([this] { return !windowExists("TStrennix"); }, "the killed program's window to go");
  EXPECT_FALSE(current(listed).visible);
  EXPECT_FALSE(current(iconized).visible);
  EXPECT_EQ(current(shaded).rect.height(), kShadedHeight);

  WineProcess& second = startHidden();
  for (const WindowInfo& window : {listed, iconized, shaded}) {
    waitUntilShownAsBefore(window);
  }
  EXPECT_EQ(closeStrennix(second), 0);
}

// wineboot --end-session sends WM_QUERYENDSESSION and WM_ENDSESSION to the
// main window, and then ends every process that had a window, the targets
// included: what is left to see afterwards is that the program gave every
// window back (its journal is empty) and ended by itself.
TEST_P(WaysOutTest, TheEndOfTheSessionGivesTheHiddenWindowsBack) {
  writeDefaultSettings();
  const WindowInfo listed = openTarget({.title = "In the menu", .rect = Rect{560, 100, 960, 300}});
  const WindowInfo iconized =
      openTarget({.title = "Behind an icon", .rect = Rect{300, 400, 700, 600}});
  const WindowInfo shaded = openTarget({.title = "Shaded", .rect = Rect{100, 120, 500, 370}});
  WineProcess& strennix = startWithTrayIcon({"--debug"}).process;
  changeThree(listed, iconized, shaded);
  const std::string journalKey = std::string(kSettingsKey) + "\\Journal";
  // `reg query` prints the whole text, one record a line.
  const auto journaled = [&] {
    WineProcess& query = startProgram("reg", {"query", journalKey, "/v", "Windows"});
    EXPECT_EQ(query.waitForExit(), 0);
    return query.output();
  };
  const std::string before = journaled();
  for (const WindowInfo& window : {listed, iconized, shaded}) {
    EXPECT_NE(before.find(" " + hex(window.hwnd) + " "), std::string::npos) << window.title;
  }

  WineProcess& endSession = startProgram("wineboot", {"--end-session"});
  EXPECT_EQ(endSession.waitForExit(), 0) << endSession.output();
  EXPECT_EQ(strennix.waitForExit(), 0);
  EXPECT_EQ(count(logOf("applog.txt"), "Session ending: giving windows back."), 1);
  const std::string after = journaled();
  EXPECT_NE(after.find("Strennix journal 2 "), std::string::npos) << after;
  EXPECT_EQ(after.find("StrennixTestWindow"), std::string::npos) << after;
}

// The hung window's program sleeps in its window procedure. Exit waits for
// it nowhere: the program ends at once and the other windows come back.
TEST_P(WaysOutTest, ExitEndsWithinFiveSecondsWhileAHiddenWindowsProgramHangs) {
  writeDefaultSettings();
  const WindowInfo hung = openTarget({.title = "Hangs", .rect = Rect{100, 100, 500, 350}});
  const WindowInfo listed = openTarget({.title = "In the menu", .rect = Rect{560, 100, 960, 300}});
  const WindowInfo iconized =
      openTarget({.title = "Behind an icon", .rect = Rect{300, 400, 700, 600}});
  const Started started = startWithTrayIcon({});
  clickButton(hung, kToIcon);
  waitUntilHidden(hung);
  clickButton(listed, kToMenu);
  waitUntilHidden(listed);
  clickButton(iconized, kToIcon);
  waitUntilHidden(iconized);

  driver({"hang", "--hwnd", hex(hung.hwnd), "--ms", "120000"});
  waitFor(
      [&] {
        return runDriver({"ishung", "--hwnd", hex(hung.hwnd)}).exitCode == 0;
      },
      "the hidden window's program to count as not answering");
  doubleClick(started.icon.x, started.icon.y);
  waitForVisibleWindow(mainForm);

  const auto pressed = std::chrono::steady_clock::now();
  clickControl(mainForm, IDC_BTNQUIT);
  EXPECT_EQ(started.process.waitForExit(std::chrono::seconds(5)), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - pressed, std::chrono::seconds(5));
  for (const WindowInfo& window : {listed, iconized}) {
    waitUntilShownAsBefore(window);
  }
  EXPECT_FALSE(current(hung).visible);
}

// Anyone can post the hook's destroy report: one naming a live hidden window
// forgets nothing, and Exit still gives that window back.
TEST_P(WaysOutTest, AForgedDestroyReportForAHiddenWindowForgetsNothing) {
  writeDefaultSettings();
  const WindowInfo iconized =
      openTarget({.title = "Behind an icon", .rect = Rect{300, 400, 700, 600}});
  const Started started = startWithTrayIcon({"--log"});
  clickButton(iconized, kToIcon);
  waitUntilHidden(iconized);

  driver({"post", "--class", "TStrennix", "--msg", "8065", "--wparam", hex(iconized.hwnd)});
  waitFor([this] { return count(logOf("applog.txt"), "  Window still exists, kept") == 1; },
          "the forged report to be handled");
  EXPECT_FALSE(current(iconized).visible);

  EXPECT_EQ(closeStrennix(started.process), 0);
  waitUntilShownAsBefore(iconized);
}

STRENNIX_TEST_EDITIONS(WindowActionsTest, runnableEditions());
STRENNIX_TEST_EDITIONS(WaysOutTest, runnableEditions());

}  // namespace
}  // namespace strennix::e2e
