#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/log.h"
#include "eligibility/namefromwindow.h"
#include "platform/sim/simdesktop.h"
#include "platform/winconst.h"
#include "tests/support/perfdatabuilder.h"
#include "tests/unit/simsupport.h"

namespace strennix {
namespace {

class NameFromWindowTest : public ::testing::Test {
 protected:
  NameFromWindowTest() {
    log.debugMode = true;
    log.loggingMode = true;
    desk.processes[1234] = sim::SimProcess{"C:\\WINDOWS\\NOTEPAD.EXE", "notepad.exe", false};
    desk.processes[88] = sim::SimProcess{"EXPLORER.EXE", "Explorer.EXE", false};
    desk.processes[4] = sim::SimProcess{"System", "System", true};
    notepad = windowOf(1234);
  }

  Hwnd windowOf(ProcessId processId) {
    sim::SimWindow window;
    window.processId = processId;
    return desk.addWindow(window);
  }

  [[nodiscard]] std::vector<std::string> logLines() const {
    return testsupport::logLines(desk, kNameFromWindowLog);
  }

  void onPlatform(std::uint32_t platformId) { desk.osVersion = OsVersion{4, 10, 2222, platformId}; }

  void withoutPsapi() {
    desk.libraries.erase("psapi.dll");
    desk.setRegValue(RegRoot::LocalMachine, kPerflibKey, "Counter", win::kRegMultiSz,
                     perf::buildCounterList({{"1", "1847"},
                                             {"2", "System"},
                                             {"230", "Process"},
                                             {"6", "% Processor Time"},
                                             {"784", "ID Process"}}));
  }

