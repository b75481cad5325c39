// Strennix on 64-bit Windows (a 64-bit Wine prefix) beside programs of the
// other bitness: the program paints its buttons into their windows and acts
// on them, while its helper of that bitness (strennix64.exe with hook64.dll
// for the 32-bit edition, strennix32.exe with hook.dll for the 64-bit one)
// reports their clicks and closes and lives exactly as long as the program:
// a WM_QUIT from another program does not end it, and started by another
// program for a process that is not Strennix it refuses.
// The windows are the other bitness's test driver's and Wine's own Notepad of
// that bitness, clicked with the real mouse. Only a machine that runs both
// editions runs these.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/hookprotocol.h"
#include "resources/resource.h"
#include "tests/e2e/titlebar.h"

namespace strennix::e2e {
namespace {

class Win64WindowsTest : public EditionTest<WindowActionsDesktop, Bitnesses::Both> {
 protected:
  // A window of the other bitness, titled "<bits>-bit <what>".
  WindowInfo openOther(const std::string& what, const Rect& rect) {
    return openTarget({.title = other().bits + "-bit " + what, .rect = rect, .otherBitness = true});
  }

  // The helper has no window to wait for; its hooks are in place long before
  // the next window has opened.
  void waitForHelper() {
    waitFor([this] { return processesOf(other().helper).size() == 1; },
            "one " + other().helper + " to run");
  }

  // As any program could: a WM_QUIT to each of the helper's threads, once
  // its first thread takes messages.
  void postQuitToHelper() {
    waitFor(
        [this] {
          return runDriver({"postquit", "--exe", other().helper}).exitCode == 0;
        },
        "a WM_QUIT to reach " + other().helper);
  }

  void waitUntilHelperGone() {
    waitFor([this] { return processesOf(other().helper).empty(); }, other().helper + " to end");
  }

  // Where a 64-bit prefix keeps Wine's own programs of the other bitness.
  [[nodiscard]] std::filesystem::path otherSystemFolder() const {
    return prefixDir() / "drive_c/windows" / (other().bits == "64" ? "system32" : "syswow64");
  }

