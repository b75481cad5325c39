// The end-to-end harness: runs the real strennix.exe of an edition under
// Wine, each test in a desktop of its own (a private Xvfb display and a fresh
// copy of one template Wine prefix with a 1024 x 768 virtual desktop), in a
// fresh working directory, and reads and operates the windows there through
// the test driver of the program's bitness.
//
// Derive the fixtures from EditionTest<WineDesktopTest> (or a fixture built on
// WineDesktopTest), write the tests with TEST_P and instantiate each suite with
// STRENNIX_TEST_EDITIONS. Wait for conditions with waitFor, never with fixed
// sleeps. Everything the test started is ended in the fixture's destructor,
// also when the test fails; screenshots and, on failure, the log files stay in
// build/host/artifacts/<Suite.Test>/ (with "_" for "/").
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

#include "tests/e2e/process.h"

namespace strennix::e2e {

// Long enough for a slow, busy machine; a test that waits this long has failed.
inline constexpr std::chrono::milliseconds kDefaultTimeout = std::chrono::seconds(60);
// For a program's start and the desktop's: on a busy machine the first start
// in a fresh prefix copy took over half a minute.
inline constexpr std::chrono::milliseconds kStartTimeout = std::chrono::minutes(3);

inline constexpr const char* kSettingsKey = "HKCU\\Software\\Corvane inc.\\Strennix";
inline constexpr const char* kRunKey = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The kinds of Wine prefix a test runs in: a 32-bit one, and a 64-bit one,
// where 32-bit programs run under WoW64 beside 64-bit ones.
enum class PrefixArch { Win32, Win64 };

// The two editions, named by the bitness of their strennix.exe: the program
// and the hook library of one bitness, and beside them the helper and the
// library of the other bitness, which reach that bitness's programs.
enum class Edition { Bits32, Bits64 };

// Which programs a test runs: only those of the edition's own bitness, or
// beside them the other bitness's too (its helper, its windows), which only a
// 64-bit prefix runs.
enum class Bitnesses { Own, Both };

// What the preset of one bitness builds, as far as the tests use it. The
// files come from $STRENNIX_WIN32_BIN and $STRENNIX_WIN64_BIN or the win32
// and win64 builds of this source tree.
struct Build {
  std::string bits;  // 32, 64
  std::filesystem::path bin;
  std::string preset;    // win32, win64
  std::string variable;  // the environment variable that points elsewhere
  std::string library;   // hook.dll, hook64.dll
  std::string helper;    // what the program of the other bitness starts for this one
  std::string driver;    // testdriver.exe, testdriver64.exe
  std::string probe;     // hookprobe.exe, hookprobe64.exe
  [[nodiscard]] std::filesystem::path file(const std::string& name) const { return bin / name; }
};

Build buildOf(Edition bitness);
Edition otherBitness(Edition edition);
PrefixArch prefixFor(Edition edition, Bitnesses bitnesses);
std::filesystem::path sourceDir();
std::filesystem::path artifactsRoot();

// The editions this machine can run end to end, as scripts/editions.sh says
// (STRENNIX_NO_32BIT=1 leaves the 32-bit one out); asked once per run.
const std::vector<Edition>& runnableEditions();
// Those that run beside programs of the other bitness: every edition where
// both run, none elsewhere.
std::vector<Edition> editionsWithBothBitnesses();
// The parameter name of a test: Edition32, Edition64.
std::string editionName(const ::testing::TestParamInfo<Edition>& info);
void PrintTo(Edition edition, std::ostream* out);

// One template Wine prefix of each kind per test run, copied for every test.
// The ctest fixtures rebuild it before the first end-to-end test that needs
// it and remove it after the last; a test run outside ctest builds it when it
// is missing. A prefix kind serves the edition of its bitness (and the
// 32-bit edition beside 64-bit programs), so a machine that cannot run an
// edition never needs its prefix.
std::filesystem::path templatePrefixDir(PrefixArch arch);
void ensureTemplatePrefix(PrefixArch arch);
void rebuildTemplatePrefix(PrefixArch arch);
void removeTemplatePrefix(PrefixArch arch);
// The edition whose tests the template of this kind is made for.
Edition editionOf(PrefixArch arch);

// Why the Windows binaries a test of the edition needs cannot be tested, or
// nothing when they are built.
std::optional<std::string> missingBinaries(Edition edition, Bitnesses bitnesses = Bitnesses::Own);
// Set by scripts/test.sh ($STRENNIX_E2E_REQUIRE_BINARIES): missing binaries
// fail the tests instead of skipping them.
bool binariesRequired();

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  [[nodiscard]] int width() const { return right - left; }
  [[nodiscard]] int height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

// A top-level window as testdriver.exe reports it.
struct WindowInfo {
  std::uint32_t hwnd = 0;
  Rect rect;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  bool visible = false;
  bool topmost = false;
  bool foreground = false;
  bool iconic = false;
  std::uint32_t owner = 0;
  std::string className;
  std::string title;
};

// A child control; its rectangle is in the client coordinates of its own
// parent, parentId is 0 when that parent is the top-level window.
struct ControlInfo {
  int id = 0;
  std::string className;
  Rect rect;
  int parentId = 0;
  bool enabled = false;
  bool visible = false;
  std::optional<bool> checked;  // check boxes and radio buttons
  std::optional<int> position;  // track bars
  std::string text;
};

// Which top-level window a driver command works on: the first one matching
// class and/or title, or the one with the handle.
struct Window {
  std::string className;
  std::string title;
  std::uint32_t hwnd = 0;

