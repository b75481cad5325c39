// Start-up of the real program under Wine: the command-line switches and
// their log files, the first start with its defaults and settings window, and
// a broken setting that ends start-up with the error box.
#include <algorithm>
#include <map>
#include <regex>
#include <utility>

#include "resources/resource.h"
#include "resources/version.h"
#include "tests/e2e/harness.h"
#include "tests/support/defaultsettings.h"

namespace strennix::e2e {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> textFiles(const fs::path& directory) {
  std::vector<fs::path> found;
  for (const auto& entry : fs::directory_iterator(directory)) {
    if (entry.path().extension() == ".txt") {
      found.push_back(entry.path().filename());
    }
  }
  return found;
}

// The settings as the first start leaves them in memory, in dump order.
const std::vector<std::pair<std::string, std::string>> kDefaultVariables = {
    {"usingVMax", "1"},
    {"usingHMax", "1"},
    {"usingShade", "1"},
    {"usingMinIcon", "1"},
    {"usingMinMenu", "1"},
    {"usingTop", "1"},
    {"numberOfButtons", "6"},
    {"priority", "4"},
    {"buttonXOffset", "58"},
    {"buttonYOffset", "6"},
    {"buttonXStretch", "16"},
    {"buttonYStretch", "14"},
    {"drawOnAll", "0"},
    {"excludeStyles", "-1073741824"},  // WS_POPUP | WS_CHILD, printed signed
    {"excludeExStyles", "161"},
    {"excludingClasses", "0"},
    {"excludingNames", "0"},
    {"menuStay", "1"},
    {"menuSort", "1"},
    {"numberOfMinimizedWindows", "0"},
    {"numberOfTrayedWindows", "0"},
    {"numberOfShadedWindows", "0"},
};

class StartupTest : public EditionTest<WineDesktopTest> {
 protected:
  const Window mainForm = Window::byClass("TStrennix");
};

TEST_P(StartupTest, DebugSwitchWritesTheStartLineAndBothDumps) {
  WineProcess& strennix = startStrennix({"--debug"});
  waitForVisibleWindow(mainForm);
  ASSERT_EQ(closeStrennix(strennix), 0);

  const auto log = splitLines(readFile("applog.txt"));
  const size_t dumpLines = 2 + 7 + 2 + kDefaultVariables.size() + 1;
  ASSERT_EQ(log.size(), dumpLines + 1) << readFile("applog.txt");

  // The start line, its message spread over two physical lines.
  EXPECT_EQ(logMessage(log[0]), "Starting application in debugmode.") << log[0];
  EXPECT_EQ(log[1], "Dumping some systeminfo.");

  // The system information.
  EXPECT_TRUE(std::regex_match(log[2], std::regex(R"(OSVERSIONINFO\.dwMajorVersion: \d+)")));
  EXPECT_TRUE(std::regex_match(log[3], std::regex(R"(OSVERSIONINFO\.dwMinorVersion: \d+)")));
  EXPECT_TRUE(std::regex_match(log[4], std::regex(R"(OSVERSIONINFO\.dwBuildNumber: \d+)")));
  EXPECT_EQ(log[5], "OSVERSIONINFO.dwdwPlatformId: 2");  // Wine poses as the NT family
  EXPECT_EQ(log[6], std::string("Strnx version: ") + kVersion);
  EXPECT_EQ(log[7], "Path: " + windowsPath(workFile("strennix.exe")));
  EXPECT_EQ(log[8], "Finding " + own().library + ": 1");

  // The settings in memory, as the first start's defaults make them.
  EXPECT_TRUE(std::regex_match(log[9], std::regex(std::string("Variables at ") + kLogTimeStamp)))
      << log[9];
  EXPECT_EQ(log[10], "**********");
  for (size_t i = 0; i < kDefaultVariables.size(); ++i) {
    const auto& [field, value] = kDefaultVariables[i];
    EXPECT_EQ(log[11 + i], std::string("Strennix->").append(field).append("=").append(value));
  }
  EXPECT_EQ(log[dumpLines - 1], "**********");
  EXPECT_EQ(logMessage(log[dumpLines]), "Terminating application.") << log[dumpLines];

  // --debug alone writes no trace line anywhere.
  for (const fs::path& file : textFiles(workDir())) {
    for (const std::string& line : splitLines(readFile(file.string()))) {
      EXPECT_FALSE(std::regex_search(line, std::regex(std::string(kLogTimeStamp) + "   Called")))
          << file << ": " << line;
    }
  }
}

TEST_P(StartupTest, LogSwitchTracesTheSettingsLoad) {
  WineProcess& strennix = startStrennix({"--log"});
  waitForVisibleWindow(mainForm);

  waitFor(
      [this] { return hasLogLine(splitLines(readFile("setupapplog.txt")), "Exited regToVars."); },
      "the settings load to be traced");
  const auto log = splitLines(readFile("setupapplog.txt"));
  const auto called = std::find_if(log.begin(), log.end(), [](const std::string& line) {
    return logMessage(line) == "Called regToVars. (Critical)";
  });
  const auto exited = std::find_if(log.begin(), log.end(), [](const std::string& line) {
    return logMessage(line) == "Exited regToVars.";
  });
  EXPECT_NE(called, log.end()) << readFile("setupapplog.txt");
  EXPECT_LT(called, exited);

  const auto appLog = splitLines(readFile("applog.txt"));
  ASSERT_GE(appLog.size(), 2u);
  EXPECT_EQ(logMessage(appLog[0]), "Starting application in loggingmode.") << appLog[0];
  EXPECT_EQ(appLog[1], "Dumping some systeminfo.");

  EXPECT_EQ(closeStrennix(strennix), 0);
}

TEST_P(StartupTest, NoSwitchWritesNoLogFile) {
  WineProcess& strennix = startStrennix();
  waitForVisibleWindow(mainForm);
  EXPECT_TRUE(textFiles(workDir()).empty());

  EXPECT_EQ(closeStrennix(strennix), 0);
  EXPECT_TRUE(textFiles(workDir()).empty());
}

TEST_P(StartupTest, InvalidPriorityShowsTheErrorAndExitsWithZero) {
  WineProcess& first = startStrennix();
  waitForVisibleWindow(mainForm);
  ASSERT_EQ(closeStrennix(first), 0);
  regAdd(kSettingsKey, "Priority", "abc");

  WineProcess& second = startStrennix();
  bool mainFormShown = false;
  expectEventually(
      [&] {
        std::optional<std::string> message;
        for (const WindowInfo& window : listWindows(true)) {
          if (window.className == "TStrennix") {
            mainFormShown = true;
          }
          if (window.className == "#32770" && window.title == "Strennix") {
            message = dialogText("Strennix");
          }
        }
        return message;
      },
      std::optional<std::string>("'abc' is not a valid integer value."),
      "the text of the error box", kStartTimeout);
  screenshot("error-box.png");

  pressDialogButton("Strennix", "ok");
  EXPECT_EQ(second.waitForExit(), 0);
  EXPECT_FALSE(mainFormShown);
}

TEST_P(StartupTest, FirstStartWritesTheDefaultsAndShowsTheSettingsWindow) {
  ASSERT_TRUE(regValues(kSettingsKey).empty()) << "the prefix is not fresh";

  WineProcess& first = startStrennix();
  waitForVisibleWindow(mainForm);
  expectEventually([this] { return findWindow(mainForm).value_or(WindowInfo{}).title; },
                   std::string("Strennix"), "the title of the settings form");
  screenshot("settings-window.png");

  const std::string exePath = windowsPath(workFile("strennix.exe"));
  std::map<std::string, RegValue> defaults;
  for (const auto& [name, data] : testsupport::firstStartSettings(
           {{testsupport::kInstallPath, exePath.substr(0, exePath.rfind('\\') + 1)}})) {
    defaults[name] = {"REG_SZ", data};
  }
  expectRegValues(kSettingsKey, defaults);
  ASSERT_EQ(closeStrennix(first), 0);

  // The second start keeps the user's settings and shows only the tray icon.
  regAdd(kSettingsKey, "Priority", "7");
  WineProcess& second = startStrennix();
  waitFor([this] { return windowExists("TTrayForm"); }, "the tray menu form to be made",
          kStartTimeout);
  waitFor([this] { return responds(mainForm); }, "the message loop to run");
  const auto hidden = findWindow(mainForm);
  ASSERT_TRUE(hidden.has_value());
  EXPECT_FALSE(hidden->visible);
  expectRegValues(kSettingsKey, {{"Priority", {"REG_SZ", "7"}}});
  EXPECT_EQ(closeStrennix(second), 0);
}

// One copy per session: a second start brings up the running copy's
// settings window and ends, leaving one main window.
TEST_P(StartupTest, ASecondStartShowsTheRunningCopysSettingsAndEnds) {
  WineProcess& first = startStrennix();
  waitForVisibleWindow(mainForm);
  clickControl(mainForm, IDC_BTNHIDE);
  waitFor([this] { return !findWindow(mainForm).value_or(WindowInfo{}).visible; },
          "the settings window to hide");

  WineProcess& second = startStrennix();
  EXPECT_EQ(second.waitForExit(), 0);
  waitForVisibleWindow(mainForm);
  const auto windows = listWindows();
  EXPECT_EQ(std::count_if(windows.begin(), windows.end(),
                          [](const WindowInfo& w) { return w.className == "TStrennix"; }),
            1);
  EXPECT_TRUE(first.running());
  EXPECT_EQ(closeStrennix(first), 0);
}

STRENNIX_TEST_EDITIONS(StartupTest, runnableEditions());

}  // namespace
}  // namespace strennix::e2e
