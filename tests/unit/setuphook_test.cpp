#include "hook/setuphook.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/core/log.h"
#include "platform/sim/simdesktop.h"
#include "platform/winconst.h"
#include "resources/version.h"

namespace strennix {
namespace {

constexpr const char* kKey = "Software\\Corvane inc.\\Strennix";
constexpr Hwnd kMainWindow{0x1000};

// Records, for every unhook, how many modules were still loaded at that
// moment, and forwards to the simulated desktop.
class RecordingHooks : public HookPort {
 public:
  explicit RecordingHooks(sim::SimDesktop& desktop) : desktop_(desktop) {}
  HookHandle setWindowsHook(int hookId, ProcAddress procedure, ModuleHandle module,
                            std::uint32_t threadId) override {
    receiverAtHook.push_back(desktop_.buttonRowsReceiver);
    return desktop_.hookPort().setWindowsHook(hookId, procedure, module, threadId);
  }
  std::vector<Hwnd> receiverAtHook;
  bool unhook(HookHandle hook) override {
    modulesOpenAtUnhook.push_back(desktop_.modules.open());
    return desktop_.hookPort().unhook(hook);
  }
  std::vector<int> modulesOpenAtUnhook;

 private:
  sim::SimDesktop& desktop_;
};

class SetupHookTest : public testing::Test {
 protected:
  SetupHookTest() {
    log.debugMode = true;
    // The begin sequence creates the key before the hooks are installed.
    sim.setRegString(RegRoot::CurrentUser, kKey, "Version", kVersion);
  }

  void provideLibrary(const std::set<std::string>& exports) { sim.libraries["hook.dll"] = exports; }

  // The messages of setuphooklog.txt, each checked for its time stamp.
  std::vector<std::string> logLines() {
    const std::string prefix = ctimeText(sim.now) + "   ";
    std::vector<std::string> lines;
    std::istringstream text(sim.files[kSetupHookLog]);
    for (std::string line; std::getline(text, line);) {
      EXPECT_EQ(line.rfind(prefix, 0), 0U) << line;
      lines.push_back(line.substr(prefix.size()));
    }
    sim.files.erase(kSetupHookLog);
    return lines;
  }

  std::optional<std::uint32_t> published(const char* name) {
    return sim.regDword(RegRoot::CurrentUser, kKey, name);
  }