  sim::SimDesktop desk;
  Logger log{desk, desk};
  NameFromWindow names{desk, desk, desk, desk, log};
  Hwnd notepad{};
};

TEST_F(NameFromWindowTest, Windows9xGivesTheFileNameAfterTheLastBackslash) {
  onPlatform(win::kPlatformWin32Windows);
  EXPECT_EQ(names.nameFromWindow(notepad), "NOTEPAD.EXE");
  EXPECT_EQ(names.nameFromWindow(windowOf(88)), "EXPLORER.EXE") << "no backslash: kept whole";
  EXPECT_EQ(names.nameFromWindow(windowOf(555)), "unknown") << "no such process";
  EXPECT_TRUE(desk.everythingReleased());
  EXPECT_EQ(desk.snapshotHandles.acquired, 3);
}

TEST_F(NameFromWindowTest, Windows9xWithoutToolhelpEntryPointsGivesUnknown) {
  onPlatform(win::kPlatformWin32Windows);
  desk.libraries["kernel32.dll"].erase("Process32Next");
  EXPECT_EQ(names.nameFromWindow(windowOf(88)), "unknown");
  desk.libraries["kernel32.dll"].erase("CreateToolhelp32Snapshot");
  EXPECT_EQ(names.nameFromWindow(notepad), "unknown");
  desk.libraries.erase("kernel32.dll");
  EXPECT_EQ(names.nameFromWindow(notepad), "unknown");
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(NameFromWindowTest, NtFamilyAsksPsapiForTheModuleBaseName) {
  onPlatform(win::kPlatformWin32Nt);
  EXPECT_EQ(names.nameFromWindow(notepad), "notepad.exe");
  EXPECT_EQ(names.nameFromWindow(windowOf(88)), "Explorer.EXE");
  EXPECT_EQ(desk.processHandles.acquired, 2);
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(NameFromWindowTest, ARefusedProcessUnderPsapiStaysUnknownWithoutPerformanceData) {
  onPlatform(win::kPlatformWin32Nt);
  EXPECT_EQ(names.nameFromWindow(windowOf(4)), "unknown");
  desk.libraries["psapi.dll"].erase("GetModuleBaseNameA");
  EXPECT_EQ(names.nameFromWindow(notepad), "unknown");
  EXPECT_EQ(desk.performanceQueries, 0);
  EXPECT_TRUE(desk.everythingReleased());
}

// From Vista on, QueryFullProcessImageNameA with the limited query right
// names processes that PSAPI cannot read: those of the other bitness, most
// elevated ones.
TEST_F(NameFromWindowTest, WhereTheSystemOffersItTheImagePathNamesAProcessPsapiCannotRead) {
  desk.libraries["kernel32.dll"].insert("QueryFullProcessImageNameA");
  desk.processes[2468] =
      sim::SimProcess{.exeFile = "tool64.exe", .baseName = "tool64.exe", .accessDenied = false};
  desk.imagePaths[2468] = R"(C:\Program Files\Tool\tool64.exe)";
  desk.limitedAccessOnly.insert(2468);

  const Hwnd window = windowOf(2468);
  EXPECT_EQ(names.nameFromWindow(window), "tool64.exe");
  EXPECT_EQ(logLines(),
            (std::vector<std::string>{"Called nameFromWindow", "Called nameFromImagePath",
                                      "Exited nameFromImagePath"}));
  EXPECT_EQ(names.nameFromPsapi(window), "unknown");
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(NameFromWindowTest, AProcessWithoutAnImagePathIsAskedPsapiAfterAll) {
  desk.libraries["kernel32.dll"].insert("QueryFullProcessImageNameA");
  EXPECT_EQ(names.nameFromWindow(notepad), "notepad.exe");
  EXPECT_EQ(logLines(),
            (std::vector<std::string>{"Called nameFromWindow", "Called nameFromImagePath",
                                      "  No image path, asking psapi"}));
  EXPECT_EQ(desk.processHandles.acquired, 2) << "one handle for each way";
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(NameFromWindowTest, AnotherPlatformIdGivesUnknownWithoutAnyLookup) {
  for (const std::uint32_t platformId : {0U, 3U}) {
    onPlatform(platformId);
    EXPECT_EQ(names.nameFromWindow(notepad), "unknown");
  }
  desk.osVersion.reset();
  EXPECT_EQ(names.nameFromWindow(notepad), "unknown");
  EXPECT_EQ(desk.modules.acquired, 0);
  EXPECT_EQ(desk.processLookups, 0);
}

TEST_F(NameFromWindowTest, ThePlatformIsAskedOnEveryCall) {
  onPlatform(win::kPlatformWin32Nt);
  EXPECT_EQ(names.nameFromWindow(notepad), "notepad.exe");
  onPlatform(win::kPlatformWin32Windows);
  EXPECT_EQ(names.nameFromWindow(notepad), "NOTEPAD.EXE");
}

TEST_F(NameFromWindowTest, WritesItsEntryLineOnlyWhenLogging) {
  const std::string line = "Tue Dec 08 03:14:48 2026   Called nameFromWindow\n";
  names.nameFromWindow(notepad);
  EXPECT_EQ(desk.files[kNameFromWindowLog], line);
  log.loggingMode = false;
  names.nameFromWindow(notepad);
  EXPECT_EQ(desk.files[kNameFromWindowLog], line);
}

TEST_F(NameFromWindowTest, NtWithoutPsapiReadsThePerformanceData) {
  onPlatform(win::kPlatformWin32Nt);
  withoutPsapi();
  desk.performanceData = perf::PerfDataBuilder::processObject(
      {{u"Idle", 0}, {u"System", 4}, {u"notepad", 1234}, {u"explorer", 88}});
  EXPECT_EQ(names.nameFromWindow(notepad), "notepad.exe") << "a file name, as the other ways give";
  EXPECT_EQ(names.nameFromWindow(windowOf(88)), "explorer.exe")
      << "the last instance is compared too";
  EXPECT_EQ(names.nameFromWindow(windowOf(4242)), "unknown");
  EXPECT_EQ(desk.performanceQueries, 3) << "each answer fitted the first 12000 bytes";
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(NameFromWindowTest, APerformanceAnswerOver12000BytesIsFetchedIn1000ByteSteps) {
  withoutPsapi();
  std::vector<perf::InstanceSpec> instances;
  for (std::uint32_t i = 0; i < 300; ++i) {
    instances.push_back({u"svchost", 10000 + i});
  }
  instances.push_back({u"winword", 777});
  desk.performanceData = perf::PerfDataBuilder::processObject(instances);
  const std::size_t size = desk.performanceData.size();
  ASSERT_GT(size, 15000U);

  EXPECT_EQ(names.nameFromPerflib(777), "winword.exe");
  EXPECT_EQ(desk.performanceQueries, 1 + static_cast<int>((size - 12000 + 999) / 1000));
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(NameFromWindowTest, CounterNamesAreMatchedWithLetterCase) {
  withoutPsapi();
  desk.setRegValue(RegRoot::LocalMachine, kPerflibKey, "Counter", win::kRegMultiSz,
                   perf::buildCounterList({{"230", "process"}, {"784", "ID Process"}}));
  desk.performanceData = perf::PerfDataBuilder::processObject({{u"notepad", 1234}});
  EXPECT_EQ(names.perflibCounterIndex("Process"), std::nullopt);
  EXPECT_EQ(names.perflibCounterIndex("ID Process"), "784");
  EXPECT_EQ(names.nameFromPerflib(1234), "unknown");
  EXPECT_EQ(desk.performanceQueries, 0);
  EXPECT_TRUE(desk.everythingReleased());
}

TEST_F(NameFromWindowTest, MissingOrOddPerflibDataGivesUnknown) {
  desk.libraries.erase("psapi.dll");
  desk.performanceData = perf::PerfDataBuilder::processObject({{u"notepad", 1234}});
  EXPECT_EQ(names.nameFromPerflib(1234), "unknown") << "no Perflib key";

  desk.setRegValue(RegRoot::LocalMachine, kPerflibKey, "Counter", win::kRegMultiSz,
                   perf::buildCounterList({{"230", "Process"}}));
  EXPECT_EQ(names.nameFromPerflib(1234), "unknown") << "no ID Process";

  desk.setRegValue(RegRoot::LocalMachine, kPerflibKey, "Counter", win::kRegMultiSz,
                   perf::buildCounterList({{"230", "Process"}, {"78x", "ID Process"}}));
  EXPECT_EQ(names.nameFromPerflib(1234), "unknown") << "an index that is not a number";

  desk.setRegValue(RegRoot::LocalMachine, kPerflibKey, "Counter", win::kRegMultiSz,
                   perf::buildCounterList({{"230", "Process"}, {"785", "ID Process"}}));
  EXPECT_EQ(names.nameFromPerflib(1234), "unknown") << "no counter with that index";

  desk.setRegValue(RegRoot::LocalMachine, kPerflibKey, "Counter", win::kRegMultiSz,
                   perf::buildCounterList({{"230", "Process"}, {"784", "ID Process"}}));
  desk.performanceData.resize(desk.performanceData.size() / 2);
  EXPECT_EQ(names.nameFromPerflib(1234), "unknown") << "a truncated answer";
  desk.performanceData.assign(100, 0xFF);
  EXPECT_EQ(names.nameFromPerflib(1234), "unknown") << "not performance data at all";
  EXPECT_TRUE(desk.everythingReleased());
}

}  // namespace
}  // namespace strennix
