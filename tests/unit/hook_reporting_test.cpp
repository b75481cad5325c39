#include "hook/dll/reporting.h"

#include <gtest/gtest.h>

namespace strennix {
namespace {

constexpr unsigned kProgram = 100;  // strennix.exe
constexpr unsigned kHelper = 200;   // strennix64.exe
constexpr unsigned kEditor = 300;   // a program the library is mapped into

TEST(HookReportingTest, ALibraryMappedIntoTheWindowsProcessReportsItsEvent) {
  EXPECT_TRUE(reportsEvent(kEditor, kEditor, kProgram));
}

TEST(HookReportingTest, EventsOfTheProgramsOwnWindowsAreLeftOut) {
  EXPECT_FALSE(reportsEvent(kProgram, kProgram, kProgram));
}

// On 64-bit Windows a hook runs on its installing thread for processes of
// the other bitness; the library mapped into that process reports instead.
TEST(HookReportingTest, AHookRunOnItsInstallingThreadLeavesTheEventToTheOtherLibrary) {
  EXPECT_FALSE(reportsEvent(kEditor, kProgram, kProgram)) << "32-bit hook, 64-bit window";
  EXPECT_FALSE(reportsEvent(kEditor, kHelper, kProgram)) << "64-bit hook, 32-bit window";
}

// GetWindowThreadProcessId answers 0 for a window that no longer exists.
TEST(HookReportingTest, AWindowWithoutAProcessIsNotReported) {
  EXPECT_FALSE(reportsEvent(0, kEditor, kProgram));
}

}  // namespace
}  // namespace strennix
