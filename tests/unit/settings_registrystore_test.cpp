#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/core/registrystore.h"
#include "platform/sim/simdesktop.h"
#include "platform/winconst.h"
#include "tests/unit/errorof.h"

namespace strennix {
namespace {

using sim::SimDesktop;

using testsupport::errorOf;

class SettingsRegistryStore : public ::testing::Test {
 protected:
  void setString(const std::string& name, const std::string& value) {
    desk.setRegString(RegRoot::CurrentUser, kSettingsKeyPath, name, value);
  }
  void setRaw(const std::string& name, std::uint32_t type, const std::vector<std::uint8_t>& data) {
    desk.setRegValue(RegRoot::CurrentUser, kSettingsKeyPath, name, type, data);
  }

  SimDesktop desk;
};

TEST_F(SettingsRegistryStore, OpeningCreatesTheSettingsKeyAndClosesItAfterwards) {
  {
    const SettingsKey key(desk);
    EXPECT_TRUE(key.isOpen());
    EXPECT_TRUE(desk.regKeyExists(RegRoot::CurrentUser, "Software\\Corvane inc.\\Strennix"));
    EXPECT_EQ(desk.registryKeys.open(), 1);
  }
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(SettingsRegistryStore, AKeyOpenedWithoutCreatingIsNotCreated) {
  {
    const SettingsKey run(desk, kRunKeyPath, false);
    EXPECT_FALSE(run.isOpen());
    EXPECT_EQ(run.readString(kRunValueName), "");
    EXPECT_FALSE(run.exists(kRunValueName));
  }
  EXPECT_FALSE(desk.regKeyExists(RegRoot::CurrentUser, kRunKeyPath));
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(SettingsRegistryStore, ReadsStringsWithOrWithoutTerminatorAndMissingOnesAsEmpty) {
  setString("Buttons", "<hmax>");
  setRaw("Menu", win::kRegSz, {'<', 's', 't', 'a', 'y', '>'});
  setRaw("DrawOn", win::kRegSz, {'<', 'a', 'l', 'l', '>', 0, 'x', 0});
  setRaw("Classes", win::kRegSz, {});
  const SettingsKey key(desk);
  EXPECT_EQ(key.readString("Buttons"), "<hmax>");
  EXPECT_EQ(key.readString("Menu"), "<stay>");
  EXPECT_EQ(key.readString("DrawOn"), "<all>");
  EXPECT_EQ(key.readString("Classes"), "");
  EXPECT_TRUE(key.exists("Classes"));
  EXPECT_EQ(key.readString("Names"), "");
  EXPECT_FALSE(key.exists("Names"));
}

TEST_F(SettingsRegistryStore, NamesMatchWithoutRegardToLetterCase) {
  setString("Priority", "4");
  const SettingsKey key(desk);
  EXPECT_EQ(key.readString("priority"), "4");
  EXPECT_EQ(key.readString("PRIORITY"), "4");
  EXPECT_TRUE(key.exists("pRiOrItY"));
}

TEST_F(SettingsRegistryStore, AValueOfAnotherTypeIsADataTypeErrorNamingTheValue) {
  desk.setRegDword(RegRoot::CurrentUser, kSettingsKeyPath, "Priority", 4);
  setRaw("Menu", win::kRegMultiSz, {'a', 0, 0});
  setString("lang", "7");
  setRaw("mH", win::kRegDword, {1, 2});
  setRaw("cbtH", win::kRegDword, {1, 2, 3, 4, 5});
  const SettingsKey key(desk);
  EXPECT_EQ(errorOf([&] { (void)key.readString("priority"); }), "Invalid data type for 'priority'");
  EXPECT_EQ(errorOf([&] { (void)key.readString("Menu"); }), "Invalid data type for 'Menu'");
  EXPECT_EQ(errorOf([&] { (void)key.readDword("lang"); }), "Invalid data type for 'lang'");
  EXPECT_EQ(errorOf([&] { (void)key.readDword("mH"); }), "Invalid data type for 'mH'");
  EXPECT_EQ(errorOf([&] { (void)key.readDword("cbtH"); }), "Invalid data type for 'cbtH'");
}

TEST_F(SettingsRegistryStore, WritesStringsWithTheirTerminatingNul) {
  {
    SettingsKey key(desk);
    key.writeString("Buttons", "<top>");
    key.writeString("Menu", "");
  }
  const auto buttons = desk.regValue(RegRoot::CurrentUser, kSettingsKeyPath, "Buttons");
  ASSERT_TRUE(buttons);
  EXPECT_EQ(buttons->type, win::kRegSz);
  EXPECT_EQ(buttons->data, (std::vector<std::uint8_t>{'<', 't', 'o', 'p', '>', 0}));
  const auto menu = desk.regValue(RegRoot::CurrentUser, kSettingsKeyPath, "Menu");
  ASSERT_TRUE(menu);
  EXPECT_EQ(menu->data, std::vector<std::uint8_t>{0});
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(SettingsRegistryStore, DwordsRoundTripAndMissingOnesAreNothing) {
  {
    SettingsKey key(desk);
    key.writeDword("mH", 0x12345678);
    EXPECT_EQ(key.readDword("mH"), 0x12345678u);
    EXPECT_EQ(key.readDword("cbtH"), std::nullopt);
  }
  EXPECT_EQ(desk.regDword(RegRoot::CurrentUser, kSettingsKeyPath, "mH"), 0x12345678u);
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(SettingsRegistryStore, ARefusedWriteNamesTheValue) {
  desk.refusedWrites.insert("Buttons");
  SettingsKey key(desk);
  EXPECT_EQ(errorOf([&] { key.writeString("Buttons", "<top>"); }),
            "Failed to set data for 'Buttons'");
  EXPECT_EQ(errorOf([&] { key.writeDword("buttons", 1); }), "Failed to set data for 'buttons'");
  EXPECT_FALSE(key.exists("Buttons"));
}

TEST_F(SettingsRegistryStore, AKeyThatCannotBeOpenedReadsAsMissingAndRefusesWrites) {
  setString("Buttons", "<top>");
  desk.unopenableKeys.insert(kSettingsKeyPath);
  {
    SettingsKey key(desk);
    EXPECT_FALSE(key.isOpen());
    EXPECT_EQ(key.readString("Buttons"), "");
    EXPECT_FALSE(key.exists("Buttons"));
    EXPECT_EQ(key.readDword("mH"), std::nullopt);
    EXPECT_FALSE(key.deleteValue("Buttons"));
    EXPECT_EQ(errorOf([&] { key.writeString("Menu", ""); }), "Failed to set data for 'Menu'");
  }
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(SettingsRegistryStore, DeletesAValueAndReportsAMissingOne) {
  setString("Strennix", "x");
  SettingsKey key(desk);
  EXPECT_TRUE(key.deleteValue("Strennix"));
  EXPECT_FALSE(key.exists("Strennix"));
  EXPECT_FALSE(key.deleteValue("Strennix"));
}

}  // namespace
}  // namespace strennix