  static Window byClass(std::string name) { return {std::move(name), {}, 0}; }
  static Window byTitle(std::string text) { return {{}, std::move(text), 0}; }
  static Window byHandle(std::uint32_t handle) { return {{}, {}, handle}; }
  [[nodiscard]] std::vector<std::string> arguments() const;
  [[nodiscard]] std::string describe() const;
};

// A handle as the driver takes it (--hwnd).
std::string hex(std::uint32_t value);

struct OpenWindowOptions {
  std::string title;
  std::string className;  // empty: the driver's own class
  std::optional<std::uint32_t> style;
  std::optional<std::uint32_t> exStyle;
  std::optional<Rect> rect;   // screen rectangle
  std::string ownerClass;     // owned by a hidden window of this class
  bool icon = false;          // answers WM_GETICON with an icon of its own
  bool otherBitness = false;  // opened by the driver of the other bitness
};

struct RegValue {
  std::string type;  // "REG_SZ", "REG_DWORD", ...
  std::string data;  // as `reg query` prints it (0x... for a DWORD)
  [[nodiscard]] std::uint32_t dword() const;
  bool operator==(const RegValue&) const = default;
};

// A Windows program started in the test's desktop.
class WineProcess {
 public:
  WineProcess(std::string name, ChildProcess child, std::filesystem::path log)
      : name_(std::move(name)), child_(std::move(child)), log_(std::move(log)) {}

  [[nodiscard]] const std::string& name() const { return name_; }
  [[nodiscard]] pid_t pid() const { return child_.pid(); }
  [[nodiscard]] bool running() { return child_.running(); }
  [[nodiscard]] std::optional<int> exitCode() { return child_.exitCode(); }
  // The exit code; fails the test when the program does not end in time.
  int waitForExit(std::chrono::milliseconds timeout = kDefaultTimeout);
  // Wine's own output for this program (stdout and stderr).
  [[nodiscard]] const std::filesystem::path& logFile() const { return log_; }
  [[nodiscard]] std::string output() const;
  void kill() { child_.stop(SIGKILL, std::chrono::seconds(5)); }

 private:
  std::string name_;
  ChildProcess child_;
  std::filesystem::path log_;
};

struct OpenedWindow {
  std::uint32_t hwnd = 0;
  WineProcess* process = nullptr;
};

class WineSession;

class WineDesktopTest : public ::testing::Test {
 protected:
  explicit WineDesktopTest(Edition edition, Bitnesses bitnesses = Bitnesses::Own);
  ~WineDesktopTest() override;

  [[nodiscard]] Edition edition() const { return edition_; }
  // What the preset of the program's bitness built, and of the other one.
  [[nodiscard]] Build own() const { return buildOf(edition_); }
  [[nodiscard]] Build other() const { return buildOf(otherBitness(edition_)); }
  // Whether the program starts its helper for the other bitness: on 64-bit
  // Windows, which a 64-bit prefix is.
  [[nodiscard]] bool startsHelper() const {
    return prefixFor(edition_, bitnesses_) == PrefixArch::Win64;
  }

  // Skips the test when the Windows binaries are not built; otherwise makes
  // the desktop, the prefix and the working directory and waits for the
  // desktop's taskbar.
  void SetUp() override;
  // On failure, keeps a screenshot and the logs as artifacts.
  void TearDown() override;

