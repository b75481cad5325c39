#include "platform/dialogtemplate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/templatebytes.h"

namespace strennix {
namespace {

using testsupport::TemplateBytes;

constexpr std::uint32_t kFormStyle = 0x00CA0000 | kDialogSetFont;

// A main-form-like template: class, caption, font and three kinds of item.
TemplateBytes mainFormTemplate() {
  TemplateBytes t;
  t.header(kFormStyle, 3, 209, 166, 307, 370).word(0).string(u"TStrennix").string(u"Strennix");
  t.word(8).word(400).byte(0).byte(1).string(u"Arial");
  t.item(0x20, 0x50020007, 0, 0, 137, 113, 1001).ordinal(kButtonAtom).string(u"Buttons:").word(0);
  t.item(0, 0x50010011, 8, 272, 289, 29, 1028).string(u"msctls_trackbar32").string(u"");
  t.word(4).dword(0xDEADBEEF);
  t.item(0, 0x50000100, -5, 352, 67, 14, 1032).ordinal(kStaticAtom).string(u"Corvane inc.").word(0);
  return t;
}

TemplateName ordinalName(std::uint16_t value) { return TemplateName{value, {}}; }
TemplateName textName(const std::u16string& text) { return TemplateName{std::nullopt, text}; }

std::optional<DialogLayout> parse(const std::vector<std::uint8_t>& bytes) {
  return parseDialogTemplate(bytes.data(), bytes.size());
}

TEST(DialogTemplateTest, ReadsTheFormHeaderItsFontAndEveryItemInTemplateOrder) {
  const auto layout = parse(mainFormTemplate().bytes());
  ASSERT_TRUE(layout.has_value());
  EXPECT_EQ(layout->style, kFormStyle);
  EXPECT_EQ(layout->exStyle, 0x88u);
  EXPECT_EQ(layout->x, 209);
  EXPECT_EQ(layout->y, 166);
  EXPECT_EQ(layout->cx, 307);
  EXPECT_EQ(layout->cy, 370);
  EXPECT_EQ(layout->menu, TemplateName{});
  EXPECT_EQ(layout->windowClass, textName(u"TStrennix"));
  EXPECT_EQ(layout->caption, u"Strennix");
  ASSERT_TRUE(layout->font.has_value());
  EXPECT_EQ(*layout->font, (DialogFont{8, 400, false, 1, u"Arial"}));

  ASSERT_EQ(layout->items.size(), 3u);
  const DialogItem& group = layout->items[0];
  EXPECT_EQ(group.id, 1001u);
  EXPECT_EQ(group.exStyle, 0x20u);
  EXPECT_EQ(group.style, 0x50020007u);
  EXPECT_EQ(group.windowClass, ordinalName(kButtonAtom));
  EXPECT_EQ(group.text, textName(u"Buttons:"));
  EXPECT_EQ(group.cx, 137);
  EXPECT_EQ(group.cy, 113);
  EXPECT_TRUE(group.creationData.empty());

  const DialogItem& track = layout->items[1];
  EXPECT_EQ(track.id, 1028u);
  EXPECT_EQ(track.windowClass, textName(u"msctls_trackbar32"));
  EXPECT_EQ(track.text, TemplateName{});
  EXPECT_EQ(track.x, 8);
  EXPECT_EQ(track.y, 272);
  EXPECT_EQ(track.creationData, (std::vector<std::uint8_t>{0xEF, 0xBE, 0xAD, 0xDE}));

  // Items after creation data are found again at the next 4-byte boundary,
  // and coordinates are signed.
  const DialogItem& label = layout->items[2];
  EXPECT_EQ(label.id, 1032u);
  EXPECT_EQ(label.x, -5);
  EXPECT_EQ(label.windowClass, ordinalName(kStaticAtom));
  EXPECT_EQ(label.text, textName(u"Corvane inc."));
}

TEST(DialogTemplateTest, ReadsOrdinalMenusClassesAndTextsAndNamedMenus) {
  TemplateBytes t;
  t.header(0x00CC0000, 1, 0, 0, 181, 262).ordinal(0x0064).ordinal(0x8002).string(u"");
  t.item(0, 0x50000003, 1, 2, 16, 14, 77).ordinal(kStaticAtom).ordinal(201).word(0);
  auto layout = parse(t.bytes());
  ASSERT_TRUE(layout.has_value());
  EXPECT_EQ(layout->menu, ordinalName(0x0064));
  EXPECT_EQ(layout->windowClass, ordinalName(0x8002));
  EXPECT_TRUE(layout->caption.empty());
  ASSERT_EQ(layout->items.size(), 1u);
  EXPECT_EQ(layout->items[0].text, ordinalName(201));

  TemplateBytes named;
  named.header(0, 0, 0, 0, 10, 10).string(u"MAINMENU").word(0).string(u"Tray");
  layout = parse(named.bytes());
  ASSERT_TRUE(layout.has_value());
  EXPECT_EQ(layout->menu, textName(u"MAINMENU"));
  EXPECT_EQ(layout->windowClass, TemplateName{});
  EXPECT_EQ(layout->caption, u"Tray");
  EXPECT_TRUE(layout->items.empty());
}

TEST(DialogTemplateTest, ATemplateWithoutSetFontHasNoFontAndItsItemsFollowTheCaption) {
  TemplateBytes t;
  t.header(0x00CC0000, 1, 0, 0, 181, 262).word(0).string(u"TTrayForm").string(u"Strennix");
  t.item(0x200, 0x50A00101, 0, 0, 173, 235, 1101).ordinal(kListBoxAtom).word(0).word(0);
  const auto layout = parse(t.bytes());
  ASSERT_TRUE(layout.has_value());
  EXPECT_FALSE(layout->font.has_value());
  ASSERT_EQ(layout->items.size(), 1u);
  EXPECT_EQ(layout->items[0].id, 1101u);
  EXPECT_EQ(layout->items[0].windowClass, ordinalName(kListBoxAtom));
  EXPECT_EQ(layout->items[0].cy, 235);
}

TEST(DialogTemplateTest, EveryTruncatedCopyOfAValidTemplateGivesNothing) {
  const std::vector<std::uint8_t> whole = mainFormTemplate().bytes();
  ASSERT_TRUE(parse(whole).has_value());
  for (std::size_t size = 0; size < whole.size(); ++size) {
    // An exact-size copy, so a read past the end would leave the buffer.
    const std::vector<std::uint8_t> prefix(whole.begin(),
                                           whole.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_FALSE(parse(prefix).has_value()) << "size " << size;
  }
}

TEST(DialogTemplateTest, OtherFormatsAndMissingDataGiveNothing) {
  EXPECT_FALSE(parseDialogTemplate(nullptr, 100).has_value());

  // A classic template starts with its style, not with version and signature.
  TemplateBytes classic;
  classic.dword(0x80C80000).dword(0).word(0).word(0).word(0).word(100).word(100);
  classic.word(0).word(0).word(0);
  EXPECT_FALSE(parse(classic.bytes()).has_value());

  TemplateBytes version2;
  version2.word(2).word(0xFFFF).dword(0).dword(0).dword(0).word(0);
  version2.word(0).word(0).word(0).word(0).word(0).word(0).word(0);
  EXPECT_FALSE(parse(version2.bytes()).has_value());
}

TEST(DialogTemplateTest, LengthsThatPointPastTheEndGiveNothing) {
  // More items announced than present.
  TemplateBytes tooManyItems;
  tooManyItems.header(0, 2, 0, 0, 10, 10).word(0).word(0).string(u"x");
  tooManyItems.item(0, 0, 0, 0, 5, 5, 1).ordinal(kButtonAtom).string(u"a").word(0);
  EXPECT_FALSE(parse(tooManyItems.bytes()).has_value());

  // Creation data longer than what follows.
  TemplateBytes longData;
  longData.header(0, 1, 0, 0, 10, 10).word(0).word(0).string(u"x");
  longData.item(0, 0, 0, 0, 5, 5, 1).ordinal(kButtonAtom).string(u"a").word(200).dword(7);
  EXPECT_FALSE(parse(longData.bytes()).has_value());

  // A caption without its terminating zero.
  TemplateBytes unterminated;
  unterminated.header(0, 0, 0, 0, 10, 10).word(0).word(0).word(u'S').word(u't');
  EXPECT_FALSE(parse(unterminated.bytes()).has_value());

  // A font face cut off by the end of the data.
  TemplateBytes cutFont;
  cutFont.header(kDialogSetFont, 0, 0, 0, 10, 10).word(0).word(0).string(u"x");
  cutFont.word(8).word(400).byte(0);
  EXPECT_FALSE(parse(cutFont.bytes()).has_value());
}

}  // namespace
}  // namespace strennix
