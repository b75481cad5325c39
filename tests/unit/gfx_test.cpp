#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/exclusionlists.h"
#include "app/core/log.h"
#include "app/core/settings.h"
#include "buttons/gfx.h"
#include "eligibility/namefromwindow.h"
#include "eligibility/winauth.h"
#include "platform/sim/simdesktop.h"
#include "platform/winconst.h"

namespace strennix {
namespace {

Settings defaults() {
  Settings s;
  s.usingTop = s.usingMinIcon = s.usingShade = s.usingMinMenu = s.usingVMax = s.usingHMax = true;
  s.numberOfButtons = 6;
  s.buttonXOffset = 58;
  s.buttonYOffset = 6;
  s.buttonXStretch = 16;
  s.buttonYStretch = 14;
  return s;
}

Settings onlyVMaxAndTop() {
  Settings s = defaults();
  s.usingMinIcon = s.usingShade = s.usingMinMenu = s.usingHMax = false;
  s.numberOfButtons = 2;
  return s;
}

constexpr ButtonIcons kIcons{IconHandle{101}, IconHandle{102}, IconHandle{103}, IconHandle{104},
                             IconHandle{105}, IconHandle{106}, IconHandle{107}};

class GfxTest : public ::testing::Test {
 protected:
  GfxTest() {
    log.debugMode = true;
    log.loggingMode = true;
    gfx.setIcons(kIcons);
    settingsForm = desk.addWindow(sim::SimWindow{});
    auth.setOwnWindows(settingsForm, Hwnd{});
    sim::SimWindow editor;
    editor.rect = Rect{100, 50, 740, 400};
    window = desk.addWindow(editor);
  }

  [[nodiscard]] std::vector<int> drawnX() const {
    std::vector<int> xs;
    for (const auto& draw : desk.draws) {
      xs.push_back(draw.x);
    }
    return xs;
  }

  [[nodiscard]] std::vector<IconHandle> drawnIcons() const {
    std::vector<IconHandle> icons;
    for (const auto& draw : desk.draws) {
      icons.push_back(draw.icon);
    }
    return icons;
  }

  std::string logText() { return desk.files[kGfxLog]; }