  // --- waiting ---------------------------------------------------------------
  // Polls the condition until it holds; after the time-out the test fails
  // with `what`.
  static void waitFor(const std::function<bool()>& condition, const std::string& what,
                      std::chrono::milliseconds timeout = kDefaultTimeout);

  // For every state that settles over time (a title, a rectangle, a log
  // line, a registry value, pixels): polls `read` until its value equals
  // `expected`, or passes it when `expected` is a predicate, and returns that
  // value. After the time-out the test fails with `what` (what is read, or
  // with a predicate what is awaited) and the last value read.
  template <typename Read, typename Expected>
  static auto expectEventually(Read read, const Expected& expected, const std::string& what,
                               std::chrono::milliseconds timeout = kDefaultTimeout) {
    using Value = std::invoke_result_t<Read&>;
    if constexpr (std::is_invocable_r_v<bool, const Expected&, const Value&>) {
      return pollUntil(read, expected, what, timeout);
    } else {
      return pollUntil(
          read, [&](const Value& value) { return value == expected; },
          what + " to be " + ::testing::PrintToString(expected), timeout);
    }
  }

  // Waits until the window exists and is visible. A message box titled
  // "Strennix" showing up instead fails the test at once with its text.
  WindowInfo waitForVisibleWindow(const Window& window,
                                  std::chrono::milliseconds timeout = kStartTimeout);

  // --- programs ---------------------------------------------------------------
  // strennix.exe from the working directory, with the given arguments. The
  // programs run in `directory`, or in the working directory when it is
  // empty (a log-on start runs wherever Windows chooses).
  WineProcess& startStrennix(const std::vector<std::string>& arguments = {},
                             const std::filesystem::path& directory = {});
  WineProcess& startProgram(const std::filesystem::path& exe,
                            const std::vector<std::string>& arguments,
                            const Environment& environment = {},
                            const std::filesystem::path& directory = {});
  // Ends Strennix the way a user closing the settings form does (WM_CLOSE)
  // and returns its exit code.
  int closeStrennix(WineProcess& strennix);
  // Environment for every Windows program started from now on (LANG ...).
  void setEnvironment(const std::string& name, const std::string& value);
  // The Linux processes of this test's prefix that run the Windows program
  // with this file name (as /proc shows it: at most 15 characters).
  std::vector<pid_t> processesOf(const std::string& exeName);

  // --- testdriver.exe ---------------------------------------------------------
  CommandResult runDriver(const std::vector<std::string>& arguments);
  // As runDriver, but a failing command fails the test.
  std::string driver(const std::vector<std::string>& arguments);
  OpenedWindow openWindow(const OpenWindowOptions& options);
  std::optional<WindowInfo> findWindow(const Window& window);
  bool windowExists(const std::string& className, const std::string& title = {});
  std::vector<WindowInfo> listWindows(bool visibleOnly = false);
  std::vector<ControlInfo> children(const Window& window);
  std::optional<ControlInfo> control(const Window& window, int id);
  // The texts of the message box with this title, one per line; nothing
  // when there is no such box.
  std::optional<std::string> dialogText(const std::string& title);
  void pressDialogButton(const std::string& title, const std::string& button = "ok");
  void closeWindow(const Window& window);
  void setForeground(const Window& window);
  void showWindow(const Window& window, int command);
  void moveWindow(const Window& window, const Rect& rect);
  void setStyle(const Window& window, std::optional<std::uint32_t> style,
                std::optional<std::uint32_t> exStyle);
  void clickControl(const Window& window, int id);
  void setCheck(const Window& window, int id, bool checked);
  void setTrackPosition(const Window& window, int id, int position);
  // Whether the window's thread takes messages (its message loop runs).
  bool responds(const Window& window);

  // --- registry (HKCU ... paths as `reg` takes them) ---------------------------
  std::optional<RegValue> regQuery(const std::string& key, const std::string& value);
  std::map<std::string, RegValue> regValues(const std::string& key);
  void regAdd(const std::string& key, const std::string& value, const std::string& data,
              const std::string& type = "REG_SZ");
  void regDelete(const std::string& key, const std::string& value);
  void regDeleteKey(const std::string& key);
  // Waits until these values of the key are as given (a missing value reads
  // as type and data empty).
  void expectRegValues(const std::string& key, const std::map<std::string, RegValue>& expected);

