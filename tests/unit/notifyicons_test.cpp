#include "app/core/notifyicons.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/sim/simdesktop.h"

namespace strennix {
namespace {

// At log-on the shell may not be there yet: the icon is tried on every tick
// (ten a second at the fastest priority), and the log says so once.
TEST(NotifyIconsTest, AnOwnIconTheShellKeepsRefusingIsLoggedOnceUntilItIsShown) {
  sim::SimDesktop sim;
  Logger log(sim, sim);
  log.debugMode = true;
  NotifyIcons icons(sim, log);
  icons.setOwner(Hwnd{0x100}, IconHandle{0x200});
  sim.refuseTrayAdds = true;

  const auto failuresAfter50Ticks = [&] {
    for (int tick = 0; tick < 50; ++tick) {
      icons.showOwnIcon();
    }
    const std::string& text = sim.files[kAppLog];
    return std::count(text.begin(), text.end(), '\n');
  };
  EXPECT_EQ(failuresAfter50Ticks(), 1) << sim.files[kAppLog];
  EXPECT_NE(sim.files[kAppLog].find("::TrayMessage failed."), std::string::npos);

  sim.refuseTrayAdds = false;
  EXPECT_TRUE(icons.showOwnIcon());
  EXPECT_TRUE(icons.showOwnIcon()) << "an icon the shell has takes the change";
  EXPECT_EQ(sim.trayIcons.size(), 1U);

  // The shell has gone again: a new failure is logged again, once.
  sim.trayIcons.clear();
  sim.refuseTrayAdds = true;
  EXPECT_EQ(failuresAfter50Ticks(), 2) << sim.files[kAppLog];
}

}  // namespace
}  // namespace strennix