  // Clicks the button and waits until the window's size passes the check.
  WindowInfo clickUntil(const WindowInfo& window, int slot,
                        const std::function<bool(const Rect&)>& check, const std::string& what) {
    clickButton(window, slot);
    return waitForState(
        window, [&](const WindowInfo& info) { return check(info.rect); }, what);
  }
};

// A window of the program's own bitness is clicked last: the helper's hooks
// must not keep its own from being reported. The helper gets a WM_QUIT
// first, which must not end it.
TEST_P(Win64WindowsTest,
       SixButtonsShowOnAWindowOfTheOtherBitnessAfterAForgedQuitEachToggleIsUndoneAndOwnOnesWork) {
  writeDefaultSettings();
  startWithTrayIcon({});
  waitForHelper();
  const std::vector<pid_t> helper = processesOf(other().helper);
  postQuitToHelper();
  const Rect area = workArea();
  const WindowInfo target = openOther("window", Rect{200, 150, 640, 480});
  waitForButtons(target, false);

  clickButton(target, kTop);
  waitForState(
      target, [](const WindowInfo& info) { return info.topmost; }, "to stay on top");
  waitForButtons(target, true);
  clickButton(target, kTop);
  waitForState(
      target, [](const WindowInfo& info) { return info.hwnd != 0 && !info.topmost; },
      "to leave the top");

  WindowInfo now = clickUntil(
      target, kShade, [](const Rect& r) { return r.height() == kShadedHeight; }, "to roll up");
  EXPECT_EQ(now.rect, (Rect{200, 150, 640, 150 + kShadedHeight}));
  now = clickUntil(
      target, kShade, [](const Rect& r) { return r.height() == 330; }, "to roll down");
  EXPECT_EQ(now.rect, target.rect);

  now = clickUntil(
      target, kVMax, [&](const Rect& r) { return r.height() == area.height(); },
      "to fill the work area's height");
  EXPECT_EQ(now.rect.top, area.top);
  clickUntil(
      target, kVMax, [](const Rect& r) { return r.height() == 330; }, "to get its height back");
  now = clickUntil(
      target, kHMax, [&](const Rect& r) { return r.width() == area.width(); },
      "to fill the work area's width");
  EXPECT_EQ(now.rect.left, area.left);
  now = clickUntil(
      target, kHMax, [](const Rect& r) { return r.width() == 440; }, "to get its width back");
  EXPECT_TRUE(now.visible);
  EXPECT_FALSE(now.topmost);

  const WindowInfo own = openTarget({.title = "Own bitness", .rect = Rect{100, 500, 540, 700}});
  waitForButtons(own, false);
  clickUntil(
      own, kShade, [](const Rect& r) { return r.height() == kShadedHeight; }, "to roll up");
  clickUntil(
      own, kShade, [](const Rect& r) { return r.height() == 200; }, "to roll down");
  EXPECT_EQ(processesOf(other().helper), helper) << "the forged WM_QUIT ended nothing";
}

// Started by another program for a process that is not strennix.exe from
// its folder, the helper ends before it loads its library.
TEST_P(Win64WindowsTest, AHelperStartedForAProcessNotFromItsFolderRefusesAndHooksNothing) {
  const WindowInfo window = openOther("window", Rect{200, 150, 640, 480});
  const std::string resources = driver({"guiresources", "--hwnd", hex(window.hwnd)});
  ASSERT_EQ(resources.rfind("pid=", 0), 0U) << resources;
  const std::string pid = resources.substr(4, resources.find(' ') - 4);
  WineProcess& helper = startProgram(workFile(other().helper), {pid, "4"});
  EXPECT_EQ(helper.waitForExit(), static_cast<int>(hookprotocol::HelperExit::NotTheProgram));
}

// The window closed while hidden is shaded too: both of its records must go
// with it, and Exit gives back only the windows that are still there.
TEST_P(Win64WindowsTest, HiddenWindowsComeBackByIconMenuAndExitAndAClosedOneLeavesNoRecord) {
  writeDefaultSettings();
  const WindowInfo iconized = openOther("behind an icon", Rect{60, 60, 460, 300});
  const WindowInfo listed = openOther("in the menu", Rect{520, 60, 920, 300});
  const WindowInfo closed = openOther("closed", Rect{300, 360, 700, 600});
  const Started started = startWithTrayIcon({"--log"});
  waitForHelper();

  clickButton(iconized, kToIcon);
  waitUntilHidden(iconized);
  click(started.icon.x - kTrayCell, started.icon.y);
  EXPECT_EQ(waitUntilBack(iconized).rect, iconized.rect);

  clickButton(listed, kToMenu);
  waitUntilHidden(listed);
  clickUntil(
      closed, kShade, [](const Rect& r) { return r.height() == kShadedHeight; }, "to roll up");
  clickButton(closed, kToMenu);
  waitUntilHidden(closed);
  click(started.icon.x, started.icon.y, 3);
  waitForState(
      Window::byClass("TTrayForm"), [](const WindowInfo& info) { return info.visible; },
      "the tray menu to show");
  const std::vector<ListItem> items = menuItems();
  ASSERT_EQ(texts(items), (std::vector<std::string>{closed.title, listed.title}));
  const ScreenPoint title = centre(items[1].rect);
  doubleClick(title.x, title.y);
  EXPECT_EQ(waitUntilBack(listed).rect, listed.rect);

  closeWindow(Window::byHandle(closed.hwnd));
  std::vector<std::string> left;
  waitFor(
      [&] {
        left = texts(menuItems());
        return left.empty();
      },
      "the closed window to leave the tray menu");
  doubleClick(started.icon.x, started.icon.y);
  waitForVisibleWindow(mainForm);
  const VariableDump dump =
      dumpAfter([this] { clickControl(mainForm, IDC_BTNSAVE); }, "\"Save changes\"");
  EXPECT_EQ(dump.at("numberOfShadedWindows"), "0");
  EXPECT_EQ(dump.at("numberOfMinimizedWindows"), "0");

  clickButton(iconized, kToIcon);
  waitUntilHidden(iconized);
  clickButton(listed, kToMenu);
  waitUntilHidden(listed);
  clickControl(mainForm, IDC_BTNQUIT);
  EXPECT_EQ(started.process.waitForExit(), 0);
  for (const WindowInfo& hidden : {iconized, listed}) {
    const WindowInfo shown = waitForState(
        hidden, [](const WindowInfo& info) { return info.visible; }, "to show again");
    EXPECT_EQ(shown.rect, hidden.rect) << hidden.title;
  }
  waitUntilHelperGone();
}

TEST_P(Win64WindowsTest,
       NotepadShadesByRealClicksAListedDriverGetsNoButtonsAndTheHelperDiesWithAKill) {
  writeDefaultSettings({{"Names", "1"}});
  writeFile("files.txt", other().driver + "\r\n");
  WineProcess& strennix = startHidden({"--log"});
  waitForHelper();

  const WindowInfo listed = openOther("listed", Rect{500, 300, 900, 500});
  expectNoButtons(listed);

  startProgram(otherSystemFolder() / "notepad.exe", {});
  const WindowInfo opened = waitForVisibleWindow(Window::byClass("Notepad"));
  const Rect place{100, 100, 600, 400};
  moveWindow(Window::byHandle(opened.hwnd), place);
  const WindowInfo notepad = bringToFront(opened.hwnd);
  ASSERT_EQ(notepad.rect, place);
  waitForButtons(notepad, false);
  WindowInfo now = clickUntil(
      notepad, kShade, [](const Rect& r) { return r.height() == kShadedHeight; }, "to roll up");
  EXPECT_EQ(now.rect, (Rect{100, 100, 600, 100 + kShadedHeight}));
  now = clickUntil(
      notepad, kShade, [](const Rect& r) { return r.height() == 300; }, "to roll down");
  EXPECT_EQ(now.rect, place);

  strennix.kill();
  waitUntilHelperGone();
}

STRENNIX_TEST_EDITIONS(Win64WindowsTest, editionsWithBothBitnesses());

}  // namespace
}  // namespace strennix::e2e