  // --- files ----------------------------------------------------------------------
  // The test's Wine prefix (drive_c ... as Linux paths).
  [[nodiscard]] const std::filesystem::path& prefixDir() const;
  [[nodiscard]] const std::filesystem::path& workDir() const;
  [[nodiscard]] std::filesystem::path workFile(const std::string& name) const;
  [[nodiscard]] bool fileExists(const std::string& name) const;
  // The file in the working directory, empty when it does not exist.
  [[nodiscard]] std::string readFile(const std::string& name) const;
  void writeFile(const std::string& name, const std::string& text);
  void removeFile(const std::string& name);
  // The path as the Windows programs see it (Z:\...).
  std::string windowsPath(const std::filesystem::path& path);

  // --- screen and input (X coordinates are the desktop's screen coordinates) --
  std::filesystem::path screenshot(const std::string& name);
  [[nodiscard]] static std::filesystem::path artifactsDir();
  void mouseMove(int x, int y);
  void click(int x, int y, int button = 1);
  void doubleClick(int x, int y, int button = 1);
  // A press and a release on their own, each after moving there.
  void mouseDown(int x, int y, int button = 1);
  void mouseUp(int x, int y, int button = 1);
  // xdotool key names, e.g. "Return", "alt+F4".
  void pressKeys(const std::string& keys);

 private:
  // waitFor that tells, on the time-out, what `lastSeen` describes.
  static void waitFor(const std::function<bool()>& condition, const std::string& what,
                      std::chrono::milliseconds timeout,
                      const std::function<std::string()>& lastSeen);

  template <typename Read, typename Check>
  static auto pollUntil(Read& read, const Check& check, const std::string& what,
                        std::chrono::milliseconds timeout) {
    std::optional<std::decay_t<std::invoke_result_t<Read&>>> last;
    waitFor(
        [&] {
          last = read();
          return check(*last);
        },
        what, timeout, [&] { return ::testing::PrintToString(*last); });
    return std::move(*last);
  }

  WineSession& session();
  CommandResult wine(const std::vector<std::string>& arguments);
  void xdotool(const std::vector<std::string>& arguments);
  void keepArtifactsOfFailure();

  Edition edition_;
  Bitnesses bitnesses_;
  std::unique_ptr<WineSession> session_;
};

// A fixture whose TEST_Ps run once for each edition given to
// STRENNIX_TEST_EDITIONS.
template <typename Fixture, Bitnesses kBitnesses = Bitnesses::Own>
class EditionTest : public Fixture, public ::testing::WithParamInterface<Edition> {
 protected:
  EditionTest() : Fixture(GetParam(), kBitnesses) {}
};

// Instantiates the suite once per edition of the list, as
// Editions/<Suite>.<Test>/Edition32 and .../Edition64. An edition missing
// from the list gets no test at all, and a list may be empty.
#define STRENNIX_TEST_EDITIONS(Suite, editions)                            \
  GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Suite);                    \
  INSTANTIATE_TEST_SUITE_P(Editions, Suite, ::testing::ValuesIn(editions), \
                           ::strennix::e2e::editionName)

// How the values show in the messages of failed expectations.
void PrintTo(const Rect& rect, std::ostream* out);
void PrintTo(const WindowInfo& info, std::ostream* out);
void PrintTo(const ControlInfo& info, std::ostream* out);
void PrintTo(const RegValue& value, std::ostream* out);

// The lines of a text (a log file), without their line ends.
std::vector<std::string> splitLines(const std::string& text);

// The time stamp that starts a log line, in ctime's layout ("Wed Jan 02
// 02:03:55 1980"), as a regular expression.
inline constexpr const char* kLogTimeStamp =
    R"([A-Z][a-z]{2} [A-Z][a-z]{2} \d{2} \d{2}:\d{2}:\d{2} \d{4})";

// The message of a log line: what follows its time stamp and three blanks;
// nothing for a line without a time stamp.
std::optional<std::string> logMessage(const std::string& line);

// The messages of a log file's text; a line without a time stamp is kept
// whole.
std::vector<std::string> logMessages(const std::string& text);

// Whether one of `lines` is a log line with this message.
bool hasLogLine(const std::vector<std::string>& lines, const std::string& message);

// A dump of the program's variables (written with --log), by name.
using VariableDump = std::map<std::string, std::string>;

// The dumps in the lines of applog.txt, oldest first; a dump counts once its
// last line is written.
std::vector<VariableDump> completeDumps(const std::vector<std::string>& applog);

// Parsers of the output of testdriver.exe and `reg query`.
std::optional<WindowInfo> parseWindowLine(const std::string& line);
std::optional<ControlInfo> parseControlLine(const std::string& line);
std::map<std::string, RegValue> parseRegQuery(const std::string& output);

}  // namespace strennix::e2e
