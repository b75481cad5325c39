#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/singlecopy.h"
#include "platform/sim/simdesktop.h"
#include "platform/winconst.h"
#include "resources/resource.h"
#include "resources/version.h"
#include "tests/support/defaultsettings.h"
#include "tests/unit/errorof.h"
#include "tests/unit/simsupport.h"

namespace strennix {
namespace {

constexpr const char* kKey = "Software\\Corvane inc.\\Strennix";
constexpr const char* kStamp = "Tue Dec 08 03:14:48 2026";

class MainFormTest : public testsupport::ProgramTest {
 protected:
  // Settings as the first start leaves them, so that the form starts hidden.
  void storeDefaults() {
    writeSettings(testsupport::firstStartSettings({{testsupport::kInstallPath, "C:\\Apps\\"}}));
  }

  Hwnd addTarget(Rect rect) {
    sim::SimWindow window;
    window.rect = rect;
    window.title = "Editor";
    const Hwnd handle = sim.addWindow(window);
    sim.setForeground(handle);
    return handle;
  }

  [[nodiscard]] std::string file(const std::string& name) const {
    const auto found = sim.files.find(name);
    return found == sim.files.end() ? std::string() : found->second;
  }
};

TEST_F(MainFormTest, SwitchesAreWholeArgumentsInAnyLetterCase) {
  storeDefaults();
  sim.commandLine = {"C:\\Apps\\strennix.exe", "--DeBuG", "--debugx", "-log", "/log"};
  start();
  EXPECT_TRUE(program->log().debugMode);
  EXPECT_FALSE(program->log().loggingMode);
  EXPECT_EQ(file("applog.txt")
                .rfind(std::string(kStamp) + "   Starting application in debugmode.\n"
                                             "Dumping some systeminfo.\n",
                       0),
            0U);
  EXPECT_TRUE(file("setupapplog.txt").empty()) << "no trace lines with --debug alone";
}

TEST_F(MainFormTest, LogSwitchAfterAnotherArgumentTurnsOnTracing) {
  storeDefaults();
  sim.commandLine = {"C:\\Apps\\strennix.exe", "--debug", "notes.txt", "--LOG"};
  start();
  EXPECT_TRUE(program->log().loggingMode);
  const std::string applog = file("applog.txt");
  const auto debugLine = applog.find("Starting application in debugmode.");
  const auto logLine = applog.find("Starting application in loggingmode.");
  ASSERT_NE(debugLine, std::string::npos);
  ASSERT_NE(logLine, std::string::npos);
  EXPECT_LT(debugLine, logLine);
  EXPECT_NE(file("setupapplog.txt").find("   Called regToVars. (Critical)\n"), std::string::npos);
}

TEST_F(MainFormTest, WithoutASwitchNoLogFileIsTouched) {
  storeDefaults();
  sim.files["hook.dll"] = "";
  start();
  sim.files.erase("hook.dll");
  EXPECT_TRUE(sim.files.empty());
}

TEST_F(MainFormTest, SystemInformationDumpFollowsTheStartLines) {
  storeDefaults();
  sim.osVersion = OsVersion{6, 1, 7601, 2};
  sim.commandLine = {"C:\\Apps\\strennix.exe", "--debug"};
  start();
  const std::string expected = std::string(kStamp) +
                               "   Starting application in debugmode.\n"
                               "Dumping some systeminfo.\n"
                               "OSVERSIONINFO.dwMajorVersion: 6\n"
                               "OSVERSIONINFO.dwMinorVersion: 1\n"
                               "OSVERSIONINFO.dwBuildNumber: 7601\n"
                               "OSVERSIONINFO.dwdwPlatformId: 2\n"
                               "Strnx version: " +
                               kVersion +
                               "\n"
                               "Path: C:\\Apps\\strennix.exe\n"
                               "Finding hook.dll: 0\n"
                               "Variables at " +
                               kStamp + "\n**********\n";
  EXPECT_EQ(file("applog.txt").substr(0, expected.size()), expected);
}

TEST_F(MainFormTest, VariablesDumpListsEveryFieldAndMasksAsSignedNumbers) {
  storeDefaults();
  sim.commandLine = {"C:\\Apps\\strennix.exe", "--debug"};
  start();
  const std::string applog = file("applog.txt");
  const std::string expected =
      "**********\n"
      "Strennix->usingVMax=1\nStrennix->usingHMax=1\nStrennix->usingShade=1\n"
      "Strennix->usingMinIcon=1\nStrennix->usingMinMenu=1\nStrennix->usingTop=1\n"
      "Strennix->numberOfButtons=6\nStrennix->priority=4\nStrennix->buttonXOffset=58\n"
      "Strennix->buttonYOffset=6\nStrennix->buttonXStretch=16\nStrennix->buttonYStretch=14\n"
      "Strennix->drawOnAll=0\nStrennix->excludeStyles=-1073741824\n"
      "Strennix->excludeExStyles=161\nStrennix->excludingClasses=0\n"
      "Strennix->excludingNames=0\nStrennix->menuStay=1\nStrennix->menuSort=1\n"
      "Strennix->numberOfMinimizedWindows=0\nStrennix->numberOfTrayedWindows=0\n"
      "Strennix->numberOfShadedWindows=0\n**********\n";
  EXPECT_NE(applog.find(expected), std::string::npos) << applog;
}

TEST_F(MainFormTest, LanguageValueOfAnotherTypeStopsTheStartWithItsError) {
  storeDefaults();
  sim.setRegString(RegRoot::CurrentUser, kKey, "lang", "7");
  EXPECT_EQ(testsupport::errorOf([this] { start(); }), "Invalid data type for 'lang'");
}

TEST_F(MainFormTest, LanguageValueSelectsTheGermanCaptions) {
  storeDefaults();
  sim.setRegDword(RegRoot::CurrentUser, kKey, "lang", 0x0407);
  sim.files["lang\\0x07.lang"] = "<begin_en>Shade</end_en><begin>Aufrollen</end>\r\n";
  TStrennix& main = start();
  EXPECT_EQ(sim.formControlsPort().text(main.control(IDC_CHKSHADE)), "Aufrollen");
  EXPECT_EQ(sim.formControlsPort().text(main.control(IDC_CHKTOP)), "Stay on top");
}

TEST_F(MainFormTest, TitleBarClicksResolveToTheWorkedExampleSlots) {
  storeDefaults();
  start();
  const Hwnd editor = addTarget(Rect{100, 50, 740, 450});

  titleBarClick(586, 60);
  titleBarClick(675, 56);
  titleBarClick(675, 69);
  EXPECT_TRUE(sim.placementCalls.empty());
  EXPECT_EQ(sim.window(editor).rect, (Rect{100, 50, 740, 450}));

  titleBarClick(675, 60);
  EXPECT_NE(sim.window(editor).exStyle & win::kWsExTopmost, 0U) << "pos 0 toggles stay-on-top";
  titleBarClick(666, 60);
  EXPECT_EQ(sim.window(editor).exStyle & win::kWsExTopmost, 0U) << "left edge column is pos 0";

  titleBarClick(600, 60);
  EXPECT_EQ(sim.window(editor).rect.width(), 1024) << "pos 5 maximizes horizontally";
  EXPECT_EQ(program->lists().stretched(Axis::Horizontal).count(), 1U);

  titleBarClick(665 + (1024 - 740), 60);
  EXPECT_FALSE(sim.windowInfoPort().isVisible(editor)) << "pos 1 minimizes to a tray icon";
  EXPECT_EQ(program->lists().trayed().count(), 1);
}

TEST_F(MainFormTest, ClicksOnIneligibleOrDesktopForegroundDoNothing) {
  storeDefaults();
  sim.commandLine = {"C:\\Apps\\strennix.exe", "--log"};
  TStrennix& main = start();
  sim.setForeground(main.handle());
  titleBarClick(675, 60);
  sim.setForeground(sim.desktopPort().desktopWindow());
  titleBarClick(675, 60);
  EXPECT_TRUE(sim.placementCalls.empty());
  EXPECT_EQ(file("applog.txt").find("Handled STRNX_NCLBUTTONUP"), std::string::npos);
}

TEST_F(MainFormTest, OnlyTwoButtonsMakeAThirtyTwoPixelRow) {
  storeDefaults();
  sim.setRegString(RegRoot::CurrentUser, kKey, "Buttons", "<vmax><top>");
  start();
  const Hwnd editor = addTarget(Rect{100, 50, 740, 450});
  titleBarClick(650, 60);
  EXPECT_EQ(sim.window(editor).rect, (Rect{100, 50, 740, 450})) << "left of the 32-pixel row";
  titleBarClick(660, 60);
  EXPECT_EQ(sim.window(editor).rect, (Rect{100, 0, 740, 738})) << "pos 1 maximizes vertically";
}

// The hook library reports a press and a release on a painted button.
class HeldButtonTest : public MainFormTest {
 protected:
  void SetUp() override {
    storeDefaults();
    sim.setRegString(RegRoot::CurrentUser, kKey, "DrawOn", "<all>");
    main = &start();
    editor = addTarget(Rect{100, 50, 740, 450});
    other = addTarget(Rect{300, 300, 900, 700});
    timerTick();
  }

