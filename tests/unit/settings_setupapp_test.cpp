#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/core/journal.h"
#include "app/core/log.h"
#include "app/core/registrystore.h"
#include "app/core/windowlists.h"
#include "platform/sim/simdesktop.h"
#include "platform/winconst.h"
#include "resources/version.h"
#include "settings/setupapp.h"
#include "tests/support/defaultsettings.h"
#include "tests/unit/errorof.h"

namespace strennix {
namespace {

using sim::SimDesktop;

constexpr const char* kWarning =
    "Strennix could not locate the file psapi.dll on your system.\n"
    "Strennix will work anyway, but since Strennix and other\n"
    "applications can use the file to perform better, it is recommended that\n"
    "you copy the file from your Windows installation-disc to your system.\n"
    "\n"
    "This message will not appear again.";

class SettingsSetupApp : public ::testing::Test {
 protected:
  SettingsSetupApp() { log.debugMode = log.loggingMode = true; }

  bool firstStart() { return checkFirstStart(desk, desk, desk, setupLog); }
  void set(const std::string& name, const std::string& value) {
    desk.setRegString(RegRoot::CurrentUser, kSettingsKeyPath, name, value);
  }
  std::optional<std::string> value(const std::string& name) {
    return desk.regString(RegRoot::CurrentUser, kSettingsKeyPath, name);
  }
  std::string logText() { return desk.files["setupapplog.txt"]; }

