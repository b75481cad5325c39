#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

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

TEST(SettingsTags, EveryStyleTagGivesItsWindowStyleValue) {
  const std::vector<std::pair<std::string, std::uint32_t>> table = {
      {"<WS_BORDER>", 0x00800000},
      {"<WS_CAPTION>", 0x00C00000},
      {"<WS_CHILD>", 0x40000000},
      {"<WS_CHILDWINDOW>", 0x40000000},
      {"<WS_CLIPCHILDREN>", 0x02000000},
      {"<WS_CLIPSIBLINGS>", 0x04000000},
      {"<WS_DISABLED>", 0x08000000},
      {"<WS_DLGFRAME>", 0x00400000},
      {"<WS_GROUP>", 0x00020000},
      {"<WS_HSCROLL>", 0x00100000},
      {"<WS_ICONIC>", 0x20000000},
      {"<WS_MAXIMIZE>", 0x01000000},
      {"<WS_MAXIMIZEBOX>", 0x00010000},
      {"<WS_MINIMIZE>", 0x20000000},
      {"<WS_MINIMIZEBOX>", 0x00020000},
      {"<WS_OVERLAPPED>", 0x00000000},
      {"<WS_OVERLAPPEDWINDOW>", 0x00CF0000},
      {"<WS_POPUP>", 0x80000000},
      {"<WS_POPUPWINDOW>", 0x80880000},
      {"<WS_SIZEBOX>", 0x00040000},
      {"<WS_SYSMENU>", 0x00080000},
      {"<WS_TABSTOP>", 0x00010000},
      {"<WS_THICKFRAME>", 0x00040000},
      {"<WS_TILED>", 0x00000000},
      {"<WS_TILEDWINDOW>", 0x00CF0000},
      {"<WS_VISIBLE>", 0x10000000},
      {"<WS_VSCROLL>", 0x00200000},
  };
  for (const auto& [tag, value] : table) {
    EXPECT_EQ(styleMask(tag), value) << tag;
    EXPECT_EQ(exStyleMask(tag), 0u) << tag << " is no extended style";
  }
}

TEST(SettingsTags, EveryExtendedStyleTagGivesItsValue) {
  const std::vector<std::pair<std::string, std::uint32_t>> table = {
      {"<WS_EX_ACCEPTFILES>", 0x00000010},    {"<WS_EX_APPWINDOW>", 0x00040000},
      {"<WS_EX_CLIENTEDGE>", 0x00000200},     {"<WS_EX_CONTEXTHELP>", 0x00000400},
      {"<WS_EX_CONTROLPARENT>", 0x00010000},  {"<WS_EX_DLGMODALFRAME>", 0x00000001},
      {"<WS_EX_LEFT>", 0x00000000},           {"<WS_EX_LEFTSCROLLBAR>", 0x00004000},
      {"<WS_EX_LTRREADING>", 0x00000000},     {"<WS_EX_MDICHILD>", 0x00000040},
      {"<WS_EX_NOPARENTNOTIFY>", 0x00000004}, {"<WS_EX_OVERLAPPEDWINDOW>", 0x00000300},
      {"<WS_EX_PALETTEWINDOW>", 0x00000188},  {"<WS_EX_RIGHT>", 0x00001000},
      {"<WS_EX_RIGHTSCROLLBAR>", 0x00000000}, {"<WS_EX_RTLREADING>", 0x00002000},
      {"<WS_EX_STATICEDGE>", 0x00020000},     {"<WS_EX_TOOLWINDOW>", 0x00000080},
      {"<WS_EX_TOPMOST>", 0x00000008},        {"<WS_EX_TRANSPARENT>", 0x00000020},
      {"<WS_EX_WINDOWEDGE>", 0x00000100},
  };
  for (const auto& [tag, value] : table) {
    EXPECT_EQ(exStyleMask(tag), value) << tag;
    EXPECT_EQ(styleMask(tag), 0u) << tag << " is no window style";
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