  void press(Hwnd window, std::int32_t slot) {
    sim.post(main->handle(), win::kStrnxButtonDown, handleBits(window), slot);
  }
  void release(Hwnd window, std::int32_t slot) {
    sim.post(main->handle(), win::kStrnxButtonUp, handleBits(window), slot);
  }
  bool topmost(Hwnd window) { return (sim.window(window).exStyle & win::kWsExTopmost) != 0; }

  TStrennix* main = nullptr;
  Hwnd editor{};
  Hwnd other{};
};

TEST_F(HeldButtonTest, AButtonHeldDownShowsSunkenAndActsOnItsWindowWhenReleasedOverIt) {
  ASSERT_EQ(sim.desktopPort().foregroundWindow(), other);

  press(editor, 0);
  EXPECT_EQ(sim.desktopPort().foregroundWindow(), editor)
      << "brought to the front as by a title-bar press";
  ASSERT_EQ(sim.sunkenEdges.size(), 1U);
  EXPECT_EQ(sim.sunkenEdges[0].window, editor);
  EXPECT_EQ(sim.sunkenEdges[0].rect, (Rect{566, 6, 582, 20}));
  EXPECT_FALSE(topmost(editor)) << "nothing runs at the press";

  release(editor, 0);
  EXPECT_TRUE(topmost(editor));
  EXPECT_FALSE(topmost(other));
  timerTick();
  EXPECT_EQ(sim.sunkenEdges.size(), 1U) << "drawn raised again";
}

TEST_F(HeldButtonTest, AReleaseOffThePressedButtonCancelsIt) {
  press(editor, 2);
  release(editor, -1);
  press(editor, 2);
  release(editor, 0);
  release(editor, 2);

  EXPECT_EQ(sim.window(editor).rect, (Rect{100, 50, 740, 450})) << "not shaded";
  EXPECT_FALSE(topmost(editor));
  EXPECT_TRUE(sim.placementCalls.empty());
}

TEST_F(HeldButtonTest, StrayOrForgedReportsChangeNothing) {
  sim::SimWindow popup;
  popup.style = win::kWsPopup;
  const Hwnd unpainted = sim.addWindow(popup);
  sim.setForeground(other);
  release(editor, 0);
  press(unpainted, 0);
  press(Hwnd{0xDEAD}, 0);
  press(editor, 6);
  press(editor, -1);
  press(main->handle(), 0);
  release(editor, 0);

  EXPECT_EQ(sim.desktopPort().foregroundWindow(), other);
  EXPECT_TRUE(sim.sunkenEdges.empty());
  EXPECT_TRUE(sim.placementCalls.empty());
  EXPECT_FALSE(topmost(editor));
}

// Anyone can post a release at a point: only one that ends a press the hook
// reported acts, and a press whose release was lost is over at the next.
TEST_F(HeldButtonTest, AReleaseActsOnlyWhenItEndsAReportedPress) {
  sim.setForeground(editor);
  sim.post(main->handle(), win::kStrnxNcLButtonUp, 675, 60);
  EXPECT_FALSE(topmost(editor)) << "a bare release over the button";

  press(editor, 2);
  press(other, 0);
  sim.post(main->handle(), win::kStrnxNcLButtonUp, 643, 60);
  release(editor, 2);
  EXPECT_EQ(sim.window(editor).rect, (Rect{100, 50, 740, 450})) << "the first press was over";

  press(editor, 0);
  sim.post(main->handle(), win::kStrnxNcLButtonUp, 675, 60);
  EXPECT_TRUE(topmost(editor)) << "the release of a reported press, in the title bar";
  sim.post(main->handle(), win::kStrnxNcLButtonUp, 675, 60);
  EXPECT_TRUE(topmost(editor)) << "a second release ends nothing";
}

TEST_F(HeldButtonTest, AClosedWindowHasTheButtonsItCoveredPaintedAgain) {
  const Hwnd closed = addTarget(Rect{200, 20, 500, 200});
  timerTick();
  sim.destroyWindow(closed);
  sim.draws.clear();
  sim.post(main->handle(), win::kStrnxDestroy, handleBits(closed), 0);
  sim.tick(main->handle(), IDT_TIMER1 + 1);
  EXPECT_EQ(sim.draws.size(), 12U) << "the two windows left";
}

// The system's window events are watched while the program runs; after the
// end sequence neither they nor the hook's reports paint anything.
TEST_F(MainFormTest, WindowEventsAreWatchedUntilTheEndAndLateReportsPaintNothing) {
  storeDefaults();
  TStrennix& main = start();
  EXPECT_EQ(sim.windowEventWatches.open(), 1);
  const Hwnd editor = addTarget(Rect{100, 50, 740, 450});

  main.endApp();
  EXPECT_EQ(sim.windowEventWatches.open(), 0);
  sim.post(main.handle(), win::kStrnxCaptionChange, handleBits(editor), 0);
  sim.post(main.handle(), win::kStrnxUncovered, handleBits(editor), 0);
  EXPECT_TRUE(sim.draws.empty());
  EXPECT_FALSE(sim.timers.contains({main.handle(), IDT_TIMER1 + 1}));
}

TEST_F(MainFormTest, TrayIconMessagesForFreeOrUnknownSlotsAreIgnored) {
  storeDefaults();
  start();
  trayIconMessage(0, win::kWmLButtonUp);
  trayIconMessage(20, win::kWmLButtonUp);
  trayIconMessage(0xFFFFFFFF, win::kWmLButtonUp);
  EXPECT_EQ(program->lists().trayed().count(), 0);
}

TEST_F(MainFormTest, ALeftReleaseOnAWindowsTrayIconRestoresIt) {
  storeDefaults();
  TStrennix& main = start();
  const Hwnd editor = addTarget(Rect{100, 50, 740, 450});
  titleBarClick(665, 60);
  ASSERT_FALSE(sim.windowInfoPort().isVisible(editor));
  trayIconMessage(0, win::kWmRButtonUp);
  EXPECT_FALSE(sim.windowInfoPort().isVisible(editor));
  trayIconMessage(0, win::kWmLButtonUp);
  EXPECT_TRUE(sim.windowInfoPort().isVisible(editor));
  EXPECT_EQ(sim.desktopPort().foregroundWindow(), editor);
  EXPECT_EQ(sim.trayIcons.count({main.handle(), 0U}), 0U);
}

TEST_F(MainFormTest, DoubleClickOnTheOwnIconShowsTheHiddenOrMinimizedSettingsWindow) {
  storeDefaults();
  TStrennix& main = start();
  EXPECT_FALSE(application.showMainForm);
  ownIconMessage(win::kWmLButtonDblClk);
  EXPECT_TRUE(sim.windowInfoPort().isVisible(main.handle()));
  EXPECT_EQ(sim.desktopPort().foregroundWindow(), main.handle());

  sim.window(main.handle()).style |= win::kWsMinimize;
  ownIconMessage(win::kWmLButtonDblClk);
  EXPECT_FALSE(sim.windowInfoPort().isMinimized(main.handle()));
  EXPECT_TRUE(sim.windowInfoPort().isVisible(main.handle()));
}

TEST_F(MainFormTest, RightClickOnTheOwnIconShowsTheTrayMenuInTheWorkAreaOfTheCursorsMonitor) {
  storeDefaults();
  start();
  sim.cursor = Point{1000, 700};
  ownIconMessage(win::kWmRButtonUp);
  const Rect frame = sim.windowInfoPort().windowRect(tray->handle());
  EXPECT_EQ(frame.right, 1000);
  EXPECT_EQ(frame.bottom, 700);

  // On a taskbar at the top of a monitor left of the primary one: inside
  // that monitor's work area.
  sim.monitors.push_back(Monitor{Rect{-1280, 0, 0, 1024}, Rect{-1280, 30, 0, 1024}});
  sim.cursor = Point{-10, 10};
  ownIconMessage(win::kWmRButtonUp);
  const Rect left = sim.windowInfoPort().windowRect(tray->handle());
  EXPECT_EQ(left.right, -10);
  EXPECT_EQ(left.top, 30);
  EXPECT_TRUE(sim.windowInfoPort().isVisible(tray->handle()));
  EXPECT_EQ(sim.desktopPort().foregroundWindow(), tray->handle());
}

TEST_F(MainFormTest, ARestartedShellGetsEveryIconBack) {
  storeDefaults();
  TStrennix& main = start();
  const Hwnd editor = addTarget(Rect{100, 50, 740, 450});
  sim.window(editor).smallIcon = IconHandle{77};
  titleBarClick(665, 60);
  sim.trayIcons.clear();

  std::int32_t result = 0;
  main.onMessage(sim.uiPort().registerWindowMessage("TaskbarCreated"), 0, 0, result);
  ASSERT_EQ(sim.trayIcons.count({main.handle(), 1006U}), 1U);
  EXPECT_EQ(sim.trayIcons.at({main.handle(), 1006U}).tip, "Strennix");
  ASSERT_EQ(sim.trayIcons.count({main.handle(), 0U}), 1U);
  EXPECT_EQ(sim.trayIcons.at({main.handle(), 0U}).icon, IconHandle{77});
  EXPECT_EQ(sim.trayIcons.at({main.handle(), 0U}).tip, "Editor");
}

// Explorer also announces itself when it still has every icon.
TEST_F(MainFormTest, ATaskbarCreatedWithTheIconsStillThereLogsNoFailure) {
  storeDefaults();
  sim.commandLine = {"C:\\Apps\\strennix.exe", "--debug"};
  TStrennix& main = start();
  addTarget(Rect{100, 50, 740, 450});
  titleBarClick(665, 60);
  ASSERT_EQ(sim.trayIcons.size(), 2U);
  const std::uint32_t taskbarCreated = sim.uiPort().registerWindowMessage("TaskbarCreated");

  std::int32_t result = 0;
  main.onMessage(taskbarCreated, 0, 0, result);
  EXPECT_EQ(sim.trayIcons.size(), 2U);
  EXPECT_EQ(file("applog.txt").find("failed."), std::string::npos) << file("applog.txt");

  // A shell that takes no icon at all is still logged, once an icon.
  sim.trayIcons.clear();
  sim.refuseTrayAdds = true;
  main.onMessage(taskbarCreated, 0, 0, result);
  const std::string applog = file("applog.txt");
  EXPECT_NE(applog.find("::TrayMessage failed."), std::string::npos);
  EXPECT_NE(applog.find("::msgToTrayicon failed."), std::string::npos);
}

TEST_F(MainFormTest, ASaveThatFailsToReloadShowsTheErrorAndTheProgramGoesOn) {
  storeDefaults();
  TStrennix& main = start();
  sim.setRegString(RegRoot::CurrentUser, kKey, "ButtonXOffset", "1O");
  sim.click(main.handle(), IDC_BTNSAVE);
  ASSERT_EQ(sim.messageBoxes.size(), 1U);
  EXPECT_EQ(sim.messageBoxes[0].text, "'1O' is not a valid integer value.");
  EXPECT_EQ(sim.messageBoxes[0].caption, "Strennix");
  EXPECT_EQ(sim.messageBoxes[0].flags, win::kMbIconStop);
  EXPECT_EQ(sim.timers.count({main.handle(), IDT_TIMER1}), 1U);
}

// The buttons are loaded before the value that fails, so a newly ticked one
// is painted at once; its click has to work as well.
TEST_F(MainFormTest, AfterASaveWhoseReloadFailsANewlyTickedButtonAnswersItsClick) {
  storeDefaults();
  writeSettings({{"Buttons", "<top>"}});
  TStrennix& main = start();
  sim.controlState(main.handle(), IDC_CHKSHADE).checked = true;
  sim.setRegString(RegRoot::CurrentUser, kKey, "ButtonXOffset", "1O");
  sim.click(main.handle(), IDC_BTNSAVE);
  ASSERT_EQ(sim.messageBoxes.size(), 1U);

  // Shade is the second slot from the right: x from 650 to 665.
  const Hwnd editor = addTarget(Rect{100, 50, 740, 450});
  titleBarClick(655, 60);
  EXPECT_EQ(sim.window(editor).rect.height(), 27);
}

TEST_F(MainFormTest, ExitGivesWindowsBackAndRemovesEveryIcon) {
  storeDefaults();
  TStrennix& main = start();
  const Hwnd shaded = addTarget(Rect{100, 50, 740, 450});
  titleBarClick(640, 60);
  ASSERT_EQ(sim.window(shaded).rect.height(), 27);
  const Hwnd trayed = addTarget(Rect{100, 50, 740, 450});
  titleBarClick(665, 60);
  const Hwnd menued = addTarget(Rect{100, 50, 740, 450});
  titleBarClick(620, 60);
  ASSERT_FALSE(sim.windowInfoPort().isVisible(menued));

  sim.click(main.handle(), IDC_BTNQUIT);
  EXPECT_EQ(sim.window(shaded).rect.height(), 400);
  EXPECT_TRUE(sim.windowInfoPort().isVisible(trayed));
  EXPECT_TRUE(sim.windowInfoPort().isVisible(menued));
  EXPECT_TRUE(sim.trayIcons.empty());
  EXPECT_TRUE(sim.quitRequested);
}

// A second start brings up the running copy's settings window and runs no
// further, so that clicks and destroy reports all reach one copy.
TEST_F(MainFormTest, ASecondCopyShowsTheRunningCopysSettingsAndDoesNotRun) {
  storeDefaults();
  std::optional<Mutex> first = claimSingleCopy(sim, sim);
  ASSERT_TRUE(first.has_value());
  TStrennix& main = start();
  ASSERT_FALSE(sim.windowInfoPort().isVisible(main.handle()));

  EXPECT_FALSE(claimSingleCopy(sim, sim).has_value());
  EXPECT_TRUE(sim.windowInfoPort().isVisible(main.handle()));
  EXPECT_EQ(sim.desktopPort().foregroundWindow(), main.handle());
  EXPECT_EQ(sim.foregroundAllowed,
            std::vector<ProcessId>{sim.windowInfoPort().processOf(main.handle())});
  EXPECT_EQ(sim.mutexes.open(), 1) << "the second copy keeps no claim";

  first.reset();
  EXPECT_TRUE(claimSingleCopy(sim, sim).has_value()) << "a copy that ended leaves the claim free";
}

TEST_F(MainFormTest, UnderWow64TheHelperStartsOnceTheHooksAreInAndEndsAtExit) {
  storeDefaults();
  sim.libraries["hook.dll"] = {"MouseProc", "CBTProc"};
  sim.wow64 = true;
  sim.programs["C:\\Apps\\strennix64.exe"] = sim::SimProgram{};
  sim.commandLine.emplace_back("--log");
  TStrennix& main = start();
  ASSERT_EQ(sim.started.size(), 1U);
  const std::vector<std::string> begin = testsupport::logLines(sim, kSetupHookLog);
  ASSERT_GE(begin.size(), 4U);
  EXPECT_EQ(std::vector<std::string>(begin.end() - 4, begin.end()),
            (std::vector<std::string>{"Exited beginHook.", "Called beginHelper",
                                      "  Started strennix64.exe", "Exited beginHelper"}));

  sim.files.erase(kSetupHookLog);
  sim.click(main.handle(), IDC_BTNQUIT);
  EXPECT_TRUE(sim.started[0].askedToEnd);
  EXPECT_EQ(testsupport::logLines(sim, kSetupHookLog),
            (std::vector<std::string>{"Called endHook", "Exited endHook", "Called endHelper",
                                      "Exited endHelper"}));
}

}  // namespace
}  // namespace strennix