  sim::SimDesktop sim;
  Logger log{sim, sim};
};

TEST_F(SetupHookTest, InstallsBothHooksForAllThreadsAndPublishesTheirHandles) {
  provideLibrary({"MouseProc", "CBTProc"});
  log.loggingMode = true;
  SetupHook setup(sim, sim, sim, sim, log);

  setup.beginHook(kMainWindow);

  ASSERT_TRUE(setup.hookLibrary.valid());
  // By full path: never a file of that name in the working directory or on PATH.
  EXPECT_EQ(sim.libraryLoads, (std::vector<std::string>{R"(C:\Program Files\Strennix\hook.dll)"}));
  ASSERT_EQ(sim.hooks.size(), 2U);
  EXPECT_EQ(sim.hooks[0].hookId, win::kWhMouse);
  EXPECT_EQ(sim.hooks[0].procedure, setup.mouseProc);
  EXPECT_EQ(sim.hooks[0].module, setup.hookLibrary.get());
  EXPECT_EQ(sim.hooks[0].threadId, 0U);
  EXPECT_EQ(sim.hooks[0].handle, setup.mouseHook);
  EXPECT_EQ(sim.hooks[1].hookId, win::kWhCbt);
  EXPECT_EQ(sim.hooks[1].procedure, setup.cbtProc);
  EXPECT_EQ(sim.hooks[1].module, setup.hookLibrary.get());
  EXPECT_EQ(sim.hooks[1].threadId, 0U);
  EXPECT_EQ(sim.hooks[1].handle, setup.cbtHook);
  EXPECT_NE(setup.mouseProc, setup.cbtProc);
  EXPECT_EQ(published("mH"), handleBits(setup.mouseHook));
  EXPECT_EQ(published("cbtH"), handleBits(setup.cbtHook));
  EXPECT_EQ(logLines(), (std::vector<std::string>{"Called beginHook. (Critical)", "Called mhToReg",
                                                  "Exited mhToReg", "Called cbthToReg",
                                                  "Exited cbthToReg", "Exited beginHook."}));
  EXPECT_EQ(sim.registryKeys.open(), 0);

  setup.endHook();

  EXPECT_TRUE(sim.hooks.empty());
  EXPECT_FALSE(setup.hookLibrary.valid());
  EXPECT_EQ(logLines(), (std::vector<std::string>{"Called endHook", "Exited endHook"}));
  EXPECT_TRUE(sim.everythingReleased());
  // The values keep the last handles until the next start.
  EXPECT_TRUE(published("mH").has_value());
  EXPECT_NE(*published("mH"), 0U);
}

TEST_F(SetupHookTest, PublishesAHandleAsAFourByteLittleEndianDword) {
  SetupHook setup(sim, sim, sim, sim, log);

  setup.mhToReg(HookHandle{0x12345678});
  setup.cbthToReg(HookHandle{0x00A0B0C0});

  const auto mouse = sim.regValue(RegRoot::CurrentUser, kKey, "mH");
  ASSERT_TRUE(mouse.has_value());
  EXPECT_EQ(mouse->type, win::kRegDword);
  EXPECT_EQ(mouse->data, (std::vector<std::uint8_t>{0x78, 0x56, 0x34, 0x12}));
  const auto cbt = sim.regValue(RegRoot::CurrentUser, kKey, "cbtH");
  ASSERT_TRUE(cbt.has_value());
  EXPECT_EQ(cbt->type, win::kRegDword);
  EXPECT_EQ(cbt->data, (std::vector<std::uint8_t>{0xC0, 0xB0, 0xA0, 0x00}));
  EXPECT_TRUE(logLines().empty());
  EXPECT_TRUE(sim.everythingReleased());
}

TEST_F(SetupHookTest, WithoutTheLibraryEveryStepFailsInTurnAndBothValuesBecomeZero) {
  // Handles left behind by an earlier run.
  sim.setRegDword(RegRoot::CurrentUser, kKey, "mH", 0x1234);
  sim.setRegDword(RegRoot::CurrentUser, kKey, "cbtH", 0x5678);
  SetupHook setup(sim, sim, sim, sim, log);

  setup.beginHook(kMainWindow);

  EXPECT_FALSE(setup.hookLibrary.valid());
  EXPECT_EQ(setup.mouseProc, ProcAddress{});
  EXPECT_EQ(setup.mouseHook, HookHandle{});
  EXPECT_EQ(setup.cbtProc, ProcAddress{});
  EXPECT_EQ(setup.cbtHook, HookHandle{});
  EXPECT_TRUE(sim.hooks.empty());
  EXPECT_EQ(published("mH"), 0U);
  EXPECT_EQ(published("cbtH"), 0U);
  // Failure lines are written with --debug alone; the trace lines are not.
  EXPECT_EQ(logLines(), (std::vector<std::string>{
                            "DLL not found. Fatal error", "MouseProc not found. Fatal error.",
                            "MouseHook not valid. Fatal error.", "CBTProc not found. Fatal error.",
                            "CBTHook not valid. Fatal error."}));

  setup.endHook();

  EXPECT_EQ(logLines(), (std::vector<std::string>{"Didn't unhook mouse. Severe error.",
                                                  "Didn't unhook CBT. Severe error."}));
  EXPECT_TRUE(sim.everythingReleased());
}

TEST_F(SetupHookTest, FailureLinesInterleaveWithTheTraceOfEachStep) {
  log.loggingMode = true;
  SetupHook setup(sim, sim, sim, sim, log);

  setup.beginHook(kMainWindow);

  EXPECT_EQ(logLines(), (std::vector<std::string>{
                            "Called beginHook. (Critical)", "DLL not found. Fatal error",
                            "MouseProc not found. Fatal error.", "Called mhToReg", "Exited mhToReg",
                            "MouseHook not valid. Fatal error.", "CBTProc not found. Fatal error.",
                            "Called cbthToReg", "Exited cbthToReg",
                            "CBTHook not valid. Fatal error.", "Exited beginHook."}));
}

TEST_F(SetupHookTest, NothingIsWrittenWithoutDebugMode) {
  log.debugMode = false;
  SetupHook setup(sim, sim, sim, sim, log);

  setup.beginHook(kMainWindow);
  setup.endHook();

  EXPECT_EQ(sim.files.count(kSetupHookLog), 0U);
  EXPECT_EQ(published("mH"), 0U);
}

TEST_F(SetupHookTest, ALibraryWithoutCbtProcStillGivesAWorkingMouseHook) {
  provideLibrary({"MouseProc"});
  SetupHook setup(sim, sim, sim, sim, log);

  setup.beginHook(kMainWindow);

  ASSERT_EQ(sim.hooks.size(), 1U);
  EXPECT_EQ(sim.hooks[0].hookId, win::kWhMouse);
  EXPECT_NE(setup.mouseHook, HookHandle{});
  EXPECT_EQ(published("mH"), handleBits(setup.mouseHook));
  EXPECT_EQ(setup.cbtProc, ProcAddress{});
  EXPECT_EQ(setup.cbtHook, HookHandle{});
  EXPECT_EQ(published("cbtH"), 0U);
  EXPECT_EQ(logLines(), (std::vector<std::string>{"CBTProc not found. Fatal error.",
                                                  "CBTHook not valid. Fatal error."}));

  setup.endHook();

  EXPECT_TRUE(sim.hooks.empty());
  EXPECT_EQ(logLines(), (std::vector<std::string>{"Didn't unhook CBT. Severe error."}));
  EXPECT_TRUE(sim.everythingReleased());
}

TEST_F(SetupHookTest, RefusedHooksArePublishedAsZeroAndTheLibraryIsStillReleased) {
  provideLibrary({"MouseProc", "CBTProc"});
  sim.refuseHooks = true;
  SetupHook setup(sim, sim, sim, sim, log);

  setup.beginHook(kMainWindow);

  EXPECT_NE(setup.mouseProc, ProcAddress{});
  EXPECT_NE(setup.cbtProc, ProcAddress{});
  EXPECT_EQ(published("mH"), 0U);
  EXPECT_EQ(published("cbtH"), 0U);
  EXPECT_EQ(logLines(), (std::vector<std::string>{"MouseHook not valid. Fatal error.",
                                                  "CBTHook not valid. Fatal error."}));
  EXPECT_EQ(sim.modules.open(), 1);

  setup.endHook();

  EXPECT_EQ(logLines(), (std::vector<std::string>{"Didn't unhook mouse. Severe error.",
                                                  "Didn't unhook CBT. Severe error."}));
  EXPECT_EQ(sim.modules.open(), 0);
  EXPECT_TRUE(sim.everythingReleased());
}

TEST_F(SetupHookTest, AMissingKeyIsNotCreatedAndEachWriterSaysSoInItsOwnWords) {
  sim.deleteRegKey(RegRoot::CurrentUser, kKey);
  provideLibrary({"MouseProc", "CBTProc"});
  log.loggingMode = true;
  SetupHook setup(sim, sim, sim, sim, log);

  setup.beginHook(kMainWindow);

  EXPECT_FALSE(sim.regKeyExists(RegRoot::CurrentUser, kKey));
  EXPECT_EQ(sim.hooks.size(), 2U);
  EXPECT_EQ(logLines(),
            (std::vector<std::string>{"Called beginHook. (Critical)", "Called mhToReg",
                                      "Couldn't open registry. Fatal error.", "Called cbthToReg",
                                      "Couldn't open registry. Fatal error", "Exited beginHook."}));
  setup.endHook();
  EXPECT_TRUE(sim.everythingReleased());
}

TEST_F(SetupHookTest, AKeyThatCannotBeOpenedIsReportedTheSameWay) {
  sim.unopenableKeys.insert(kKey);
  SetupHook setup(sim, sim, sim, sim, log);

  setup.mhToReg(HookHandle{7});
  setup.cbthToReg(HookHandle{8});

  EXPECT_EQ(logLines(), (std::vector<std::string>{"Couldn't open registry. Fatal error.",
                                                  "Couldn't open registry. Fatal error"}));
  EXPECT_FALSE(published("mH").has_value());
  EXPECT_TRUE(sim.everythingReleased());
}

TEST_F(SetupHookTest, ARefusedWriteIsNotReportedAndTheKeyIsClosed) {
  sim.refusedWrites.insert("mH");
  log.loggingMode = true;
  SetupHook setup(sim, sim, sim, sim, log);

  setup.mhToReg(HookHandle{7});

  EXPECT_FALSE(published("mH").has_value());
  EXPECT_EQ(logLines(), (std::vector<std::string>{"Called mhToReg", "Exited mhToReg"}));
  EXPECT_TRUE(sim.everythingReleased());
}

TEST_F(SetupHookTest, EndHookReportsHooksThatWereAlreadyGoneAndReleasesTheLibrary) {
  provideLibrary({"MouseProc", "CBTProc"});
  SetupHook setup(sim, sim, sim, sim, log);
  setup.beginHook(kMainWindow);
  ASSERT_TRUE(logLines().empty());
  // Removed behind the program's back, so that UnhookWindowsHookEx fails.
  sim.hooks.clear();

  setup.endHook();

  EXPECT_EQ(logLines(), (std::vector<std::string>{"Didn't unhook mouse. Severe error.",
                                                  "Didn't unhook CBT. Severe error."}));
  EXPECT_FALSE(setup.hookLibrary.valid());
  EXPECT_TRUE(sim.everythingReleased());
}

TEST_F(SetupHookTest, HooksAreRemovedBeforeTheLibraryIsReleased) {
  provideLibrary({"MouseProc", "CBTProc"});
  RecordingHooks hooks(sim);
  {
    SetupHook setup(sim, hooks, sim, sim, log);
    setup.beginHook(kMainWindow);
    setup.endHook();
  }
  EXPECT_EQ(hooks.modulesOpenAtUnhook, (std::vector<int>{1, 1}));

  // Also when the end sequence never ran: the owner's destruction cleans up
  // in the same order.
  hooks.modulesOpenAtUnhook.clear();
  {
    SetupHook setup(sim, hooks, sim, sim, log);
    setup.beginHook(kMainWindow);
    ASSERT_EQ(sim.hooks.size(), 2U);
  }
  EXPECT_EQ(hooks.modulesOpenAtUnhook, (std::vector<int>{1, 1}));
  EXPECT_TRUE(sim.hooks.empty());
  EXPECT_TRUE(sim.everythingReleased());
}

// The rows of a run that was killed would keep presses at their old places
// from the windows; the hook libraries learn the program's own window from
// the claim. Both are settled before the first hook goes in.
TEST_F(SetupHookTest, TheButtonRowsAreClaimedForTheMainWindowBeforeTheHooksGoIn) {
  provideLibrary({"MouseProc", "CBTProc"});
  sim.buttonRows[Hwnd{0x3000}] = ButtonRow{Hwnd{0x3000}, 58, 6, 16, 14, 6};
  RecordingHooks hooks(sim);
  SetupHook setup(sim, hooks, sim, sim, log);

  setup.beginHook(kMainWindow);

  EXPECT_EQ(hooks.receiverAtHook, (std::vector<Hwnd>{kMainWindow, kMainWindow}));
  EXPECT_TRUE(sim.buttonRows.empty());
  EXPECT_TRUE(logLines().empty());
  setup.endHook();
}

TEST_F(SetupHookTest, ButtonRowsHeldByAnotherProgramAreLoggedAndTheHooksStillGoIn) {
  provideLibrary({"MouseProc", "CBTProc"});
  sim.buttonRowsRefused = true;
  SetupHook setup(sim, sim, sim, sim, log);

  setup.beginHook(kMainWindow);

  EXPECT_EQ(sim.hooks.size(), 2U);
  EXPECT_EQ(logLines(), (std::vector<std::string>{"Button rows not published: their shared "
                                                  "memory is held by another program."}));
  setup.endHook();
}

}  // namespace
}  // namespace strennix
