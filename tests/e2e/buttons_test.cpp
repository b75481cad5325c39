// The real program paints its buttons into other programs' title bars: at
// the places and with the icons of the default settings, never on windows it
// leaves alone, and also when the hook library is missing.
#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/titlebar.h"

namespace strennix::e2e {
namespace {

constexpr std::uint32_t kWsExToolWindow = 0x00000080;
constexpr std::uint32_t kWsMaximize = 0x01000000;
constexpr int kSwMaximize = 3;

class TitleBarButtonsTest : public EditionTest<TitleBarDesktop> {};

TEST_P(TitleBarButtonsTest, SixButtonsShowAtTheirPlacesAndThePinFollowsTheTopmostState) {
  writeDefaultSettings();
  startHidden();
  const WindowInfo target = openTarget({.title = "Target", .rect = Rect{100, 100, 740, 500}});
  ASSERT_EQ(target.rect, (Rect{100, 100, 740, 500}));

  // The worked example: on a window 640 pixels wide, from the right, at
  // window x = 566, 550, 534, 518, 502, 486 and y = 6.
  const std::vector<std::pair<std::string, int>> places = {
      {"pin", 566}, {"toicon", 550}, {"shade", 534}, {"tomenu", 518}, {"vmax", 502}, {"hmax", 486}};
  expectEventually(
      [&] {
        const Screen shot = grab("title-bar-buttons.png");
        std::map<std::string, bool> shown;
        for (const auto& [icon, x] : places) {
          shown[icon] = shot.shows(iconPicture(icon), target.rect.left + x, target.rect.top + 6);
        }
        return shown;
      },
      std::map<std::string, bool>{{"pin", true},
                                  {"toicon", true},
                                  {"shade", true},
                                  {"tomenu", true},
                                  {"vmax", true},
                                  {"hmax", true}},
      "which icons show at their places");
  // The right end of the title bar, four times enlarged.
  const std::string rightEnd =
      "260x30+" + std::to_string(target.rect.right - 260) + "+" + std::to_string(target.rect.top);
  convert({"title-bar-buttons.png", "-crop", rightEnd, "+repage", "-scale", "400%",
           "title-bar-buttons-zoom.png"});

  // Its own stay-on-top button makes the window topmost; the next tick
  // shows the pressed pin, and a second click the unpressed one again. The
  // two clicks are 9 pixels apart: two quick clicks on one spot would make a
  // double-click on the caption, which maximizes the window.
  const ScreenPoint pin = slotCorner(target, 1);
  click(pin.x + 3, pin.y + 7);
  waitFor([&] { return findWindow(Window::byHandle(target.hwnd)).value_or(WindowInfo{}).topmost; },
          "the target to be topmost");
  waitForButtons(target, true);
  click(pin.x + 12, pin.y + 7);
  waitFor([&] { return !findWindow(Window::byHandle(target.hwnd)).value_or(WindowInfo{}).topmost; },
          "the target not to be topmost");
  waitForButtons(target, false);
}

TEST_P(TitleBarButtonsTest, MaximizedToolAndListedClassWindowsGetNoButtons) {
  writeDefaultSettings({{"Classes", "1"}});
  writeFile("classes.txt", "ListedClass\r\n");
  startHidden({"--log"});

  // The same program paints an ordinary window.
  const WindowInfo ordinary = openTarget({.title = "Ordinary", .rect = Rect{20, 20, 420, 220}});
  waitForButtons(ordinary, false);

  const WindowInfo tool =
      openTarget({.title = "Tool", .exStyle = kWsExToolWindow, .rect = Rect{20, 260, 420, 460}});
  expectNoButtons(tool);

  const WindowInfo listed =
      openTarget({.title = "Listed", .className = "ListedClass", .rect = Rect{500, 20, 900, 220}});
  expectNoButtons(listed);

  const WindowInfo normal = openTarget({.title = "Maximized", .rect = Rect{500, 260, 900, 460}});
  showWindow(Window::byHandle(normal.hwnd), kSwMaximize);
  WindowInfo maximized;
  waitFor(
      [&] {
        maximized = findWindow(Window::byHandle(normal.hwnd)).value_or(WindowInfo{});
        return (maximized.style & kWsMaximize) != 0 && maximized.foreground;
      },
      "the window to be maximized in the foreground");
  expectNoButtons(maximized);
}

// A start from the log-on entry runs in another directory; the lists the
// user keeps beside the program are still in force, also one that Notepad
// saved with a UTF-8 byte-order mark.
TEST_P(TitleBarButtonsTest, StartedFromAnotherFolderTheListsBesideTheProgramAreInForce) {
  writeDefaultSettings({{"Classes", "1"}, {"Names", "1"}});
  writeFile("classes.txt", "\xEF\xBB\xBFListedClass\r\nOtherClass\r\n");
  writeFile("files.txt", "nothing-such.exe\r\n");
  runFolder = "elsewhere/";
  std::filesystem::create_directory(workFile("elsewhere"));
  WineProcess& strennix = startHidden({"--log"}, workFile("elsewhere"));

  const WindowInfo ordinary = openTarget({.title = "Ordinary", .rect = Rect{20, 20, 420, 220}});
  waitForButtons(ordinary, false);
  const WindowInfo listed =
      openTarget({.title = "Listed", .className = "ListedClass", .rect = Rect{500, 20, 900, 220}});
  expectNoButtons(listed);

  const auto listLog = logMessages(readFile(runFolder + "filecontrollog.txt"));
  EXPECT_EQ(std::count(listLog.begin(), listLog.end(), "Classes were read"), 1);
  EXPECT_EQ(std::count(listLog.begin(), listLog.end(), "Names were read"), 1);
  EXPECT_FALSE(fileExists("gfxlog.txt")) << "log files go to the working directory only";
  EXPECT_EQ(closeStrennix(strennix), 0);
}

// The helper goes too, so that where the program starts one (on 64-bit
// Windows) its failure is the same on every machine. All three lie in the
// working directory instead, where a bare name would find them.
TEST_P(TitleBarButtonsTest,
       WithoutTheHookLibrariesBesideItTheButtonsStillShowNoneIsTakenFromTheWorkingDirectory) {
  std::filesystem::create_directory(workFile("elsewhere"));
  for (const std::string& file : {own().library, other().library, other().helper}) {
    std::filesystem::rename(workFile(file), workFile("elsewhere/" + file));
  }
  runFolder = "elsewhere/";
  std::vector<std::string> failures = {
      "DLL not found. Fatal error", "MouseProc not found. Fatal error.",
      "MouseHook not valid. Fatal error.", "CBTProc not found. Fatal error.",
      "CBTHook not valid. Fatal error."};
  if (startsHelper()) {
    failures.push_back("Couldn't start " + other().helper + ". " + other().bits +
                       "-bit windows get no hooks.");
  }
  writeDefaultSettings();
  WineProcess& strennix = startHidden({"--debug"}, workFile("elsewhere"));
  const WindowInfo target = openTarget({.title = "Target", .rect = Rect{100, 100, 740, 500}});
  waitForButtons(target, false);

  expectEventually(
      [this] {
        std::vector<std::string> messages;
        for (const std::string& line : splitLines(readFile(runFolder + "setuphooklog.txt"))) {
          messages.push_back(logMessage(line).value_or("(no time stamp) " + line));
        }
        return messages;
      },
      failures, "the messages of setuphooklog.txt");
  for (const char* value : {"mH", "cbtH"}) {
    expectEventually([&] { return regQuery(kSettingsKey, value); },
                     [](const std::optional<RegValue>& stored) {
                       return stored && stored->type == "REG_DWORD" && stored->dword() == 0u;
                     },
                     std::string("a DWORD of 0 in ") + value);
  }

  // Nothing to take off at the end either.
  EXPECT_EQ(closeStrennix(strennix), 0);
  const auto lines = splitLines(readFile(runFolder + "setuphooklog.txt"));
  ASSERT_EQ(lines.size(), failures.size() + 2) << readFile(runFolder + "setuphooklog.txt");
  EXPECT_EQ(logMessage(lines[failures.size()]), "Didn't unhook mouse. Severe error.");
  EXPECT_EQ(logMessage(lines[failures.size() + 1]), "Didn't unhook CBT. Severe error.");
}

STRENNIX_TEST_EDITIONS(TitleBarButtonsTest, runnableEditions());

}  // namespace
}  // namespace strennix::e2e
