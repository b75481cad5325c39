#include <gtest/gtest.h>

#include <string>

#include "app/core/exclusionlists.h"
#include "app/core/log.h"
#include "app/core/settings.h"
#include "eligibility/namefromwindow.h"
#include "eligibility/winauth.h"
#include "platform/sim/simdesktop.h"
#include "platform/winconst.h"

namespace strennix {
namespace {

class WinAuthTest : public ::testing::Test {
 protected:
  WinAuthTest() {
    log.debugMode = true;
    log.loggingMode = true;
    desk.processes[1234] = sim::SimProcess{"C:\\WINDOWS\\NOTEPAD.EXE", "notepad.exe", false};
    settingsForm = desk.addWindow(sim::SimWindow{});
    trayForm = desk.addWindow(sim::SimWindow{});
    auth.setOwnWindows(settingsForm, trayForm);
    notepad = addWindow("Notepad", 1234);
  }

  Hwnd addWindow(const std::string& className, ProcessId processId = 0) {
    sim::SimWindow window;
    window.className = className;
    window.processId = processId;
    return desk.addWindow(window);
  }

  bool passes(Hwnd window) {
    return auth.checkStyles(window) && auth.checkNames(window) && auth.checkClasses(window);
  }

  void firstRunMasks() {
    settings.excludeStyles = win::kWsPopup | win::kWsChild;
    settings.excludeExStyles =
        win::kWsExDlgModalFrame | win::kWsExToolWindow | win::kWsExTransparent;
  }

