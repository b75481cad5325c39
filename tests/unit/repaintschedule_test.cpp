#include "buttons/repaintschedule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <utility>

#include "app/core/log.h"
#include "app/core/settings.h"
#include "app/core/windowfilter.h"
#include "buttons/gfx.h"
#include "platform/forms.h"
#include "platform/sim/simdesktop.h"
#include "resources/resource.h"

namespace strennix {
namespace {

constexpr std::uint32_t kSettleTimer = IDT_TIMER1 + 1;

// Every window gets buttons but the form that hosts the timer.
class AllButHost : public WindowFilter {
 public:
  bool passesAll(Hwnd window) override { return window != host; }
  Hwnd host{};
};

class RepaintScheduleTest : public testing::Test {
 protected:
  RepaintScheduleTest() {
    settings.usingTop = settings.usingMinIcon = settings.usingShade = true;
    settings.usingMinMenu = settings.usingVMax = settings.usingHMax = true;
    settings.numberOfButtons = 6;
    settings.buttonXOffset = 58;
    settings.buttonYOffset = 6;
    settings.buttonXStretch = 16;
    settings.buttonYStretch = 14;
    filter.host = host.handle();
    gfx.setIcons(ButtonIcons{IconHandle{101}, IconHandle{102}, IconHandle{103}, IconHandle{104},
                             IconHandle{105}, IconHandle{106}, IconHandle{107}});
  }

  Hwnd addTarget(Rect rect) {
    sim::SimWindow window;
    window.rect = rect;
    window.title = "Editor";
    const Hwnd handle = sim.addWindow(window);
    sim.setForeground(handle);
    return handle;
  }
  [[nodiscard]] std::pair<Hwnd, std::uint32_t> settleTimer() const {
    return {host.handle(), kSettleTimer};
  }

  sim::SimDesktop sim;
  Logger log{sim, sim};
  Settings settings;
  Form host{sim, sim, sim, IDD_STRENNIX};
  AllButHost filter;
  Gfx gfx{sim, sim, sim, filter, settings, log};
  RepaintSchedule schedule{sim, host, sim, sim, gfx, settings, log};
};

TEST_F(RepaintScheduleTest, ACaptionChangePaintsTheForegroundWindowsButtonsAgainAtOnce) {
  const Hwnd editor = addTarget(Rect{100, 50, 740, 450});
  schedule.captionChanged(editor);
  EXPECT_EQ(sim.draws.size(), 6U);
  EXPECT_TRUE(sim.buttonRowsPort().published(editor).has_value());

  // Another window comes to the front: both title bars are repainted.
  const Hwnd other = addTarget(Rect{300, 300, 900, 700});
  sim.draws.clear();
  schedule.captionChanged(editor);
  schedule.captionChanged(other);
  ASSERT_EQ(sim.draws.size(), 6U);
  EXPECT_EQ(sim.draws[0].window, other);
  EXPECT_FALSE(sim.buttonRowsPort().published(editor).has_value()) << "its buttons are gone";
  EXPECT_TRUE(sim.buttonRowsPort().published(other).has_value());
}

TEST_F(RepaintScheduleTest, ACaptionChangeIsFollowedByTwoMorePaintsAndNoMore) {
  const Hwnd editor = addTarget(Rect{100, 50, 740, 450});
  schedule.captionChanged(editor);
  ASSERT_EQ(sim.draws.size(), 6U);
  const auto settle = sim.timers.find(settleTimer());
  ASSERT_NE(settle, sim.timers.end());
  EXPECT_EQ(settle->second, 10U);

  EXPECT_FALSE(schedule.tick(IDT_TIMER1)) << "another timer of the host";
  EXPECT_EQ(sim.draws.size(), 6U);
  EXPECT_TRUE(schedule.tick(kSettleTimer));
  EXPECT_EQ(sim.draws.size(), 12U);
  EXPECT_EQ(sim.timers.at(settleTimer()), 30U);
  schedule.tick(kSettleTimer);
  EXPECT_EQ(sim.draws.size(), 18U);
  EXPECT_FALSE(sim.timers.contains(settleTimer()));
}

// A window moved or hidden may uncover others: every window showing
// buttons is painted again shortly, once for a whole stream of reports.
TEST_F(RepaintScheduleTest, AnUncoveringReportRepaintsEveryWindowWithButtonsShortlyAfter) {
  settings.drawOnAll = true;
  const Hwnd editor = addTarget(Rect{100, 50, 740, 450});
  const Hwnd other = addTarget(Rect{300, 300, 900, 700});
  schedule.repaintCurrent();
  sim.draws.clear();
  schedule.uncovered(other);
  schedule.uncovered(other);
  EXPECT_TRUE(sim.draws.empty()) << "nothing at once";
  ASSERT_EQ(sim.timers.at(settleTimer()), 10U);

  schedule.tick(kSettleTimer);
  EXPECT_EQ(sim.draws.size(), 12U) << "both windows, once";
  schedule.uncovered(Hwnd{0xDEAD});
  EXPECT_EQ(sim.timers.at(settleTimer()), 10U) << "a new report is painted soon again";
  schedule.tick(kSettleTimer);
  schedule.tick(kSettleTimer);
  EXPECT_EQ(sim.draws.size(), 36U);
  EXPECT_FALSE(sim.timers.contains(settleTimer()));
  EXPECT_TRUE(sim.buttonRowsPort().published(editor).has_value());
  EXPECT_TRUE(sim.buttonRowsPort().published(other).has_value());
}

// Once a window's place is known, a move settles only the windows under the
// place it left (and itself), not every window showing buttons.
TEST_F(RepaintScheduleTest, AMoveSettlesOnlyTheWindowsUnderThePlaceTheWindowLeft) {
  settings.drawOnAll = true;
  const Hwnd editor = addTarget(Rect{100, 50, 740, 450});
  addTarget(Rect{300, 300, 900, 700});
  const Hwnd mover = addTarget(Rect{0, 0, 200, 100});
  schedule.repaintCurrent();
  schedule.uncovered(mover);
  schedule.tick(kSettleTimer);
  schedule.tick(kSettleTimer);

  sim.window(mover).rect = Rect{0, 600, 200, 700};
  sim.draws.clear();
  schedule.uncovered(mover);
  schedule.tick(kSettleTimer);
  std::set<Hwnd> painted;
  for (const auto& draw : sim.draws) {
    painted.insert(draw.window);
  }
  EXPECT_EQ(painted, (std::set<Hwnd>{mover, editor})) << "not the window it never covered";
}

}  // namespace
}  // namespace strennix
