#include <gtest/gtest.h>

#include "settings/tags.h"

namespace strennix {
namespace {

TEST(SettingsTags, ATagCountsWhereverItsExactCharactersOccur) {
  EXPECT_TRUE(hasTag("<hmax>", kTagHMax));
  EXPECT_TRUE(hasTag("x<hmax>y", kTagHMax));
  EXPECT_TRUE(hasTag("<top><top>", kTagTop));
  EXPECT_TRUE(hasTag("<hmax><vmax><top><shade><toicon><tomenu>", kTagToMenu));
  EXPECT_FALSE(hasTag("<HMAX>", kTagHMax));
  EXPECT_FALSE(hasTag("hmax", kTagHMax));
  EXPECT_FALSE(hasTag("< hmax>", kTagHMax));
  EXPECT_FALSE(hasTag("", kTagHMax));
}

TEST(SettingsTags, EachStyleTagAloneGivesItsOwnValueAndNoneOfTheOtherKind) {
  for (const StyleTag& entry : kStyleTags) {
    EXPECT_EQ(styleMask(entry.tag), entry.value) << entry.tag;
    EXPECT_EQ(exStyleMask(entry.tag), 0u) << entry.tag << " is no extended style";
  }
  for (const StyleTag& entry : kExStyleTags) {
    EXPECT_EQ(exStyleMask(entry.tag), entry.value) << entry.tag;
    EXPECT_EQ(styleMask(entry.tag), 0u) << entry.tag << " is no window style";
  }
}

TEST(SettingsTags, MasksAreTheOrOfAllTagsPresent) {
  EXPECT_EQ(styleMask("<WS_POPUP><WS_CHILD>"), 0xC0000000u);
  EXPECT_EQ(styleMask("<WS_CHILD> and again <WS_CHILD>"), 0x40000000u);
  EXPECT_EQ(styleMask("<WS_OVERLAPPED>"), 0u);
  EXPECT_EQ(styleMask("<ws_popup><WS_POPUPX><FOO>"), 0u);
  EXPECT_EQ(styleMask(""), 0u);
  EXPECT_EQ(exStyleMask("<WS_EX_PALETTEWINDOW><WS_EX_TOOLWINDOW>"), 0x00000188u);
  EXPECT_EQ(exStyleMask("<WS_EX_DLGMODALFRAME><WS_EX_TOOLWINDOW><WS_EX_TRANSPARENT>"), 0xA1u);
}

}  // namespace
}  // namespace strennix