  SimDesktop desk;
  Logger log{desk, desk};
  ModuleLog setupLog{log, kSetupAppLog};
};

TEST_F(SettingsSetupApp, ZeroVarsResetsSettingsAndWindowLists) {
  Settings settings;
  settings.usingTop = settings.drawOnAll = settings.menuSort = true;
  settings.numberOfButtons = 6;
  settings.priority = 4;
  settings.buttonXOffset = 58;
  settings.excludeStyles = 0xC0000000;
  settings.vMaxPercentage = 40;
  settings.hMaxPercentage = 0;
  Journal journal{desk, desk, desk, log};
  WindowLists lists{journal};
  for (const Hwnd window : {Hwnd{0x20}, Hwnd{0x21}, Hwnd{0x22}}) {
    lists.addMenu(window, Hwnd{}, "Window");
  }
  lists.addTrayed(0, Hwnd{0x30}, Hwnd{});
  lists.addTrayed(19, Hwnd{0x31}, Hwnd{});
  lists.addShaded(Hwnd{0x40}, 300);
  lists.addStretched(Axis::Vertical, Hwnd{0x10}, Rect{}, 300);
  lists.addStretched(Axis::Horizontal, Hwnd{0x12}, Rect{}, 400);

  zeroVars(settings, lists, setupLog);

  EXPECT_FALSE(settings.usingTop || settings.drawOnAll || settings.menuSort);
  EXPECT_EQ(settings.numberOfButtons, 0);
  EXPECT_EQ(settings.priority, 0);
  EXPECT_EQ(settings.buttonXOffset, 0);
  EXPECT_EQ(settings.excludeStyles, 0u);
  EXPECT_EQ(settings.vMaxPercentage, 100);
  EXPECT_EQ(settings.hMaxPercentage, 100);
  EXPECT_EQ(lists.menu().count(), 0);
  EXPECT_EQ(lists.trayed().count(), 0);
  EXPECT_EQ(lists.shaded().count(), 0);
  EXPECT_EQ(lists.stretched(Axis::Vertical).count(), 0);
  EXPECT_EQ(lists.stretched(Axis::Horizontal).count(), 0);
  for (const TrayedWindow& slot : lists.trayed()) {
    EXPECT_TRUE(slot.free);
  }
  EXPECT_EQ(logText(),
            "Tue Dec 08 03:14:48 2026   Called zeroVars\n"
            "Tue Dec 08 03:14:48 2026   Exited zeroVars\n");
}

TEST_F(SettingsSetupApp, PsapiWarningOnlyOnNtWithoutTheLibrary) {
  checkPsapi(desk, desk);
  EXPECT_TRUE(desk.messageBoxes.empty()) << "psapi.dll loads";

  desk.libraries.erase("psapi.dll");
  desk.osVersion = OsVersion{4, 10, 2222, win::kPlatformWin32Windows};
  checkPsapi(desk, desk);
  EXPECT_TRUE(desk.messageBoxes.empty()) << "Windows 98 is never checked";

  desk.osVersion = std::nullopt;
  checkPsapi(desk, desk);
  EXPECT_TRUE(desk.messageBoxes.empty());

  desk.osVersion = OsVersion{5, 0, 2195, win::kPlatformWin32Nt};
  checkPsapi(desk, desk);
  ASSERT_EQ(desk.messageBoxes.size(), 1u);
  EXPECT_EQ(desk.messageBoxes[0].owner, Hwnd{});
  EXPECT_EQ(desk.messageBoxes[0].text, kWarning);
  EXPECT_EQ(desk.messageBoxes[0].caption, "Strennix");
  EXPECT_EQ(desk.messageBoxes[0].flags, win::kMbOk | win::kMbIconWarning);
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(SettingsSetupApp, VersionsCompareAsPlainText) {
  const std::string current = kVersion;
  // Text order, not number order: a shorter prefix is older, a longer text
  // or any letter is newer.
  for (const std::string& older :
       {std::string(), std::string("0.0.0.0"), std::string("0.9"),
        current.substr(0, current.size() - 1), current.substr(0, current.rfind('.'))}) {
    EXPECT_TRUE(versionIsOlder(older)) << older;
  }
  for (const std::string& notOlder :
       {current, current + ".1", current + "0", std::string("a"), std::string("\xE9")}) {
    EXPECT_FALSE(versionIsOlder(notOlder)) << notOlder;
  }
}

TEST_F(SettingsSetupApp, FirstStartWarnsOnceWritesTheSixteenDefaultsAndShowsTheForm) {
  desk.libraries.erase("psapi.dll");
  EXPECT_TRUE(firstStart());
  EXPECT_EQ(desk.messageBoxes.size(), 1u);
  std::vector<std::string> names;
  for (const auto& [name, expected] : testsupport::firstStartSettings(
           {{testsupport::kInstallPath, R"(C:\Program Files\Strennix\)"}})) {
    names.push_back(name);
    EXPECT_EQ(value(name), expected) << name;
  }
  EXPECT_EQ(desk.regValueNames(RegRoot::CurrentUser, kSettingsKeyPath), names);
  EXPECT_EQ(logText(),
            "Tue Dec 08 03:14:48 2026     First time starting, showing form and setting "
            "defaults.\n");
  EXPECT_TRUE(desk.everythingReleased());

  // The second start: no warning, nothing rewritten, the form stays hidden.
  set("Buttons", "<top>");
  EXPECT_FALSE(firstStart());
  EXPECT_EQ(desk.messageBoxes.size(), 1u);
  EXPECT_EQ(value("Buttons"), "<top>");
  EXPECT_NE(logText().find("Tue Dec 08 03:14:48 2026     Hiding form.\n"), std::string::npos);
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(SettingsSetupApp, OlderSettingsAreReplacedWithoutThePsapiCheck) {
  desk.libraries.erase("psapi.dll");
  for (const char* older : {"1.1.0.0", "1.10.0.0", ""}) {
    set("Version", older);
    set("Buttons", "<top>");
    EXPECT_TRUE(firstStart()) << older;
    EXPECT_EQ(value("Version"), kVersion);
    EXPECT_EQ(value("Buttons"), "<hmax><vmax><top><shade><toicon><tomenu>");
  }
  EXPECT_TRUE(desk.messageBoxes.empty());
}

TEST_F(SettingsSetupApp, NewerSettingsAreLeftAlone) {
  set("Version", "2.0");
  set("Buttons", "<top>");
  EXPECT_FALSE(firstStart());
  EXPECT_EQ(value("Version"), "2.0");
  EXPECT_EQ(value("Buttons"), "<top>");
  EXPECT_EQ(logText(), "Tue Dec 08 03:14:48 2026     Hiding form.\n");
}

TEST_F(SettingsSetupApp, AVersionOfTheWrongTypeFailsTheStart) {
  desk.setRegDword(RegRoot::CurrentUser, kSettingsKeyPath, "Version", 0x01020100);
  EXPECT_EQ(testsupport::errorOf([this] { firstStart(); }), "Invalid data type for 'Version'");
  EXPECT_EQ(desk.regValueNames(RegRoot::CurrentUser, kSettingsKeyPath),
            std::vector<std::string>{"Version"});
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(SettingsSetupApp, InstallPathIsEmptyForAPathWithoutAFolder) {
  desk.exePath = "strennix.exe";
  firstStart();
  EXPECT_EQ(value("installPath"), "");
}

TEST_F(SettingsSetupApp, AnUnopenableKeyFailsOnTheFirstDefault) {
  desk.unopenableKeys.insert(kSettingsKeyPath);
  EXPECT_EQ(testsupport::errorOf([this] { firstStart(); }), "Failed to set data for 'Version'");
  EXPECT_TRUE(desk.everythingReleased());
}

}  // namespace
}  // namespace strennix