  sim::SimDesktop desk;
  Logger log{desk, desk};
  Settings settings;
  ExclusionLists lists;
  NameFromWindow names{desk, desk, desk, desk, log};
  WinAuth auth{desk, desk, names, settings, lists, log};
  Hwnd settingsForm{};
  Hwnd trayForm{};
  Hwnd notepad{};
};

TEST_F(WinAuthTest, WithNoMasksAndNoListsAnOrdinaryWindowPassesAll) {
  EXPECT_TRUE(auth.checkStyles(notepad));
  EXPECT_TRUE(auth.checkNames(notepad));
  EXPECT_TRUE(auth.checkClasses(notepad));
  EXPECT_TRUE(auth.passesAll(notepad));
}

TEST_F(WinAuthTest, TheProgramsOwnWindowsAreNeverExtended) {
  EXPECT_FALSE(auth.checkStyles(settingsForm));
  EXPECT_FALSE(auth.checkStyles(trayForm));
  EXPECT_FALSE(auth.passesAll(trayForm));
}

TEST_F(WinAuthTest, AMaximizedWindowIsRefusedUntilRestored) {
  desk.window(notepad).style |= win::kWsMaximize;
  EXPECT_FALSE(auth.checkStyles(notepad));
  desk.window(notepad).style &= ~win::kWsMaximize;
  EXPECT_TRUE(auth.checkStyles(notepad));
}

TEST_F(WinAuthTest, FirstRunMasksRefuseEachExcludedStyleBit) {
  firstRunMasks();
  EXPECT_TRUE(auth.checkStyles(notepad));
  for (const std::uint32_t style : {win::kWsPopup, win::kWsChild}) {
    desk.window(notepad).style = 0x00CF0000 | style;
    EXPECT_FALSE(auth.checkStyles(notepad)) << std::hex << style;
  }
  desk.window(notepad).style = 0x00CF0000;
  for (const std::uint32_t exStyle :
       {win::kWsExDlgModalFrame, win::kWsExToolWindow, win::kWsExTransparent}) {
    desk.window(notepad).exStyle = exStyle | win::kWsExTopmost;
    EXPECT_FALSE(auth.checkStyles(notepad)) << std::hex << exStyle;
  }
  desk.window(notepad).exStyle = win::kWsExTopmost;
  EXPECT_TRUE(auth.checkStyles(notepad)) << "bits outside the masks do not matter";
}

TEST_F(WinAuthTest, FileNamesMatchWithoutRegardToLetterCase) {
  settings.excludingNames = true;
  lists.excludedNames = {"calc.exe", "NOTEPAD.EXE"};
  EXPECT_FALSE(auth.checkNames(notepad));
  desk.processes[1234].baseName = "NOTEPAD.EXE";
  lists.excludedNames = {"notepad.exe"};
  EXPECT_FALSE(auth.checkNames(notepad));
  lists.excludedNames = {"notepad", "notepad.exe ", ""};
  EXPECT_TRUE(auth.checkNames(notepad)) << "whole entries only, not trimmed";
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(WinAuthTest, ClassEntriesMatchWholeNamesOnly) {
  settings.excludingClasses = true;
  lists.excludedClasses = {"Note"};
  EXPECT_TRUE(auth.checkClasses(notepad));
  lists.excludedClasses = {"Notepad "};
  EXPECT_TRUE(auth.checkClasses(notepad));
  lists.excludedClasses = {"WordPadClass", "notepad"};
  EXPECT_FALSE(auth.checkClasses(notepad));
  settings.excludingClasses = false;
  EXPECT_TRUE(auth.checkClasses(notepad)) << "a list switched off excludes nothing";
}

TEST_F(WinAuthTest, OnlyThe259FirstCharactersOfAClassNameAreCompared) {
  settings.excludingClasses = true;
  const Hwnd longClass = addWindow(std::string(300, 'C'));
  lists.excludedClasses = {std::string(259, 'C')};
  EXPECT_FALSE(auth.checkClasses(longClass));
  lists.excludedClasses = {std::string(300, 'C')};
  EXPECT_TRUE(auth.checkClasses(longClass));
}

TEST_F(WinAuthTest, AnUnknownEntryExcludesWindowsWhoseProcessCannotBeFound) {
  settings.excludingNames = true;
  lists.excludedNames = {"unknown"};
  const Hwnd orphan = addWindow("Orphan", 4242);
  desk.processes[77] = sim::SimProcess{"x.exe", "x.exe", true};
  const Hwnd refused = addWindow("Refused", 77);
  EXPECT_FALSE(auth.checkNames(orphan));
  EXPECT_FALSE(auth.checkNames(refused));
  EXPECT_TRUE(auth.checkNames(notepad));
}

TEST_F(WinAuthTest, NoProcessLookupWhileTheFileListIsOff) {
  lists.excludedNames = {"notepad.exe"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(passes(notepad));
  }
  EXPECT_EQ(desk.processLookups, 0);
  EXPECT_EQ(desk.modules.acquired, 0);
  EXPECT_EQ(desk.processHandles.acquired, 0);
  EXPECT_EQ(desk.files.count(kNameFromWindowLog), 0U);

  settings.excludingNames = true;
  EXPECT_FALSE(passes(notepad));
  EXPECT_EQ(desk.processLookups, 1);
}

TEST_F(WinAuthTest, PassesAllStopsAtTheFirstRefusal) {
  settings.excludingNames = true;
  settings.excludingClasses = true;
  lists.excludedClasses = {"Notepad"};
  desk.window(notepad).style |= win::kWsMaximize;
  EXPECT_FALSE(auth.passesAll(notepad));
  EXPECT_EQ(desk.processLookups, 0) << "styles refused first";
  EXPECT_EQ(desk.files[kWinAuthLog].find("checkNames"), std::string::npos);
}

TEST_F(WinAuthTest, EachPredicateTracesItsEntry) {
  passes(notepad);
  const std::string& text = desk.files[kWinAuthLog];
  EXPECT_NE(text.find("   Called checkStyles. (Several exits)\n"), std::string::npos);
  EXPECT_NE(text.find("   Called checkNames. (Several exits)\n"), std::string::npos);
  EXPECT_NE(text.find("   Called checkClasses. (Several exits)\n"), std::string::npos);
  log.loggingMode = false;
  desk.files.erase(kWinAuthLog);
  passes(notepad);
  EXPECT_EQ(desk.files.count(kWinAuthLog), 0U);
}

}  // namespace
}  // namespace strennix
