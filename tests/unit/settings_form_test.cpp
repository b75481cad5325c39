#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/core/log.h"
#include "app/core/registrystore.h"
#include "platform/forms.h"
#include "platform/sim/simdesktop.h"
#include "resources/resource.h"
#include "settings/settingsform.h"
#include "tests/unit/errorof.h"

namespace strennix {
namespace {

using sim::SimDesktop;
using testsupport::errorOf;

class SettingsFormTest : public ::testing::Test {
 protected:
  SettingsFormTest() {
    // As the form layout creates them.
    state(IDC_BTNEDITCLASSES).enabled = false;
    state(IDC_BTNEDITNAMES).enabled = false;
    // Some other program's log-on entry, so that the Run key exists.
    desk.setRegString(RegRoot::CurrentUser, kRunKeyPath, "OtherTool", "C:\\other.exe");
    set("Buttons", "<hmax><vmax><top><shade><toicon><tomenu>");
    set("Classes", "0");
    set("Names", "0");
    set("ExcludeExStyles", "<WS_EX_DLGMODALFRAME><WS_EX_TOOLWINDOW><WS_EX_TRANSPARENT>");
    set("Menu", "<stay><alpha>");
    set("Priority", "4");
    set("DrawOn", "<one>");
  }

  sim::SimControl& state(int controlId) { return desk.controlState(form.handle(), controlId); }
  bool checked(int controlId) { return state(controlId).checked; }
  void set(const std::string& name, const std::string& value) {
    desk.setRegString(RegRoot::CurrentUser, kSettingsKeyPath, name, value);
  }
  std::optional<std::string> value(const std::string& name) {
    return desk.regString(RegRoot::CurrentUser, kSettingsKeyPath, name);
  }
  std::optional<std::string> runEntry() {
    return desk.regString(RegRoot::CurrentUser, kRunKeyPath, kRunValueName);
  }
  void uncheckAll() {
    for (int id = IDC_GROUPBUTTONS; id <= IDC_LABEL1; ++id) {
      state(id).checked = false;
    }
  }

