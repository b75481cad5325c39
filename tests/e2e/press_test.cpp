// A press on a painted button belongs to the button, as with the title-bar
// buttons of the system: two quick clicks are two clicks, never a
// double-click on the window's title bar; a press that is dragged or moved
// off the button does nothing and moves nothing; a button of a window in
// the background acts on that window; and neither a killed program's rows
// nor a window made to look like the program's main window take a press.
#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/titlebar.h"

namespace strennix::e2e {
namespace {

constexpr int kTop = 1;
constexpr int kToIcon = 2;
constexpr int kShade = 3;
constexpr std::uint32_t kWsMaximize = 0x01000000;

class ButtonPressTest : public EditionTest<TitleBarDesktop> {
 protected:
  WindowInfo current(const WindowInfo& window) {
    return findWindow(Window::byHandle(window.hwnd)).value_or(WindowInfo{});
  }

  size_t handledReleases() {
    const auto log = appLog();
    return static_cast<size_t>(std::count(log.begin(), log.end(), "Handled STRNX_BUTTONUP"));
  }

  // The middle of button slot k of the window.
  static ScreenPoint middleOf(const WindowInfo& window, int slot) {
    const ScreenPoint corner = slotCorner(window, slot);
    return {corner.x + 8, corner.y + 7};
  }

  // The program started hidden with its log, and one window showing its
  // buttons.
  WindowInfo startWithTarget() {
    writeDefaultSettings();
    startHidden({"--log"});
    WindowInfo target = openTarget({.title = "Target", .rect = Rect{100, 100, 740, 500}});
    waitForButtons(target, false);
    return target;
  }

