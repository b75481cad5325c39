// The 64-bit helper as strennix.exe starts and ends it, on the simulated
// desktop.
#include "hook/helper64.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/log.h"
#include "platform/sim/simdesktop.h"
#include "tests/unit/simsupport.h"

namespace strennix {
namespace {

constexpr const char* kHelperPath = R"(C:\Program Files\Strennix\strennix64.exe)";

class Helper64Test : public testing::Test {
 protected:
  Helper64Test() {
    log.debugMode = true;
    log.loggingMode = true;
    sim.wow64 = true;
    sim.programs[kHelperPath] = sim::SimProgram{};
  }

  [[nodiscard]] std::vector<std::string> logLines() const {
    return testsupport::logLines(sim, kSetupHookLog);
  }

  sim::SimDesktop sim;
  Logger log{sim, sim};
  Helper64 helper{sim, sim, log};
};

TEST_F(Helper64Test, On32BitWindowsNothingStartsAndNothingIsLogged) {
  sim.wow64 = false;
  helper.beginHelper();
  helper.endHelper();
  EXPECT_TRUE(sim.started.empty());
  EXPECT_EQ(sim.files.count(kSetupHookLog), 0U);
}

TEST_F(Helper64Test, UnderWow64ItStartsFromTheProgramsFolderWithTheProgramsProcessId) {
  sim.currentProcess = 0x1F4;
  helper.beginHelper();
  ASSERT_EQ(sim.started.size(), 1U);
  EXPECT_EQ(sim.started[0].path, kHelperPath);
  EXPECT_EQ(sim.started[0].arguments, "500");
  EXPECT_TRUE(helper.running());
  EXPECT_EQ(logLines(), (std::vector<std::string>{"Called beginHelper", "  Started strennix64.exe",
                                                  "Exited beginHelper"}));
}

TEST_F(Helper64Test, ExitAsksItToEndAndWaitsForIt) {
  helper.beginHelper();
  sim.files.erase(kSetupHookLog);
  helper.endHelper();
  EXPECT_TRUE(sim.started[0].quitPosted);
  EXPECT_FALSE(sim.started[0].terminated);
  EXPECT_FALSE(helper.running());
  EXPECT_EQ(logLines(), (std::vector<std::string>{"Called endHelper", "Exited endHelper"}));
  EXPECT_TRUE(sim.everythingReleased());
}

TEST_F(Helper64Test, AHelperThatDoesNotEndWhenAskedIsTerminated) {
  sim.programs[kHelperPath].ignoresQuit = true;
  helper.beginHelper();
  log.loggingMode = false;
  helper.endHelper();
  EXPECT_TRUE(sim.started[0].terminated);
  EXPECT_EQ(logLines().back(), "strennix64.exe didn't end. Terminated it.");
  EXPECT_TRUE(sim.everythingReleased());
}

TEST_F(Helper64Test, AHelperThatEndsAtOnceIsLoggedWithItsReason) {
  sim.programs[kHelperPath].exitCodeAtStart = 3;
  log.loggingMode = false;
  helper.beginHelper();
  EXPECT_FALSE(helper.running());
  EXPECT_EQ(logLines(), (std::vector<std::string>{
                            "strennix64.exe ended: hook64.dll not found. 64-bit windows get no "
                            "hooks."}));
  helper.endHelper();
  EXPECT_FALSE(sim.started[0].quitPosted);
  EXPECT_EQ(logLines().size(), 1U);
  EXPECT_TRUE(sim.everythingReleased());
}

TEST_F(Helper64Test, AHelperThatEndedWhileTheProgramRanIsReportedAtExit) {
  helper.beginHelper();
  sim.started[0].exitCode = 5;
  log.loggingMode = false;
  helper.endHelper();
  EXPECT_FALSE(sim.started[0].quitPosted);
  EXPECT_EQ(logLines().back(),
            "strennix64.exe ended: its hooks were refused. 64-bit windows get no hooks.");
  EXPECT_TRUE(sim.everythingReleased());
}

}  // namespace
}  // namespace strennix