  SimDesktop desk;
  Form form{desk, desk, IDD_STRENNIX};
  Logger log{desk, desk};
  SettingsBinding binding{desk, desk, desk, form, log};
  Settings settings;
};

TEST_F(SettingsFormTest, TheDefaultsCheckTheirBoxesAndCountSixButtons) {
  binding.regToForm(settings);
  for (int id : {IDC_CHKVMAX, IDC_CHKHMAX, IDC_CHKMINMENU, IDC_CHKMINICON, IDC_CHKSHADE, IDC_CHKTOP,
                 IDC_CHKMSGBOX, IDC_CHKTOOL, IDC_CHKTRANSP, IDC_CHKMENUSTAY, IDC_RDBTNALPHA,
                 IDC_RDBTNFOREGROUND}) {
    EXPECT_TRUE(checked(id)) << id;
  }
  for (int id : {IDC_CHKCLASSES, IDC_CHKNAMES, IDC_RDBTNTIME, IDC_RDBTNALLWINDOWS, IDC_CHKSTART}) {
    EXPECT_FALSE(checked(id)) << id;
  }
  EXPECT_FALSE(state(IDC_BTNEDITCLASSES).enabled);
  EXPECT_FALSE(state(IDC_BTNEDITNAMES).enabled);
  EXPECT_EQ(state(IDC_TRACKPRIORITY).trackPosition, 4);
  EXPECT_EQ(settings.numberOfButtons, 6);
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(SettingsFormTest, TheButtonCountIsMadeAfreshOnEveryLoad) {
  set("Buttons", "<top>x<hmax><top><HMAX><VMAX>");
  binding.regToForm(settings);
  EXPECT_EQ(settings.numberOfButtons, 2);
  binding.regToForm(settings);
  EXPECT_EQ(settings.numberOfButtons, 2);
  EXPECT_TRUE(checked(IDC_CHKTOP));
  EXPECT_TRUE(checked(IDC_CHKHMAX));
  EXPECT_FALSE(checked(IDC_CHKVMAX));
}

TEST_F(SettingsFormTest, LoadingOnlyChecksBoxesAndNeverUnchecksThem) {
  set("Buttons", "");
  set("ExcludeExStyles", "");
  set("Menu", "");
  state(IDC_CHKVMAX).checked = true;
  state(IDC_CHKTOOL).checked = true;
  state(IDC_CHKMENUSTAY).checked = true;
  binding.regToForm(settings);
  EXPECT_TRUE(checked(IDC_CHKVMAX));
  EXPECT_TRUE(checked(IDC_CHKTOOL));
  EXPECT_TRUE(checked(IDC_CHKMENUSTAY));
  EXPECT_EQ(settings.numberOfButtons, 0);
}

TEST_F(SettingsFormTest, EachRadioPairEndsWithExactlyOneChecked) {
  set("Menu", "<stay>");
  set("DrawOn", "<all>");
  state(IDC_RDBTNALPHA).checked = true;
  state(IDC_RDBTNFOREGROUND).checked = true;
  binding.regToForm(settings);
  EXPECT_FALSE(checked(IDC_RDBTNALPHA));
  EXPECT_TRUE(checked(IDC_RDBTNTIME));
  EXPECT_FALSE(checked(IDC_RDBTNFOREGROUND));
  EXPECT_TRUE(checked(IDC_RDBTNALLWINDOWS));

  for (const std::string drawOn : {"<one>", "", "<ALL>"}) {
    set("DrawOn", drawOn);
    set("Menu", "<alpha>");
    binding.regToForm(settings);
    EXPECT_TRUE(checked(IDC_RDBTNFOREGROUND)) << drawOn;
    EXPECT_FALSE(checked(IDC_RDBTNALLWINDOWS)) << drawOn;
    EXPECT_TRUE(checked(IDC_RDBTNALPHA));
    EXPECT_FALSE(checked(IDC_RDBTNTIME));
  }
}

TEST_F(SettingsFormTest, ClassesAndNamesEnableTheirEditButtonsOnlyForExactlyOne) {
  set("Classes", "yes");
  set("Names", "1 ");
  binding.regToForm(settings);
  EXPECT_FALSE(checked(IDC_CHKCLASSES));
  EXPECT_FALSE(state(IDC_BTNEDITCLASSES).enabled);
  EXPECT_FALSE(checked(IDC_CHKNAMES));
  EXPECT_FALSE(state(IDC_BTNEDITNAMES).enabled);

  set("Classes", "1");
  set("names", "1");
  binding.regToForm(settings);
  EXPECT_TRUE(checked(IDC_CHKCLASSES));
  EXPECT_TRUE(state(IDC_BTNEDITCLASSES).enabled);
  EXPECT_TRUE(checked(IDC_CHKNAMES));
  EXPECT_TRUE(state(IDC_BTNEDITNAMES).enabled);
}

TEST_F(SettingsFormTest, TheEditButtonsFollowTheirBoxesWhenClicked) {
  state(IDC_CHKCLASSES).checked = true;
  binding.chkClassesClick();
  EXPECT_TRUE(state(IDC_BTNEDITCLASSES).enabled);
  EXPECT_FALSE(state(IDC_BTNEDITNAMES).enabled);
  state(IDC_CHKCLASSES).checked = false;
  binding.chkClassesClick();
  EXPECT_FALSE(state(IDC_BTNEDITCLASSES).enabled);

  state(IDC_CHKNAMES).checked = true;
  binding.chkNamesClick();
  EXPECT_TRUE(state(IDC_BTNEDITNAMES).enabled);
  state(IDC_CHKNAMES).checked = false;
  binding.chkNamesClick();
  EXPECT_FALSE(state(IDC_BTNEDITNAMES).enabled);
}

TEST_F(SettingsFormTest, APriorityOutOfRangeIsShownClampedAndSavedClamped) {
  set("Priority", "15");
  binding.regToForm(settings);
  EXPECT_EQ(state(IDC_TRACKPRIORITY).trackPosition, 9);
  binding.formToReg();
  EXPECT_EQ(value("Priority"), "9");

  set("priority", "-4");
  binding.regToForm(settings);
  EXPECT_EQ(state(IDC_TRACKPRIORITY).trackPosition, 0);
}

TEST_F(SettingsFormTest, APriorityThatIsNoNumberFailsTheLoad) {
  set("Priority", "fast");
  EXPECT_EQ(errorOf([&] { binding.regToForm(settings); }), "'fast' is not a valid integer value");
  EXPECT_EQ(settings.numberOfButtons, 6) << "counted before the failure";
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(SettingsFormTest, SavingWritesTheFormsValuesInTheirFixedShape) {
  uncheckAll();
  for (int id : {IDC_CHKMINICON, IDC_CHKTOP, IDC_CHKVMAX, IDC_CHKMINMENU, IDC_CHKSHADE, IDC_CHKHMAX,
                 IDC_CHKCLASSES, IDC_CHKMENUSTAY, IDC_RDBTNTIME, IDC_RDBTNALLWINDOWS}) {
    state(id).checked = true;
  }
  state(IDC_TRACKPRIORITY).trackPosition = 7;
  binding.formToReg();
  EXPECT_EQ(value("Buttons"), "<vmax><hmax><shade><top><tomenu><toicon>");
  EXPECT_EQ(value("Classes"), "1");
  EXPECT_EQ(value("Names"), "0");
  EXPECT_EQ(value("Menu"), "<stay>");
  EXPECT_EQ(value("DrawOn"), "<all>");
  EXPECT_EQ(value("Priority"), "7");
  EXPECT_EQ(value("ExcludeExStyles"), "");
  EXPECT_TRUE(desk.everythingReleased());

  uncheckAll();
  state(IDC_RDBTNALPHA).checked = true;
  state(IDC_RDBTNFOREGROUND).checked = true;
  binding.formToReg();
  EXPECT_EQ(value("Buttons"), "");
  EXPECT_EQ(value("Classes"), "0");
  EXPECT_EQ(value("Menu"), "<alpha>");
  EXPECT_EQ(value("DrawOn"), "<one>");
  EXPECT_EQ(value("Priority"), "7");
}

TEST_F(SettingsFormTest, SavingNeverWritesTheValuesTheFormDoesNotShow) {
  desk.deleteRegKey(RegRoot::CurrentUser, kSettingsKeyPath);
  binding.formToReg();
  EXPECT_EQ(desk.regValueNames(RegRoot::CurrentUser, kSettingsKeyPath),
            (std::vector<std::string>{"Buttons", "ExcludeExStyles", "Classes", "Names", "Menu",
                                      "DrawOn", "Priority"}));
}

TEST_F(SettingsFormTest, AHandAddedExtendedStyleTagSurvivesSaves) {
  set("ExcludeExStyles",
      "<WS_EX_DLGMODALFRAME><WS_EX_TOOLWINDOW><WS_EX_TOPMOST><WS_EX_TRANSPARENT>");
  binding.regToForm(settings);
  binding.formToReg();
  EXPECT_EQ(value("ExcludeExStyles"),
            "<WS_EX_DLGMODALFRAME><WS_EX_TOOLWINDOW><WS_EX_TOPMOST><WS_EX_TRANSPARENT>");

  state(IDC_CHKTOOL).checked = false;
  binding.formToReg();
  EXPECT_EQ(value("ExcludeExStyles"), "<WS_EX_DLGMODALFRAME><WS_EX_TOPMOST><WS_EX_TRANSPARENT>");

  state(IDC_CHKMSGBOX).checked = false;
  state(IDC_CHKTRANSP).checked = false;
  binding.formToReg();
  binding.formToReg();
  EXPECT_EQ(value("ExcludeExStyles"), "<WS_EX_TOPMOST>");

  state(IDC_CHKTOOL).checked = true;
  state(IDC_CHKTRANSP).checked = true;
  binding.formToReg();
  EXPECT_EQ(value("ExcludeExStyles"), "<WS_EX_TOPMOST><WS_EX_TOOLWINDOW><WS_EX_TRANSPARENT>");
}

TEST_F(SettingsFormTest, UncheckingRemovesOnlyTheFirstOccurrenceOfItsTag) {
  set("ExcludeExStyles", "a<WS_EX_TOOLWINDOW>b<WS_EX_TOOLWINDOW>c");
  uncheckAll();
  binding.formToReg();
  EXPECT_EQ(value("ExcludeExStyles"), "ab<WS_EX_TOOLWINDOW>c");
}

TEST_F(SettingsFormTest, CheckingATagThatIsPresentAddsNoSecondCopy) {
  set("ExcludeExStyles", "<WS_EX_TRANSPARENT> hand text");
  uncheckAll();
  state(IDC_CHKTRANSP).checked = true;
  binding.formToReg();
  EXPECT_EQ(value("ExcludeExStyles"), "<WS_EX_TRANSPARENT> hand text");
}

TEST_F(SettingsFormTest, SaveThenLoadGivesTheSameFormBack) {
  uncheckAll();
  const std::vector<int> on = {IDC_CHKHMAX,  IDC_CHKSHADE,  IDC_CHKTOOL,
                               IDC_CHKNAMES, IDC_RDBTNTIME, IDC_RDBTNALLWINDOWS};
  for (int id : on) {
    state(id).checked = true;
  }
  state(IDC_TRACKPRIORITY).trackPosition = 2;
  binding.formToReg();

  uncheckAll();
  state(IDC_TRACKPRIORITY).trackPosition = 0;
  binding.regToForm(settings);
  for (int id = IDC_GROUPBUTTONS; id <= IDC_LABEL1; ++id) {
    const bool expected = std::find(on.begin(), on.end(), id) != on.end();
    EXPECT_EQ(checked(id), expected) << id;
  }
  EXPECT_TRUE(state(IDC_BTNEDITNAMES).enabled);
  EXPECT_FALSE(state(IDC_BTNEDITCLASSES).enabled);
  EXPECT_EQ(state(IDC_TRACKPRIORITY).trackPosition, 2);
  EXPECT_EQ(settings.numberOfButtons, 2);
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(SettingsFormTest, RunAtStartupIsWrittenWhenCheckedAndRemovedWhenUnchecked) {
  binding.regToForm(settings);
  EXPECT_FALSE(checked(IDC_CHKSTART));

  state(IDC_CHKSTART).checked = true;
  binding.formToReg();
  EXPECT_EQ(runEntry(), "\"C:\\Program Files\\Strennix\\strennix.exe\"")
      << "quoted, so that the blank cannot start C:\\Program.exe at log-on";

  uncheckAll();
  binding.regToForm(settings);
  EXPECT_TRUE(checked(IDC_CHKSTART));

  state(IDC_CHKSTART).checked = false;
  binding.formToReg();
  EXPECT_EQ(runEntry(), std::nullopt);
  EXPECT_EQ(desk.regString(RegRoot::CurrentUser, kRunKeyPath, "OtherTool"), "C:\\other.exe");
  binding.regToForm(settings);
  EXPECT_FALSE(checked(IDC_CHKSTART)) << "the box stays off after the reload";
  binding.formToReg();
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(SettingsFormTest, AMissingRunKeyIsCreatedAndAFailedRunEntryIsRaised) {
  desk.deleteRegKey(RegRoot::CurrentUser, kRunKeyPath);
  state(IDC_CHKSTART).checked = true;
  binding.formToReg();
  EXPECT_EQ(runEntry(), "\"C:\\Program Files\\Strennix\\strennix.exe\"");

  desk.deleteRegKey(RegRoot::CurrentUser, kRunKeyPath);
  desk.unopenableKeys.insert(kRunKeyPath);
  EXPECT_EQ(errorOf([&] { binding.formToReg(); }), "Failed to set data for 'Strennix'");
  desk.unopenableKeys.clear();
  desk.refusedWrites.insert(kRunValueName);
  EXPECT_EQ(errorOf([&] { binding.formToReg(); }), "Failed to set data for 'Strennix'");
  EXPECT_EQ(runEntry(), std::nullopt);
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(SettingsFormTest, ARefusedWriteEndsTheSaveAndKeepsWhatWasWritten) {
  set("Buttons", "old");
  set("DrawOn", "old");
  desk.refusedWrites.insert("Menu");
  uncheckAll();
  state(IDC_CHKTOP).checked = true;
  state(IDC_CHKSTART).checked = true;
  EXPECT_EQ(errorOf([&] { binding.formToReg(); }), "Failed to set data for 'Menu'");
  EXPECT_EQ(value("Buttons"), "<top>");
  EXPECT_EQ(value("DrawOn"), "old");
  EXPECT_EQ(runEntry(), std::nullopt);
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(SettingsFormTest, TraceLinesOnlyInLoggingMode) {
  log.debugMode = true;
  binding.regToForm(settings);
  binding.formToReg();
  EXPECT_EQ(desk.files.count("setupapplog.txt"), 0u);
  log.loggingMode = true;
  binding.regToForm(settings);
  binding.formToReg();
  EXPECT_EQ(desk.files["setupapplog.txt"],
            "Tue Dec 08 03:14:48 2026   Called regToForm\n"
            "Tue Dec 08 03:14:48 2026   Exited regToForm\n"
            "Tue Dec 08 03:14:48 2026   Called formToReg.\n"
            "Tue Dec 08 03:14:48 2026   Exited formToReg.\n");
}

}  // namespace
}  // namespace strennix
