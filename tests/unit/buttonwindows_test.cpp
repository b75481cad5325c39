#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "app/core/log.h"
#include "app/core/registrystore.h"
#include "buttonwindows/buttonwindows.h"
#include "platform/forms.h"
#include "platform/sim/simdesktop.h"
#include "platform/winconst.h"
#include "resources/resource.h"
#include "tests/unit/simsupport.h"

namespace strennix {
namespace {

class TestFilter : public WindowFilter {
 public:
  bool passesAll(Hwnd window) override { return !refused.contains(window); }
  std::set<Hwnd> refused;
};

// The painted row's icons, one per switched-on button.
class TestFaces : public ButtonFaces {
 public:
  std::vector<IconHandle> facesOf(Hwnd /*window*/) override { return faces; }
  std::vector<IconHandle> faces{IconHandle{101}, IconHandle{102}, IconHandle{103}};
};

class ButtonWindowsTest : public ::testing::Test {
 protected:
  ButtonWindowsTest() {
    settings.buttonXOffset = 58;
    settings.buttonYOffset = 6;
    settings.buttonXStretch = 16;
    settings.buttonYStretch = 14;
    desk.composed = true;
    sim::SimWindow editor;
    editor.rect = Rect{100, 100, 660, 400};
    target = desk.addWindow(editor);
    desk.frames[target] = sim::SimFrame{Rect{500, 101, 659, 131}, Rect{101, 101, 659, 131}};
    desk.setForeground(target);
    bars.chooseLook();
  }

  // A second window, below the target, which takes the painted row's place
  // (no caption buttons known).
  Hwnd windowBehind() {
    sim::SimWindow behind;
    behind.rect = Rect{100, 450, 660, 750};
    desk.frames.erase(target);
    return desk.addWindow(behind);
  }

  [[nodiscard]] Hwnd bar() const { return bars.barOf(target); }
  [[nodiscard]] const sim::SimWindow& barWindow() { return desk.window(bar()); }
  [[nodiscard]] bool justAboveTarget() {
    const std::vector<Hwnd>& order = desk.zOrder();
    const auto at = std::find(order.begin(), order.end(), bar());
    return at != order.end() && at + 1 != order.end() && *(at + 1) == target;
  }

