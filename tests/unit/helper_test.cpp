// The helper of the other bitness as strennix.exe starts and ends it, on the
// simulated desktop: strennix64.exe beside the 32-bit program, strennix32.exe
// beside the 64-bit one.
#include "hook/helper.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/log.h"
#include "platform/sim/simdesktop.h"
#include "tests/unit/simsupport.h"

namespace strennix {
namespace {

struct Edition {
  const char* name;
  bool program64Bit;
  const char* helperPath;
  // The helper's name, its library and the windows it reaches.
  const char* helper;
  const char* library;
  const char* windows;
};

constexpr Edition kEdition32{
    "Edition32",      false,        R"(C:\Program Files\Strennix\strennix64.exe)",
    "strennix64.exe", "hook64.dll", "64-bit"};
constexpr Edition kEdition64{
    "Edition64",      true,       R"(C:\Program Files\Strennix\strennix32.exe)",
    "strennix32.exe", "hook.dll", "32-bit"};

// The program as it runs on 64-bit Windows: the 32-bit one under WoW64.
class HelperTest : public testing::TestWithParam<Edition> {
 protected:
  HelperTest() {
    log.debugMode = true;
    log.loggingMode = true;
    sim.program64Bit = edition().program64Bit;
    sim.wow64 = !edition().program64Bit;
    sim.programs[edition().helperPath] = sim::SimProgram{};
  }

  static const Edition& edition() { return GetParam(); }

  [[nodiscard]] std::vector<std::string> logLines() const {
    return testsupport::logLines(sim, kSetupHookLog);
  }

  static std::string helperLine(const std::string& text) {
    return std::string(edition().helper) + text;
  }

  sim::SimDesktop sim;
  Logger log{sim, sim};
  Helper helper{sim, sim, log};
};

using Helper32BitWindowsTest = HelperTest;

TEST_P(Helper32BitWindowsTest, On32BitWindowsNothingStartsAndNothingIsLogged) {
  sim.wow64 = false;
  helper.beginHelper();
  helper.endHelper();
  EXPECT_TRUE(sim.started.empty());
  EXPECT_EQ(sim.files.count(kSetupHookLog), 0U);
}

TEST_P(HelperTest, On64BitWindowsItStartsFromTheProgramsFolderWithTheProgramsProcessId) {
  sim.currentProcess = 0x1F4;
  helper.beginHelper();
  ASSERT_EQ(sim.started.size(), 1U);
  EXPECT_EQ(sim.started[0].path, edition().helperPath);
  EXPECT_EQ(sim.started[0].arguments, "500");
  EXPECT_TRUE(helper.running());
  EXPECT_EQ(logLines(), (std::vector<std::string>{"Called beginHelper",
                                                  std::string("  Started ") + edition().helper,
                                                  "Exited beginHelper"}));
}

TEST_P(HelperTest, ExitAsksItToEndAndWaitsForIt) {
  helper.beginHelper();
  sim.files.erase(kSetupHookLog);
  helper.endHelper();
  EXPECT_TRUE(sim.started[0].askedToEnd);
  EXPECT_FALSE(sim.started[0].terminated);
  EXPECT_FALSE(helper.running());
  EXPECT_EQ(logLines(), (std::vector<std::string>{"Called endHelper", "Exited endHelper"}));
  EXPECT_TRUE(sim.everythingReleased());
}

TEST_P(HelperTest, AHelperThatDoesNotEndWhenAskedIsTerminated) {
  sim.programs[edition().helperPath].ignoresEndSignal = true;
  helper.beginHelper();
  log.loggingMode = false;
  helper.endHelper();
  EXPECT_TRUE(sim.started[0].terminated);
  EXPECT_EQ(logLines().back(), helperLine(" didn't end. Terminated it."));
  EXPECT_TRUE(sim.everythingReleased());
}

TEST_P(HelperTest, AHelperThatEndsAtOnceIsLoggedWithItsReason) {
  sim.programs[edition().helperPath].exitCodeAtStart = 3;
  log.loggingMode = false;
  helper.beginHelper();
  EXPECT_FALSE(helper.running());
  EXPECT_EQ(logLines(),
            (std::vector<std::string>{helperLine(" ended: ") + edition().library + " not found. " +
                                      edition().windows + " windows get no hooks."}));
  helper.endHelper();
  EXPECT_FALSE(sim.started[0].askedToEnd);
  EXPECT_EQ(logLines().size(), 1U);
  EXPECT_TRUE(sim.everythingReleased());
}

TEST_P(HelperTest, AHelperThatRefusesTheProcessItWasGivenIsLoggedAndNotStartedAgain) {
  sim.programs[edition().helperPath].exitCodeAtStart = 6;
  log.loggingMode = false;
  helper.beginHelper();
  EXPECT_FALSE(helper.checkHelper());
  EXPECT_EQ(sim.started.size(), 1U);
  EXPECT_EQ(logLines(),
            (std::vector<std::string>{
                helperLine(" ended: the process it was given was not started from its folder. ") +
                edition().windows + " windows get no hooks."}));
}

TEST_P(HelperTest, AHelperThatEndedWhileTheProgramRanIsReportedAtExit) {
  helper.beginHelper();
  sim.started[0].exitCode = 5;
  log.loggingMode = false;
  helper.endHelper();
  EXPECT_FALSE(sim.started[0].askedToEnd);
  EXPECT_EQ(logLines().back(), helperLine(" ended: its hooks were refused. ") + edition().windows +
                                   " windows get no hooks.");
  EXPECT_TRUE(sim.everythingReleased());
}

TEST_P(HelperTest, AHelperThatEndsOnItsOwnIsStartedAgainThreeTimesAtMostEachLogged) {
  log.loggingMode = false;
  helper.beginHelper();
  EXPECT_FALSE(helper.checkHelper()) << "still running";
  for (std::size_t run = 0; run < 4; ++run) {
    ASSERT_EQ(sim.started.size(), run + 1);
    sim.started[run].exitCode = 0;
    EXPECT_TRUE(helper.checkHelper());
  }
  EXPECT_EQ(sim.started.size(), 4U);
  EXPECT_FALSE(helper.running());
  const std::vector<std::string> lines = logLines();
  EXPECT_EQ(lines.size(), 7U);
  EXPECT_EQ(lines[1], helperLine(" again (1 of 3).").insert(0, "Starting "));
  EXPECT_EQ(lines[5], helperLine(" again (3 of 3).").insert(0, "Starting "));
  EXPECT_TRUE(sim.everythingReleased());
}

TEST_P(HelperTest, AMissingHelperIsLoggedAndNothingRuns) {
  sim.programs.erase(edition().helperPath);
  log.loggingMode = false;
  helper.beginHelper();
  EXPECT_FALSE(helper.running());
  EXPECT_EQ(logLines(),
            (std::vector<std::string>{std::string("Couldn't start ") + edition().helper + ". " +
                                      edition().windows + " windows get no hooks."}));
}

std::string editionName(const testing::TestParamInfo<Edition>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Editions, HelperTest, testing::Values(kEdition32, kEdition64),
                         editionName);
INSTANTIATE_TEST_SUITE_P(Editions, Helper32BitWindowsTest, testing::Values(kEdition32),
                         editionName);

}  // namespace
}  // namespace strennix