  sim::SimDesktop desk;
  Logger log{desk, desk};
  Settings settings = defaults();
  ExclusionLists lists;
  NameFromWindow names{desk, desk, desk, desk, log};
  WinAuth auth{desk, desk, names, settings, lists, log};
  Gfx gfx{desk, desk, desk, auth, settings, log};
  Hwnd settingsForm{};
  Hwnd window{};
};

TEST_F(GfxTest, SixButtonsAreDrawnRightToLeftInSlotOrder) {
  gfx.drawButtons(window);
  EXPECT_EQ(drawnX(), (std::vector<int>{566, 550, 534, 518, 502, 486}));
  EXPECT_EQ(drawnIcons(), (std::vector<IconHandle>{kIcons.image6, kIcons.image5, kIcons.image4,
                                                   kIcons.image3, kIcons.image2, kIcons.image1}));
  for (const auto& draw : desk.draws) {
    EXPECT_EQ(draw.window, window);
    EXPECT_EQ(draw.y, 6);
    EXPECT_EQ(draw.width, 16);
    EXPECT_EQ(draw.height, 14);
    EXPECT_EQ(draw.flags, win::kDiNormal);
    EXPECT_NE(draw.brush, 0U);
    EXPECT_EQ(draw.brush, desk.draws.front().brush);
  }
  EXPECT_EQ(desk.windowDcs.acquired, 1);
  EXPECT_EQ(desk.brushes.acquired, 1);
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(GfxTest, APaintedRowIsPublishedUntilTheWindowNoLongerGetsButtons) {
  gfx.drawButtons(window);
  EXPECT_EQ(desk.buttonRowsPort().published(window), (ButtonRow{window, 58, 6, 16, 14, 6}));

  desk.window(window).style |= win::kWsMaximize;
  gfx.drawButtons(window);
  EXPECT_FALSE(desk.buttonRowsPort().published(window).has_value());

  desk.window(window).style &= ~win::kWsMaximize;
  gfx.drawButtons(window);
  gfx.keepOnly({});
  EXPECT_TRUE(desk.buttonRowsPort().publishedWindows().empty());
}

TEST_F(GfxTest, SwitchedOffButtonsTakeNoSlot) {
  settings = onlyVMaxAndTop();
  gfx.drawButtons(window);
  EXPECT_EQ(drawnX(), (std::vector<int>{566, 550}));
  EXPECT_EQ(drawnIcons(), (std::vector<IconHandle>{kIcons.image6, kIcons.image2}));
}

TEST_F(GfxTest, TheTopButtonShowsThePressedPinWhileTheWindowIsTopmost) {
  settings = onlyVMaxAndTop();
  desk.window(window).exStyle |= win::kWsExTopmost;
  gfx.drawButtons(window);
  desk.window(window).exStyle &= ~win::kWsExTopmost;
  gfx.drawButtons(window);
  EXPECT_EQ(drawnIcons(),
            (std::vector<IconHandle>{kIcons.image7, kIcons.image2, kIcons.image6, kIcons.image2}));
}

TEST_F(GfxTest, ZeroOffsetAndZeroStretchesFollowTheFormula) {
  settings.buttonXOffset = 0;
  gfx.drawButtons(window);
  ASSERT_FALSE(desk.draws.empty());
  EXPECT_EQ(desk.draws.front().x + 16 - 1, 640 - 1) << "the last column is W - 1";

  desk.draws.clear();
  settings.buttonXOffset = 58;
  settings.buttonXStretch = 0;
  settings.buttonYStretch = 0;
  gfx.drawButtons(window);
  ASSERT_EQ(desk.draws.size(), 6U);
  for (const auto& draw : desk.draws) {
    EXPECT_EQ(draw.x, 640 - 58);
    EXPECT_EQ(draw.width, 0) << "DrawIconEx then uses the icon's own width";
    EXPECT_EQ(draw.height, 0);
  }
  EXPECT_EQ(desk.draws.back().icon, kIcons.image1) << "the leftmost in slot order is drawn last";
}

// Found with UBSan: the drawing computed W - (k * XS + XO) in 32 bits.
TEST_F(GfxTest, HugeHandWrittenSizesDrawWhatFitsTheCoordinatesAndNothingOverflows) {
  settings.buttonXOffset = 0;
  settings.buttonXStretch = 0x7FFFFFFF;
  gfx.drawButtons(window);
  EXPECT_EQ(drawnX(), (std::vector<int>{640 - 0x7FFFFFFF})) << "slot 2 lies beyond any int";

  desk.draws.clear();
  settings.buttonXOffset = 0x7FFFFFFF;
  gfx.drawButtons(window);
  EXPECT_TRUE(desk.draws.empty());
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(GfxTest, AFullScreenWindowGetsNoButtonsButOnePixelLessDoes) {
  desk.window(window).rect = Rect{0, 0, 1024, 768};
  gfx.drawButtons(window);
  EXPECT_TRUE(desk.draws.empty());
  EXPECT_EQ(desk.windowDcs.acquired, 0);
  EXPECT_EQ(logText().find("Drawing buttons"), std::string::npos);

  for (const Rect rect : {Rect{0, 0, 1023, 768}, Rect{0, 0, 1024, 767}, Rect{1, 0, 1025, 768}}) {
    desk.draws.clear();
    desk.window(window).rect = rect;
    gfx.drawButtons(window);
    EXPECT_EQ(desk.draws.size(), 6U);
  }
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(GfxTest, AFullScreenWindowOnASecondMonitorGetsNoButtons) {
  desk.monitors.push_back(Monitor{Rect{1024, -200, 2304, 824}, Rect{1024, -200, 2304, 794}});
  desk.window(window).rect = Rect{1024, -200, 2304, 824};
  gfx.drawButtons(window);
  EXPECT_TRUE(desk.draws.empty());
  desk.window(window).rect = Rect{0, 0, 1024, 768};
  gfx.drawButtons(window);
  EXPECT_TRUE(desk.draws.empty()) << "nor on the primary one";
  desk.window(window).rect = Rect{1024, 0, 2304, 1024};
  gfx.drawButtons(window);
  EXPECT_EQ(desk.draws.size(), 6U) << "not exactly its monitor";
}

TEST_F(GfxTest, WithNoButtonOnTheContextAndBrushAreStillTakenAndReleased) {
  settings.usingTop = settings.usingMinIcon = settings.usingShade = false;
  settings.usingMinMenu = settings.usingVMax = settings.usingHMax = false;
  settings.numberOfButtons = 0;
  gfx.drawButtons(window);
  EXPECT_TRUE(desk.draws.empty());
  EXPECT_EQ(desk.windowDcs.acquired, 1);
  EXPECT_EQ(desk.brushes.acquired, 1);
  EXPECT_TRUE(desk.everythingReleased());
  EXPECT_NE(logText().find("   Called drawButtons (Only reports exit on draw)\n"),
            std::string::npos);
  EXPECT_NE(logText().find("     Drawing buttons\n"), std::string::npos);
  EXPECT_NE(logText().find("   Exited drawButtons\n"), std::string::npos);
}

TEST_F(GfxTest, IneligibleWindowsGetNothingAndNoExitLine) {
  sim::SimWindow maximized;
  maximized.style |= win::kWsMaximize;
  const Hwnd gone = desk.addWindow(sim::SimWindow{});
  desk.destroyWindow(gone);
  for (const Hwnd target : {desk.addWindow(maximized), desk.windowPort().desktopWindow(),
                            settingsForm, gone, Hwnd{0}}) {
    gfx.drawButtons(target);
  }
  EXPECT_TRUE(desk.draws.empty());
  EXPECT_EQ(desk.windowDcs.acquired, 0);
  EXPECT_EQ(desk.brushes.acquired, 0);
  EXPECT_EQ(logText().find("Exited"), std::string::npos);
}

TEST_F(GfxTest, AHiddenWindowIsPaintedLikeAnyOther) {
  desk.window(window).visible = false;
  gfx.drawButtons(window);
  EXPECT_EQ(desk.draws.size(), 6U);
}

TEST_F(GfxTest, AnExcludedClassOrFileGetsNoButtons) {
  desk.processes[1234] = sim::SimProcess{"NOTEPAD.EXE", "notepad.exe", false};
  desk.window(window).processId = 1234;
  settings.excludingNames = true;
  lists.excludedNames = {"NOTEPAD.EXE"};
  gfx.drawButtons(window);
  EXPECT_TRUE(desk.draws.empty());
  settings.excludingNames = false;
  settings.excludingClasses = true;
  lists.excludedClasses = {"simwindow"};
  gfx.drawButtons(window);
  EXPECT_TRUE(desk.draws.empty());
  EXPECT_TRUE(desk.everythingReleased());
}

TEST(EnabledButtons, PacksTheSwitchedOnButtonsInSlotOrder) {
  const SlotButtons all = enabledButtons(defaults());
  EXPECT_EQ(std::vector<TitleButton>(all.begin(), all.end()),
            (std::vector<TitleButton>{TitleButton::Top, TitleButton::ToIcon, TitleButton::Shade,
                                      TitleButton::ToMenu, TitleButton::VMax, TitleButton::HMax}));
  const SlotButtons two = enabledButtons(onlyVMaxAndTop());
  EXPECT_EQ(std::vector<TitleButton>(two.begin(), two.end()),
            (std::vector<TitleButton>{TitleButton::Top, TitleButton::VMax}));
  EXPECT_EQ(enabledButtons(Settings{}).count, 0);
}

TEST(SlotAt, WorkedExampleOfTheClickHitTest) {
  const Rect rect{100, 50, 740, 400};
  const Settings s = defaults();
  EXPECT_EQ(slotAt(rect, {675, 60}, s), 0);
  EXPECT_EQ(slotAt(rect, {600, 60}, s), 5);
  EXPECT_EQ(slotAt(rect, {586, 60}, s), -1);
  EXPECT_EQ(slotAt(rect, {587, 60}, s), 5);
  EXPECT_EQ(slotAt(rect, {682, 60}, s), -1);
  EXPECT_EQ(slotAt(rect, {681, 60}, s), 0);
  EXPECT_EQ(slotAt(rect, {675, 56}, s), -1);
  EXPECT_EQ(slotAt(rect, {675, 57}, s), 0);
  EXPECT_EQ(slotAt(rect, {675, 69}, s), -1);
  EXPECT_EQ(slotAt(rect, {675, 68}, s), 0);
  EXPECT_EQ(slotAt(rect, {666, 60}, s), 0) << "the left edge column of the rightmost button";
  EXPECT_EQ(slotAt(rect, {665, 60}, s), 1);
  EXPECT_EQ(buttonAt(rect, {675, 60}, s), TitleButton::Top);
  EXPECT_EQ(buttonAt(rect, {600, 60}, s), TitleButton::HMax);
  EXPECT_EQ(buttonAt(rect, {665, 60}, s), TitleButton::ToIcon);
  EXPECT_EQ(buttonAt(rect, {586, 60}, s), std::nullopt);
}

TEST(SlotAt, TheRowFollowsTheSwitchedOnButtons) {
  const Rect rect{100, 50, 740, 400};
  const Settings two = onlyVMaxAndTop();
  EXPECT_EQ(buttonAt(rect, {675, 60}, two), TitleButton::Top);
  EXPECT_EQ(buttonAt(rect, {660, 60}, two), TitleButton::VMax);
  EXPECT_EQ(slotAt(rect, {651, 60}, two), 1) << "the row is 32 pixels wide: 650 < x < 682";
  EXPECT_EQ(slotAt(rect, {650, 60}, two), -1);

  Settings none = defaults();
  none.usingTop = none.usingMinIcon = none.usingShade = false;
  none.usingMinMenu = none.usingVMax = none.usingHMax = false;
  none.numberOfButtons = 0;
  for (int x = 560; x < 700; ++x) {
    EXPECT_EQ(slotAt(rect, {x, 60}, none), -1) << x;
  }
}

TEST(SlotAt, HugeSettingsDoNotOverflow) {
  Settings s = defaults();
  s.buttonXOffset = 0x7FFFFFF0;
  s.buttonXStretch = 0x7FFFFFF0;
  EXPECT_EQ(slotAt(Rect{100, 50, 740, 400}, {675, 60}, s), -1);
}

}  // namespace
}  // namespace strennix
