#include "app/core/notifyicons.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/sim/simdesktop.h"

namespace strennix {
namespace {

std::size_t count(const std::string& text, const std::string& line) {
  std::size_t found = 0;
  for (std::size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) {
    ++found;
  }
  return found;
}

// At log-on the shell may not be there yet: the icon is tried on every tick
// (ten a second at the fastest priority), and the log says so once.
TEST(NotifyIconsTest, AnOwnIconTheShellKeepsRefusingIsLoggedOnceUntilItIsShown) {
  sim::SimDesktop sim;
  Logger log(sim, sim);
  log.debugMode = true;
  NotifyIcons icons(sim, log);
  icons.setOwner(0x100, 0x200);
  sim.refuseTrayAdds = true;

  for (int tick = 0; tick < 50; ++tick) {
    EXPECT_FALSE(icons.showOwnIcon());
  }
  EXPECT_EQ(count(sim.files[kAppLog], "::TrayMessage failed."), 1U);

  sim.refuseTrayAdds = false;
  EXPECT_TRUE(icons.showOwnIcon());
  EXPECT_TRUE(icons.showOwnIcon()) << "an icon the shell has takes the change";
  EXPECT_EQ(sim.trayIcons.size(), 1U);

  // The shell has gone again: a new failure is logged again, once.
  sim.trayIcons.clear();
  sim.refuseTrayAdds = true;
  for (int tick = 0; tick < 50; ++tick) {
    icons.showOwnIcon();
  }
  EXPECT_EQ(count(sim.files[kAppLog], "::TrayMessage failed."), 2U);
}

}  // namespace
}  // namespace strennix
