#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/core/exclusionlists.h"
#include "app/core/filecontrol.h"
#include "app/core/log.h"
#include "app/core/registrystore.h"
#include "platform/sim/simdesktop.h"
#include "settings/settingsstore.h"
#include "tests/support/defaultsettings.h"
#include "tests/unit/errorof.h"

namespace strennix {
namespace {

using sim::SimDesktop;

class SettingsStoreTest : public ::testing::Test {
 protected:
  SettingsStoreTest() {
    for (const auto& [name, value] : testsupport::firstStartSettings()) {
      set(name, value);
    }
  }

  void set(const std::string& name, const std::string& value) {
    desk.setRegString(RegRoot::CurrentUser, kSettingsKeyPath, name, value);
  }

  void load() {
    store.regToVars(settings, lists, [this](std::uint32_t ms) { intervals.push_back(ms); });
  }

  std::string loadError() {
    return testsupport::errorOf([this] { load(); });
  }

  SimDesktop desk;
  Logger log{desk, desk};
  DataFiles dataFiles{desk, desk};
  FileControl fileControl{dataFiles, desk, desk, log};
  SettingsStore store{desk, fileControl, log};
  Settings settings;
  ExclusionLists lists;
  std::vector<std::uint32_t> intervals;
};

TEST(SettingsStoreInterval, RedrawIntervalFallsByAHundredPerPriorityStep) {
  EXPECT_EQ(redrawInterval(0), 1000u);
  EXPECT_EQ(redrawInterval(4), 600u);
  EXPECT_EQ(redrawInterval(9), 100u);
}

TEST_F(SettingsStoreTest, TheFirstStartDefaultsLoadAsDocumented) {
  load();
  EXPECT_TRUE(settings.usingVMax && settings.usingHMax && settings.usingTop &&
              settings.usingShade && settings.usingMinIcon && settings.usingMinMenu);
  EXPECT_EQ(settings.numberOfButtons, 6);
  EXPECT_EQ(settings.priority, 4);
  EXPECT_EQ(intervals, std::vector<std::uint32_t>{600});
  EXPECT_EQ(settings.buttonXOffset, 58);
  EXPECT_EQ(settings.buttonYOffset, 6);
  EXPECT_EQ(settings.buttonXStretch, 16);
  EXPECT_EQ(settings.buttonYStretch, 14);
  EXPECT_FALSE(settings.drawOnAll);
  EXPECT_EQ(settings.excludeStyles, 0xC0000000u);
  EXPECT_EQ(settings.excludeExStyles, 0x000000A1u);
  EXPECT_FALSE(settings.excludingClasses);
  EXPECT_FALSE(settings.excludingNames);
  EXPECT_TRUE(settings.menuStay);
  EXPECT_TRUE(settings.menuSort);
  EXPECT_EQ(settings.vMaxPercentage, 100);
  EXPECT_EQ(settings.hMaxPercentage, 100);
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(SettingsStoreTest, ButtonTagsSwitchOnlyTheirOwnButtons) {
  set("Buttons", "<hmax>");
  load();
  EXPECT_TRUE(settings.usingHMax);
  EXPECT_FALSE(settings.usingVMax || settings.usingTop || settings.usingShade ||
               settings.usingMinIcon || settings.usingMinMenu);

  set("Buttons", "<HMAX><VMAX><top>x<top>");
  load();
  EXPECT_FALSE(settings.usingHMax);
  EXPECT_FALSE(settings.usingVMax);
  EXPECT_TRUE(settings.usingTop);
}

TEST_F(SettingsStoreTest, MissingValuesSwitchTagsAndFlagsOff) {
  desk.deleteRegKey(RegRoot::CurrentUser, kSettingsKeyPath);
  set("Priority", "4");
  set("ButtonXOffset", "1");
  set("ButtonYOffset", "1");
  set("ButtonXStretch", "1");
  set("ButtonYStretch", "1");
  set("VMaxPercentage", "1");
  set("HMaxPercentage", "1");
  settings.usingTop = settings.menuStay = settings.drawOnAll = settings.excludingNames = true;
  settings.excludeStyles = 0xFFFFFFFF;
  load();
  EXPECT_FALSE(settings.usingTop);
  EXPECT_FALSE(settings.menuStay);
  EXPECT_FALSE(settings.menuSort);
  EXPECT_FALSE(settings.drawOnAll);
  EXPECT_FALSE(settings.excludingNames);
  EXPECT_EQ(settings.excludeStyles, 0u);
  EXPECT_EQ(settings.excludeExStyles, 0u);
}

TEST_F(SettingsStoreTest, ClassesAndNamesAreOnForExactlyOne) {
  for (const std::string off : {"1 ", "01", "true", "yes", "0", "", " 1"}) {
    set("Classes", off);
    set("Names", off);
    load();
    EXPECT_FALSE(settings.excludingClasses) << "'" << off << "'";
    EXPECT_FALSE(settings.excludingNames) << "'" << off << "'";
  }
  set("Classes", "1");
  set("Names", "1");
  load();
  EXPECT_TRUE(settings.excludingClasses);
  EXPECT_TRUE(settings.excludingNames);
}

TEST_F(SettingsStoreTest, ClassesNamesAndPriorityAreFoundUnderOtherLetterCases) {
  desk.deleteRegKey(RegRoot::CurrentUser, kSettingsKeyPath);
  set("CLASSES", "1");
  set("nAmEs", "1");
  set("PRIORITY", "7");
  for (const char* name : {"ButtonXOffset", "ButtonYOffset", "ButtonXStretch", "ButtonYStretch",
                           "VMaxPercentage", "HMaxPercentage"}) {
    set(name, "5");
  }
  load();
  EXPECT_TRUE(settings.excludingClasses);
  EXPECT_TRUE(settings.excludingNames);
  EXPECT_EQ(settings.priority, 7);
  EXPECT_EQ(intervals, std::vector<std::uint32_t>{300});
}

TEST_F(SettingsStoreTest, TheListsAreLoadedOnlyWhenTheirFlagIsOn) {
  desk.files["classes.txt"] = "Shell_TrayWnd\r\nProgman\r\n";
  desk.files["files.txt"] = "notepad.exe\n";
  load();
  EXPECT_TRUE(lists.excludedClasses.empty());
  EXPECT_TRUE(lists.excludedNames.empty());

  set("Classes", "1");
  set("Names", "1");
  load();
  EXPECT_EQ(lists.excludedClasses, (std::vector<std::string>{"Shell_TrayWnd", "Progman"}));
  EXPECT_EQ(lists.excludedNames, std::vector<std::string>{"notepad.exe"});
}

TEST_F(SettingsStoreTest, MenuAndDrawOnFollowTheirTags) {
  set("Menu", "<alpha>");
  set("DrawOn", "<all>");
  load();
  EXPECT_TRUE(settings.menuSort);
  EXPECT_FALSE(settings.menuStay);
  EXPECT_TRUE(settings.drawOnAll);

  set("Menu", "");
  for (const std::string drawOn : {"<one>", "", "<ALL>", "<all> ", "x<all>"}) {
    set("DrawOn", drawOn);
    load();
    EXPECT_FALSE(settings.drawOnAll) << drawOn;
  }
  EXPECT_FALSE(settings.menuSort);
  EXPECT_FALSE(settings.menuStay);
}

// Missing at the first start: automatic, as for any text it does not know.
TEST_F(SettingsStoreTest, ButtonLookIsAutomaticUnlessItNamesPaintedOrWindows) {
  load();
  EXPECT_EQ(settings.buttonLook, ButtonLook::Automatic);
  set("ButtonLook", "<painted>");
  load();
  EXPECT_EQ(settings.buttonLook, ButtonLook::Painted);
  set("ButtonLook", "<windows>");
  load();
  EXPECT_EQ(settings.buttonLook, ButtonLook::Windows);
  set("ButtonLook", "<Windows>");
  load();
  EXPECT_EQ(settings.buttonLook, ButtonLook::Automatic);
  desk.setRegDword(RegRoot::CurrentUser, kSettingsKeyPath, "ButtonLook", 2);
  EXPECT_EQ(loadError(), "Invalid data type for 'ButtonLook'");
}

TEST_F(SettingsStoreTest, PriorityIsClampedAndSetsTheInterval) {
  set("Priority", "12");
  load();
  EXPECT_EQ(settings.priority, 9);
  set("Priority", "-3");
  load();
  EXPECT_EQ(settings.priority, 0);
  set("Priority", "$2");
  load();
  EXPECT_EQ(settings.priority, 2);
  EXPECT_EQ(intervals, (std::vector<std::uint32_t>{100, 1000, 800}));
}

// A button wider or higher than any title bar would only make the hook
// libraries ignore the row; the offsets place the row and stay as written.
TEST_F(SettingsStoreTest, GeometryStaysWithinWhatFitsATitleBarAndPercentagesFallBackToAHundred) {
  set("ButtonXOffset", "-10");
  set("ButtonYOffset", "500");
  set("ButtonXStretch", "0");
  set("ButtonYStretch", "-1");
  set("VMaxPercentage", "0");
  set("HMaxPercentage", "150");
  load();
  EXPECT_EQ(settings.buttonXOffset, 0);
  EXPECT_EQ(settings.buttonYOffset, 500);
  EXPECT_EQ(settings.buttonXStretch, 0);
  EXPECT_EQ(settings.buttonYStretch, 0);
  EXPECT_EQ(settings.vMaxPercentage, 0);
  EXPECT_EQ(settings.hMaxPercentage, 100);

  set("VMaxPercentage", "-5");
  set("HMaxPercentage", "100");
  load();
  EXPECT_EQ(settings.vMaxPercentage, 100);
  EXPECT_EQ(settings.hMaxPercentage, 100);
  set("HMaxPercentage", "101");
  set("VMaxPercentage", "50");
  load();
  EXPECT_EQ(settings.hMaxPercentage, 100);
  EXPECT_EQ(settings.vMaxPercentage, 50);

  set("ButtonXStretch", "2147483647");
  set("ButtonYStretch", "257");
  set("ButtonXOffset", "100000");
  load();
  EXPECT_EQ(settings.buttonXStretch, 256);
  EXPECT_EQ(settings.buttonYStretch, 256);
  EXPECT_EQ(settings.buttonXOffset, 100000);
  set("ButtonXStretch", "256");
  set("ButtonYStretch", "255");
  load();
  EXPECT_EQ(settings.buttonXStretch, 256);
  EXPECT_EQ(settings.buttonYStretch, 255);
}

TEST_F(SettingsStoreTest, ANumberThatFailsNamesTheTextAndKeepsWhatWasLoadedBeforeIt) {
  settings.buttonXOffset = 111;
  settings.buttonYOffset = 222;
  settings.vMaxPercentage = 33;
  settings.excludeStyles = 0x1234;
  set("Buttons", "<shade>");
  set("Priority", "2");
  set("ButtonXOffset", "70");
  set("ButtonYOffset", "6px");
  EXPECT_EQ(loadError(), "'6px' is not a valid integer value");
  EXPECT_TRUE(settings.usingShade);
  EXPECT_FALSE(settings.usingTop);
  EXPECT_EQ(settings.priority, 2);
  EXPECT_EQ(intervals, std::vector<std::uint32_t>{800});
  EXPECT_EQ(settings.buttonXOffset, 70);
  EXPECT_EQ(settings.buttonYOffset, 222);
  EXPECT_EQ(settings.vMaxPercentage, 33);
  EXPECT_EQ(settings.excludeStyles, 0x1234u);
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(SettingsStoreTest, ABadPriorityFailsBeforeTheIntervalIsSet) {
  settings.priority = 5;
  set("Priority", "high");
  EXPECT_EQ(loadError(), "'high' is not a valid integer value");
  set("Priority", "");
  EXPECT_EQ(loadError(), "'' is not a valid integer value");
  EXPECT_TRUE(intervals.empty());
  EXPECT_EQ(settings.priority, 5);
  EXPECT_TRUE(settings.menuStay) << "loaded before the priority";
}

TEST_F(SettingsStoreTest, AValueOfTheWrongTypeFailsTheLoad) {
  desk.setRegDword(RegRoot::CurrentUser, kSettingsKeyPath, "Priority", 4);
  EXPECT_EQ(loadError(), "Invalid data type for 'priority'");
  set("Priority", "4");
  desk.setRegDword(RegRoot::CurrentUser, kSettingsKeyPath, "ExcludeExStyles", 1);
  EXPECT_EQ(loadError(), "Invalid data type for 'ExcludeExStyles'");
  EXPECT_EQ(settings.excludeStyles, 0xC0000000u);
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(SettingsStoreTest, AnUnopenableKeyFailsAtThePriorityWithTheEmptyText) {
  desk.unopenableKeys.insert(kSettingsKeyPath);
  settings.usingTop = true;
  EXPECT_EQ(loadError(), "'' is not a valid integer value");
  EXPECT_FALSE(settings.usingTop);
  EXPECT_TRUE(intervals.empty());
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(SettingsStoreTest, NeverWritesToTheRegistry) {
  const auto before = desk.regValueNames(RegRoot::CurrentUser, kSettingsKeyPath);
  desk.refusedWrites = {"Buttons", "Priority", "Menu"};
  load();
  EXPECT_EQ(desk.regValueNames(RegRoot::CurrentUser, kSettingsKeyPath), before);
}

TEST_F(SettingsStoreTest, TraceLinesOnlyInLoggingMode) {
  log.debugMode = true;
  load();
  EXPECT_EQ(desk.files.count("setupapplog.txt"), 0u);
  log.loggingMode = true;
  load();
  EXPECT_EQ(desk.files["setupapplog.txt"],
            "Tue Dec 08 03:14:48 2026   Called regToVars. (Critical)\n"
            "Tue Dec 08 03:14:48 2026   Exited regToVars.\n");
}

}  // namespace
}  // namespace strennix