  sim::SimDesktop desk;
  Logger log{desk, desk};
  Settings settings;
  TestFilter filter;
  TestFaces faces;
  Form owner{desk, desk, IDD_STRENNIX};
  ButtonWindows bars{desk,
                     desk,
                     desk,
                     desk.ports().buttonWindows,
                     desk.ports().frames,
                     filter,
                     faces,
                     desk,
                     owner,
                     77,
                     settings,
                     log};
  Hwnd target{};
};

TEST_F(ButtonWindowsTest, SitsLeftOfTheCaptionButtonsCentredInTheTitleBarJustAboveItsWindow) {
  ASSERT_TRUE(bars.show(target));
  // 48 x 14, its right edge 4 pixels left of the caption buttons, centred
  // in the 30-pixel title bar.
  EXPECT_EQ(barWindow().rect, (Rect{448, 109, 496, 123}));
  EXPECT_TRUE(barWindow().visible);
  EXPECT_EQ(barWindow().processId, desk.currentProcess);
  EXPECT_EQ(barWindow().owner, Hwnd{}) << "never owned by another program's window";
  EXPECT_TRUE(justAboveTarget());
  EXPECT_EQ(desk.buttonWindows.at(bar()).notify, owner.handle());
  EXPECT_EQ(desk.buttonWindows.at(bar()).picture,
            (ButtonPicture{{IconHandle{101}, IconHandle{102}, IconHandle{103}}, 16, 14, -1, -1}));

  // The user's offsets still move it.
  settings.buttonXOffset = 68;
  settings.buttonYOffset = 8;
  desk.window(target).rect = Rect{100, 100, 661, 400};
  bars.poll();
  EXPECT_EQ(barWindow().rect, (Rect{438, 111, 486, 125}));

  // Without caption buttons: where the painted row would be, centred in
  // the title bar; without a title bar: the painted row's place.
  settings.buttonXOffset = 58;
  settings.buttonYOffset = 6;
  desk.frames[target].captionButtons.reset();
  desk.window(target).rect = Rect{100, 100, 660, 400};
  bars.poll();
  EXPECT_EQ(barWindow().rect, (Rect{554, 109, 602, 123}));
  desk.frames.erase(target);
  desk.window(target).rect = Rect{100, 100, 661, 400};
  bars.poll();
  EXPECT_EQ(barWindow().rect, (Rect{555, 106, 603, 120}));
}

TEST_F(ButtonWindowsTest, SizesAndOffsetsScaleToTheWindowsDpi) {
  desk.frames[target].dpi = 144;
  ASSERT_TRUE(bars.show(target));
  EXPECT_EQ(barWindow().rect, (Rect{422, 105, 494, 126})) << "24 x 21 slots, 6 pixels clear";
  EXPECT_EQ(desk.buttonWindows.at(bar()).picture.slotWidth, 24);
  EXPECT_EQ(desk.buttonWindows.at(bar()).picture.height, 21);
  EXPECT_EQ(scaledToDpi(58, 120), 73);
}

TEST_F(ButtonWindowsTest, FollowsItsWindowAndHidesWhileItIsOutOfSight) {
  ASSERT_TRUE(bars.show(target));
  EXPECT_EQ(desk.timers.at({owner.handle(), 77}), 100U) << "a poll while a button window exists";

  desk.window(target).rect = Rect{150, 120, 710, 420};
  desk.frames[target] = sim::SimFrame{Rect{550, 121, 709, 151}, Rect{151, 121, 709, 151}};
  bars.poll();
  EXPECT_EQ(barWindow().rect, (Rect{498, 129, 546, 143}));
  EXPECT_EQ(desk.timers.at({owner.handle(), 77}), 20U) << "faster while it moves";

  // A window brought over the target covers its buttons too; a topmost
  // target makes them topmost.
  const Hwnd cover = desk.addWindow(sim::SimWindow{});
  desk.placeJustAbove(cover, target);
  bars.poll();
  EXPECT_TRUE(justAboveTarget());
  EXPECT_LT(std::find(desk.zOrder().begin(), desk.zOrder().end(), cover) - desk.zOrder().begin(),
            std::find(desk.zOrder().begin(), desk.zOrder().end(), bar()) - desk.zOrder().begin());
  EXPECT_EQ(barWindow().exStyle & win::kWsExTopmost, 0U);
  desk.window(target).exStyle |= win::kWsExTopmost;
  bars.poll();
  EXPECT_NE(barWindow().exStyle & win::kWsExTopmost, 0U);

  for (const auto hideIt : std::vector<void (*)(sim::SimDesktop&, Hwnd)>{
           [](sim::SimDesktop&d, Hwnd w) { d.window(w).style |= win::kWsMinimize; },
           [](sim::SimDesktop&d, Hwnd w) { d.window(w).visible = false; },
           [](sim::SimDesktop&d, Hwnd w) { d.frames[w].cloaked = true; },
           [](sim::SimDesktop&d, Hwnd w) {
             d.window(w).rect = Rect{0, 0, 1024, 768};
           }}) {
    const sim::SimWindow before = desk.window(target);
    hideIt(desk, target);
    bars.poll();
    EXPECT_FALSE(barWindow().visible);
    desk.window(target) = before;
    desk.frames[target].cloaked = false;
    bars.poll();
    EXPECT_TRUE(barWindow().visible);
  }

  // Gone with its window, when the poll next looks at it; then the poll
  // ends and nothing is left over.
  desk.destroyWindow(target);
  for (int poll = 0; poll < 20 && !desk.buttonWindows.empty(); ++poll) {
    bars.poll();
  }
  EXPECT_TRUE(desk.buttonWindows.empty());
  EXPECT_FALSE(desk.timers.contains({owner.handle(), 77}));
  EXPECT_TRUE(desk.everythingReleased());
}

// A user drags the window in front: it is followed at each poll, the quiet
// ones behind it at every fifth, and one seen moving at each poll again.
TEST_F(ButtonWindowsTest, TheWindowInFrontIsFollowedAtEachPollTheOthersAtEveryFifth) {
  const Hwnd other = windowBehind();
  ASSERT_TRUE(bars.show(target));
  ASSERT_TRUE(bars.show(other));
  const auto barRect = [this](Hwnd window) { return desk.window(bars.barOf(window)).rect; };
  const Rect otherBefore = barRect(other);

  desk.window(other).rect = Rect{110, 460, 670, 760};
  for (int poll = 1; poll <= 4; ++poll) {
    desk.window(target).rect = Rect{100 + poll, 100, 660 + poll, 400};
    bars.poll();
    EXPECT_EQ(barRect(target).right, 602 + poll) << "poll " << poll;
    EXPECT_EQ(barRect(other), otherBefore) << "poll " << poll;
  }
  bars.poll();
  EXPECT_EQ(barRect(other), (Rect{564, 466, 612, 480}));
  desk.window(other).rect = Rect{120, 470, 680, 770};
  bars.poll();
  EXPECT_EQ(barRect(other), (Rect{574, 476, 622, 490})) << "still moving: followed at once";
}

// A window behind that keeps still is looked at half as often each time,
// down to every twentieth poll; a change, or a report of it, brings it back
// to every fifth. The timer's round, due only every twentieth poll while
// button windows exist, makes missing ones and leaves the others to the
// poll.
TEST_F(ButtonWindowsTest, AQuietWindowIsLookedAtLessOftenTheLongerItKeepsStill) {
  const Hwnd other = windowBehind();
  ASSERT_TRUE(bars.showOnRound(other));
  const auto barRect = [this, other] { return desk.window(bars.barOf(other)).rect; };
  // The polls until a move of the window shows in its button window.
  const auto pollsToFollow = [&](int shift) {
    desk.window(other).rect = Rect{100 + shift, 450, 660 + shift, 750};
    const Rect before = barRect();
    int polls = 0;
    while (barRect() == before && polls < 100) {
      bars.poll();
      ++polls;
    }
    // Moving, it is followed at each poll until it keeps still again.
    bars.poll();
    return polls;
  };
  const auto pollsKeepingStill = [this](int polls) {
    for (int poll = 0; poll < polls; ++poll) {
      bars.poll();
    }
  };

  EXPECT_EQ(pollsToFollow(1), 5);
  pollsKeepingStill(10);
  EXPECT_EQ(pollsToFollow(2), 20) << "kept still at two looks";
  pollsKeepingStill(10 + 20);
  EXPECT_EQ(pollsToFollow(3), 20) << "and no less often";
  bars.show(other);
  EXPECT_EQ(pollsToFollow(4), 5) << "reported";

  desk.window(other).rect = Rect{200, 450, 760, 750};
  const Rect before = barRect();
  EXPECT_TRUE(bars.showOnRound(other));
  EXPECT_EQ(barRect(), before) << "left to the poll";
  bars.show(other);
  EXPECT_NE(barRect(), before) << "a report is followed at once";

  EXPECT_TRUE(bars.roundDue());
  pollsKeepingStill(19);
  EXPECT_FALSE(bars.roundDue());
  bars.poll();
  EXPECT_TRUE(bars.roundDue());
  EXPECT_FALSE(bars.roundDue()) << "counted from the round's start";
  bars.destroyAll();
  EXPECT_TRUE(bars.roundDue()) << "with no button window, at every tick";
}

TEST_F(ButtonWindowsTest, AClickIsAPressAndAReleaseOverTheSameButton) {
  ASSERT_TRUE(bars.show(target));
  const Hwnd other = desk.addWindow(sim::SimWindow{});
  desk.setForeground(other);
  const auto picture = [this] { return desk.buttonWindows.at(bar()).picture; };

  EXPECT_EQ(bars.onReport(kStrnxBarMove, bar(), packPoint({40, 5})), std::nullopt);
  EXPECT_EQ(picture().hoverSlot, 0);
  EXPECT_EQ(bars.onReport(kStrnxBarPress, bar(), packPoint({20, 5})), std::nullopt);
  EXPECT_EQ(picture().pressedSlot, 1);
  EXPECT_EQ(desk.foreground(), target) << "as a press on its title bar would";
  EXPECT_EQ(bars.onReport(kStrnxBarRelease, bar(), packPoint({40, 5})), std::nullopt)
      << "released over another button";
  EXPECT_EQ(picture().pressedSlot, -1);

  bars.onReport(kStrnxBarPress, bar(), packPoint({2, 13}));
  EXPECT_EQ(bars.onReport(kStrnxBarRelease, bar(), packPoint({0, 0})), (BarClick{target, 2}));
  bars.onReport(kStrnxBarLeave, bar(), 0);
  EXPECT_EQ(picture().hoverSlot, -1);

  // Forged or stale reports: no button window, a point outside, a release
  // without a press.
  for (const std::int32_t point : {packPoint({-1, 5}), packPoint({48, 5}), packPoint({5, 14}),
                                   std::int32_t{-1}, std::int32_t{0x7FFF7FFF}}) {
    bars.onReport(kStrnxBarPress, bar(), point);
    EXPECT_EQ(bars.onReport(kStrnxBarRelease, bar(), packPoint({5, 5})), std::nullopt);
  }
  bars.onReport(kStrnxBarPress, target, packPoint({5, 5}));
  EXPECT_EQ(bars.onReport(kStrnxBarRelease, target, packPoint({5, 5})), std::nullopt);
  EXPECT_EQ(bars.onReport(kStrnxBarRelease, Hwnd{0x4242}, packPoint({5, 5})), std::nullopt);
}

TEST_F(ButtonWindowsTest, WindowsWhereComposedOrAskedForAndNoneForWindowsWithoutButtons) {
  filter.refused.insert(target);
  EXPECT_FALSE(bars.show(target));
  filter.refused.clear();
  ASSERT_TRUE(bars.show(target));
  EXPECT_FALSE(bars.show(bar())) << "never buttons over its own button window";
  filter.refused.insert(target);
  EXPECT_FALSE(bars.show(target)) << "a window that no longer gets buttons loses them";
  EXPECT_TRUE(desk.buttonWindows.empty());
  filter.refused.clear();

  const auto inUse = [this](ButtonLook look, bool composed, bool layered) {
    settings.buttonLook = look;
    desk.composed = composed;
    desk.layeredWindows = layered;
    bars.chooseLook();
    return bars.inUse();
  };
  EXPECT_TRUE(inUse(ButtonLook::Automatic, true, true));
  EXPECT_FALSE(inUse(ButtonLook::Automatic, false, true));
  EXPECT_TRUE(inUse(ButtonLook::Windows, false, true));
  EXPECT_FALSE(inUse(ButtonLook::Windows, true, false)) << "no layered windows: painted";
  EXPECT_TRUE(inUse(ButtonLook::Windows, true, true));
  ASSERT_TRUE(bars.show(target));
  EXPECT_FALSE(inUse(ButtonLook::Painted, true, true));
  EXPECT_TRUE(desk.buttonWindows.empty()) << "painting again: every button window goes";
  EXPECT_FALSE(bars.show(target));
  EXPECT_TRUE(desk.everythingReleased());
}

// The program where the desktop composes: a button window instead of a
// painted row, its click runs the action, the end sequence takes it away.
class ComposedProgramTest : public testsupport::ProgramTest {};

TEST_F(ComposedProgramTest, ButtonWindowsReplaceThePaintedRowAndTakeItsClickRoute) {
  writeSettings(testsupport::firstStartSettings({{testsupport::kInstallPath, "C:\\Apps\\"}}));
  sim.composed = true;
  TStrennix& main = start();
  sim::SimWindow editor;
  editor.rect = Rect{100, 50, 740, 450};
  const Hwnd target = sim.addWindow(editor);
  sim.setForeground(target);
  sim.tick(main.handle(), IDT_TIMER1);

  EXPECT_TRUE(sim.draws.empty()) << "nothing painted into the title bar";
  EXPECT_TRUE(sim.buttonRows.empty()) << "no row for the hook library to keep presses for";
  ASSERT_EQ(sim.buttonWindows.size(), 1U);
  Hwnd bar = sim.buttonWindows.begin()->first;
  EXPECT_EQ(sim.window(bar).rect, (Rect{586, 56, 682, 70})) << "the painted row's place";

  // The rightmost button (stay on top), clicked.
  sim.post(main.handle(), kStrnxBarPress, handleBits(bar), packPoint({90, 5}));
  sim.post(main.handle(), kStrnxBarRelease, handleBits(bar), packPoint({90, 5}));
  EXPECT_NE(sim.window(target).exStyle & win::kWsExTopmost, 0U);
  EXPECT_EQ(sim.foreground(), target);

  // Composition switched off while it runs: painted again at the next tick.
  sim.composed = false;
  sim.tick(main.handle(), IDT_TIMER1);
  EXPECT_TRUE(sim.buttonWindows.empty());
  EXPECT_FALSE(sim.draws.empty());
  EXPECT_TRUE(sim.buttonRows.contains(target));
  sim.composed = true;
  sim.tick(main.handle(), IDT_TIMER1);
  ASSERT_EQ(sim.buttonWindows.size(), 1U);
  EXPECT_FALSE(sim.buttonRows.contains(target)) << "its row withdrawn for the button window";

  bar = sim.buttonWindows.begin()->first;
  main.endApp();
  EXPECT_TRUE(sim.buttonWindows.empty());
  sim.post(main.handle(), kStrnxBarPress, handleBits(bar), packPoint({90, 5}));
  sim.post(main.handle(), kStrnxBarRelease, handleBits(bar), packPoint({90, 5}));
  EXPECT_NE(sim.window(target).exStyle & win::kWsExTopmost, 0U) << "no click after the end";
}

}  // namespace
}  // namespace strennix