  // Waits until the program has handled `count` button releases in all.
  void waitForReleases(size_t count) {
    waitFor([&] { return handledReleases() >= count; },
            std::to_string(count) + " button releases to be handled");
  }
};

TEST_P(ButtonPressTest, TwoQuickClicksOnShadeRollTheWindowUpAndDownAndNeverMaximizeIt) {
  const WindowInfo target = startWithTarget();
  const ScreenPoint shade = middleOf(target, kShade);

  doubleClick(shade.x, shade.y);
  waitForReleases(2);

  EXPECT_EQ(dealtSlots(), (std::vector<std::string>{"2", "2"}));
  const WindowInfo after = current(target);
  EXPECT_EQ(after.style & kWsMaximize, 0U);
  EXPECT_EQ(after.rect, target.rect);
  screenshot("after-two-quick-clicks.png");
}

TEST_P(ButtonPressTest, APressReleasedAnywhereButOnItsButtonDoesNothingAndMovesNothing) {
  const WindowInfo target = startWithTarget();
  const ScreenPoint pin = middleOf(target, kTop);

  // A drag that would move the window by its title bar.
  mouseDown(pin.x, pin.y);
  mouseMove(pin.x - 60, pin.y + 40);
  mouseMove(pin.x - 150, pin.y + 120);
  mouseUp(pin.x - 150, pin.y + 120);
  waitForReleases(1);
  EXPECT_EQ(current(target).rect, target.rect);
  EXPECT_FALSE(current(target).topmost);

  // Off the button onto its neighbour, which must not act either.
  const ScreenPoint toIcon = middleOf(target, kToIcon);
  mouseDown(pin.x, pin.y);
  mouseMove(toIcon.x, toIcon.y);
  mouseUp(toIcon.x, toIcon.y);
  waitForReleases(2);

  const WindowInfo after = current(target);
  EXPECT_EQ(after.rect, target.rect);
  EXPECT_FALSE(after.topmost);
  EXPECT_TRUE(after.visible);
  EXPECT_TRUE(dealtSlots().empty());
}

TEST_P(ButtonPressTest, AClickOnAButtonOfAWindowInTheBackgroundActsOnThatWindow) {
  writeDefaultSettings({{"DrawOn", "<all>"}});
  startHidden({"--log"});
  const WindowInfo back = openTarget({.title = "Back", .rect = Rect{100, 100, 740, 500}});
  const WindowInfo front = openTarget({.title = "Front", .rect = Rect{250, 300, 900, 700}});
  waitForButtons(back, false);
  ASSERT_FALSE(current(back).foreground);
  const ScreenPoint pin = middleOf(back, kTop);

  click(pin.x, pin.y);
  waitFor([&] { return current(back).topmost; }, "\"Back\" to become topmost");

  EXPECT_TRUE(current(back).foreground);
  EXPECT_FALSE(current(front).topmost);
  EXPECT_EQ(dealtSlots(), (std::vector<std::string>{"0"}));
}

// The rows outlive a killed program in the shared memory; with nobody to
// report a press to, the press is the window's.
TEST_P(ButtonPressTest, AfterAKillAPressWhereTheButtonsWereDragsTheWindow) {
  writeDefaultSettings();
  WineProcess& strennix = startHidden({"--log"});
  const WindowInfo target = openTarget({.title = "Target", .rect = Rect{100, 100, 740, 500}});
  waitForButtons(target, false);
  const ScreenPoint pin = middleOf(target, kTop);

  strennix.kill();
  mouseDown(pin.x, pin.y);
  mouseMove(pin.x - 60, pin.y + 40);
  mouseMove(pin.x - 100, pin.y + 80);
  mouseUp(pin.x - 100, pin.y + 80);

  expectEventually([&] { return current(target).rect; },
                   [&](const Rect& rect) { return rect != target.rect; },
                   "the window to be dragged by its title bar");
  EXPECT_FALSE(current(target).topmost);
}

// A window that stayed open while the program ended and started again keeps
// the hook library of the first run loaded; its presses reach the second.
TEST_P(ButtonPressTest, AWindowThatStayedOpenAcrossARestartTakesAClick) {
  writeDefaultSettings();
  WineProcess& first = startHidden({"--log"});
  const WindowInfo target = openTarget({.title = "Target", .rect = Rect{100, 100, 740, 500}});
  waitForButtons(target, false);
  ASSERT_EQ(closeStrennix(first), 0);
  // The first run's buttons stay on the screen until the window repaints its
  // frame: the second run's are known by its own drawing.
  const auto drawings = [&] {
    const auto log = drawLog();
    return std::count(log.begin(), log.end(), "  Drawing buttons");
  };
  const auto drawnByFirst = drawings();

  startHidden({"--log"});
  waitFor([&] { return drawings() > drawnByFirst; }, "the second run to draw the buttons");
  const ScreenPoint pin = middleOf(target, kTop);
  click(pin.x, pin.y);

  waitFor([&] { return current(target).topmost; }, "\"Target\" to become topmost");
  EXPECT_EQ(dealtSlots(), (std::vector<std::string>{"0"}));
}

// The hook libraries report to the window the program names, not to the
// first window of its class and caption.
TEST_P(ButtonPressTest, AWindowOfTheMainWindowsClassStartedFirstTakesNoClick) {
  openWindow({.title = "Strennix", .className = "TStrennix", .rect = Rect{600, 500, 900, 700}});
  const WindowInfo target = startWithTarget();
  const ScreenPoint pin = middleOf(target, kTop);

  click(pin.x, pin.y);

  waitFor([&] { return current(target).topmost; }, "\"Target\" to become topmost");
  EXPECT_EQ(dealtSlots(), (std::vector<std::string>{"0"}));
}

// The held window loses the mouse capture (WM_CANCELMODE, as a dialog box
// that pops up sends): the press is over, the button no longer held, and the
// window takes its mouse again.
TEST_P(ButtonPressTest, APressWhoseCaptureIsLostLeavesTheWindowItsMouseAndNoButtonHeld) {
  const WindowInfo target = startWithTarget();
  const ScreenPoint pin = middleOf(target, kTop);

  mouseDown(pin.x, pin.y);
  driver({"post", "--hwnd", hex(target.hwnd), "--msg", "1F"});
  mouseMove(pin.x - 2, pin.y);
  waitForReleases(1);
  mouseMove(pin.x, pin.y);
  mouseUp(pin.x, pin.y);
  EXPECT_FALSE(current(target).topmost);
  EXPECT_TRUE(dealtSlots().empty());

  const ScreenPoint caption{target.rect.left + 150, target.rect.top + 12};
  mouseDown(caption.x, caption.y);
  mouseMove(caption.x + 40, caption.y + 30);
  mouseMove(caption.x + 80, caption.y + 60);
  mouseUp(caption.x + 80, caption.y + 60);
  expectEventually([&] { return current(target).rect; },
                   [&](const Rect& rect) { return rect != target.rect; },
                   "the window to be dragged by its title bar");
  EXPECT_FALSE(current(target).topmost);
}

// Any program can post a release at a point; only the release of a press the
// hook reported on a painted button acts.
TEST_P(ButtonPressTest, AReleasePostedByAnotherProgramActsOnNothing) {
  const WindowInfo target = startWithTarget();
  const ScreenPoint pin = middleOf(target, kTop);

  driver({"post", "--class", "TStrennix", "--msg", "8066", "--wparam",
          hex(static_cast<std::uint32_t>(pin.x)), "--lparam",
          hex(static_cast<std::uint32_t>(pin.y))});
  waitFor(
      [&] {
        const auto log = appLog();
        return std::find(log.begin(), log.end(),
                         "  No press was reported: the release is ignored") != log.end();
      },
      "the posted release to be ignored");

  EXPECT_FALSE(current(target).topmost);
  EXPECT_TRUE(dealtSlots().empty());
}

STRENNIX_TEST_EDITIONS(ButtonPressTest, runnableEditions());

}  // namespace
}  // namespace strennix::e2e
