#include "tests/e2e/harness.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace strennix::e2e {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr auto kPollInterval = 100ms;
// One Wine command; the first in a fresh prefix copy starts Wine itself.
constexpr auto kCommandTimeout = 120s;
constexpr auto kWinebootTimeout = 300s;
constexpr const char* kScreen = "1024x768x24";
constexpr const char* kReadyMarker = ".strennix-template-ready";

// --- small helpers -------------------------------------------------------------

std::string environmentOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : fallback;
}

bool environmentFlag(const char* name) {
  const std::string value = environmentOr(name, "0");
  return value != "0" && value != "false";
}

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string seconds(std::chrono::milliseconds duration) {
  return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(duration).count()) + " s";
}

[[noreturn]] void fail(const std::string& message) { throw std::runtime_error(message); }

std::string commandFailure(const std::vector<std::string>& argv, const CommandResult& result) {
  if (result.timedOut) {
    return describe(argv) + " did not end in time";
  }
  return describe(argv) + " failed with exit code " + std::to_string(result.exitCode) + ": " +
         trimmed(result.output + "\n" + result.errors);
}

CommandResult runChecked(const std::vector<std::string>& argv, const Environment& environment,
                         const fs::path& workingDirectory,
                         std::chrono::milliseconds timeout = kCommandTimeout) {
  CommandResult result = runCommand(argv, environment, workingDirectory, timeout);
  if (result.timedOut || result.exitCode != 0) {
    fail(commandFailure(argv, result));
  }
  return result;
}

std::uint32_t parseHex(const std::string& text) {
  return static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 16));
}

std::optional<Rect> parseRect(const std::string& text) {
  Rect r;
  if (std::sscanf(text.c_str(), "%d,%d,%d,%d", &r.left, &r.top, &r.right, &r.bottom) != 4) {
    return std::nullopt;
  }
  return r;
}

// "key=value key=value ..." up to the free text that ends the line.
std::map<std::string, std::string> fields(const std::string& text) {
  std::map<std::string, std::string> result;
  std::istringstream in(text);
  for (std::string word; in >> word;) {
    const auto equals = word.find('=');
    if (equals != std::string::npos) {
      result[word.substr(0, equals)] = word.substr(equals + 1);
    }
  }
  return result;
}

// An exclusive lock on a file, held as long as the descriptor is open: one
// template prefix is built at a time, whoever asks.
FileDescriptor lockFile(const fs::path& path) {
  FileDescriptor fd = adopt(::open(path.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644));
  if (!fd || ::flock(fd.get(), LOCK_EX) != 0) {
    fail("cannot lock " + path.string());
  }
  return fd;
}

// An Xvfb server on a display number of its own. The numbers are taken from
// a high range, away from the :0, :1, :99 that people start by hand, and
// Xvfb reports through -displayfd once it takes connections.
class XServer {
 public:
  explicit XServer(const fs::path& log) {
    constexpr int kFirst = 300;
    constexpr int kRange = 600;
    constexpr int kAttempts = 40;
    const int start = kFirst + static_cast<int>(::getpid() % kRange);
    for (int attempt = 0; attempt < kAttempts && display_.empty(); ++attempt) {
      const int number = kFirst + (start - kFirst + attempt) % kRange;
      if (inUse(number)) {
        continue;
      }
      if (tryStart(number, log)) {
        display_ = ":" + std::to_string(number);
      }
    }
    if (display_.empty()) {
      fail("Xvfb did not start: " + slurp(log));
    }
  }
  ~XServer() {
    if (process_) {
      process_->stop(SIGTERM, 5s);
    }
  }
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  [[nodiscard]] const std::string& display() const { return display_; }

 private:
  static bool inUse(int number) {
    const std::string n = std::to_string(number);
    return fs::exists("/tmp/.X" + n + "-lock") || fs::exists("/tmp/.X11-unix/X" + n);
  }

  // Another server may take the number first: then this one ends at once.
  bool tryStart(int number, const fs::path& log) {
    std::array<int, 2> fds{};
    if (::pipe2(fds.data(), O_CLOEXEC) != 0) {
      fail("pipe");
    }
    const FileDescriptor readEnd = adopt(fds[0]);
    FileDescriptor writeEnd = adopt(fds[1]);
    process_.emplace(SpawnOptions{
        {"Xvfb", ":" + std::to_string(number), "-displayfd", std::to_string(writeEnd.get()),
         "-screen", "0", kScreen, "-nolisten", "tcp", "-noreset"},
        {},
        {},
        log,
        writeEnd.get()});
    writeEnd.reset();
    const bool ready = readDisplayNumber(readEnd.get()) == std::to_string(number);
    if (!ready) {
      process_->stop(SIGTERM, 5s);
      process_.reset();
    }
    return ready;
  }

  std::string readDisplayNumber(int fd) {
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + kCommandTimeout;
    while (text.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline &&
           process_->running()) {
      pollfd polled{fd, POLLIN, 0};
      if (::poll(&polled, 1, 100) <= 0) {
        continue;
      }
      std::array<char, 32> buffer{};
      const ssize_t count = ::read(fd, buffer.data(), buffer.size());
      if (count <= 0) {
        break;
      }
      text.append(buffer.data(), static_cast<size_t>(count));
    }
    return trimmed(text);
  }

  std::optional<ChildProcess> process_;
  std::string display_;
};

Environment wineEnvironment(const fs::path& prefix, const std::string& display) {
  return {{"WINEPREFIX", prefix.string()},
          {"DISPLAY", display},
          {"WINEDEBUG", "-all"},
          // No offer to download Mono or Gecko.
          {"WINEDLLOVERRIDES", "mscoree,mshtml="},
          // The user's default language is English unless a test says otherwise.
          {"LANG", "C.UTF-8"},
          {"LC_ALL", ""}};
}

// Debian's Wine keeps the server socket of a prefix in a directory
// /tmp/wine-XXXXXX named in the prefix's file "wineserver".
void removeWineServerDirectory(const fs::path& prefix) {
  std::ifstream in(prefix / "wineserver");
  std::string name;
  in >> name;
  if (name.rfind("wine-", 0) != 0 || name.find('/') != std::string::npos) {
    return;
  }
  std::error_code ignored;
  fs::remove_all(fs::temp_directory_path() / name, ignored);
  fs::remove_all(fs::path("/tmp") / name, ignored);
  fs::remove(prefix / "wineserver", ignored);
}

void removePrefix(const fs::path& prefix) {
  removeWineServerDirectory(prefix);
  std::error_code ignored;
  fs::remove_all(prefix, ignored);
}

// The directory of one test's session (prefix, working directory, logs),
// marked with the test process's id. A session whose process was killed
// before it could clean up (a ctest time-out) is removed by the next one.
class SessionDir {
 public:
  SessionDir() {
    removeAbandoned();
    std::string pattern = (fs::temp_directory_path() / (kPrefix + "XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      fail("cannot make a temporary directory");
    }
    path_ = pattern;
    std::ofstream(path_ / kOwnerFile) << ::getpid() << "\n";
  }
  ~SessionDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  SessionDir(const SessionDir&) = delete;
  SessionDir& operator=(const SessionDir&) = delete;
  [[nodiscard]] const fs::path& path() const { return path_; }

 private:
  inline static const std::string kPrefix = "strennix-e2e.";
  static constexpr const char* kOwnerFile = "owner.pid";

  static void removeAbandoned() {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(fs::temp_directory_path(), ignored)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind(kPrefix, 0) != 0 || !fs::exists(entry.path() / kOwnerFile)) {
        continue;
      }
      pid_t owner = 0;
      std::ifstream(entry.path() / kOwnerFile) >> owner;
      if (owner > 0 && ::kill(owner, 0) != 0 && errno == ESRCH) {
        removeWineServerDirectory(entry.path() / "prefix");
        fs::remove_all(entry.path(), ignored);
      }
    }
  }

  fs::path path_;
};

// The 32-bit edition runs in a 32-bit prefix where it can: the program, its
// hook and the desktop all are 32-bit there, and the prefix is half the size
// of a 64-bit one to copy.
const char* wineArch(PrefixArch arch) { return arch == PrefixArch::Win64 ? "win64" : "win32"; }

void buildTemplatePrefix(const fs::path& prefix, PrefixArch arch) {
  const fs::path log = prefix.string() + ".log";
  fs::create_directories(prefix.parent_path());
  fs::remove(log);
  XServer x(log);
  Environment environment = wineEnvironment(prefix, x.display());
  environment["WINEARCH"] = wineArch(arch);
  const fs::path here = prefix.parent_path();
  runChecked({"wineboot", "--init"}, environment, here, kWinebootTimeout);
  // One shared virtual desktop, so that every program sees the others'
  // windows; no crash dialog, so that a crash ends the program at once.
  runChecked({"wine", "reg", "add", R"(HKCU\Software\Wine\Explorer)", "/v", "Desktop", "/d",
              "Default", "/f"},
             environment, here);
  runChecked({"wine", "reg", "add", R"(HKCU\Software\Wine\Explorer\Desktops)", "/v", "Default",
              "/d", "1024x768", "/f"},
             environment, here);
  runChecked({"wine", "reg", "add", R"(HKCU\Software\Wine\WineDbg)", "/v", "ShowCrashDialog", "/t",
              "REG_DWORD", "/d", "0", "/f"},
             environment, here);
  // The server writes the registry to disk when it ends.
  const CommandResult waited = runCommand({"wineserver", "-w"}, environment, here, kCommandTimeout);
  if (waited.timedOut) {
    runCommand({"wineserver", "-k"}, environment, here, kCommandTimeout);
  }
  if (slurp(prefix / "user.reg").find("Explorer\\\\Desktops") == std::string::npos) {
    fail("the template Wine prefix lacks its virtual desktop settings");
  }
  removeWineServerDirectory(prefix);
  std::ofstream(prefix / kReadyMarker) << "ready\n";
}

// Wine's loader of the program's own bitness: `wine` starts the 32-bit
// loader, and a 64-bit program needs the 64-bit one. Programs named without a
// path (reg, winepath) are Wine's own and run on the 32-bit loader.
std::string wineLoaderFor(const fs::path& exe) {
  constexpr std::uint16_t kMachineAmd64 = 0x8664;
  constexpr std::streamoff kPeOffsetAt = 0x3c;
  std::ifstream in(exe, std::ios::binary);
  std::uint32_t peOffset = 0;
  std::array<char, 4> signature{};
  std::uint16_t machine = 0;
  in.seekg(kPeOffsetAt);
  in.read(reinterpret_cast<char*>(&peOffset), sizeof peOffset);
  in.seekg(peOffset);
  in.read(signature.data(), signature.size());
  in.read(reinterpret_cast<char*>(&machine), sizeof machine);
  const bool amd64 =
      in && signature == std::array<char, 4>{'P', 'E', '\0', '\0'} && machine == kMachineAmd64;
  return amd64 ? environmentOr("STRENNIX_WINE64_LOADER", "/usr/lib/wine/wine64") : "wine";
}

bool matches(const WindowInfo& info, const Window& window) {
  if (window.hwnd != 0 && info.hwnd != window.hwnd) {
    return false;
  }
  if (!window.className.empty() && info.className != window.className) {
    return false;
  }
  return window.title.empty() || info.title == window.title;
}

std::string sanitized(std::string name) {
  for (char& c : name) {
    if (c == '/' || c == ' ') {
      c = '_';
    }
  }
  return name;
}

}  // namespace

std::string hex(std::uint32_t value) {
  std::ostringstream text;
  text << std::hex << value;
  return text.str();
}

// --- locations and editions ------------------------------------------------------

Build buildOf(Edition bitness) {
  if (bitness == Edition::Bits64) {
    return {"64",
            environmentOr("STRENNIX_WIN64_BIN", STRENNIX_DEFAULT_WIN64_BIN),
            "win64",
            "STRENNIX_WIN64_BIN",
            "hook64.dll",
            "strennix64.exe",
            "testdriver64.exe",
            "hookprobe64.exe"};
  }
  return {"32",
          environmentOr("STRENNIX_WIN32_BIN", STRENNIX_DEFAULT_WIN32_BIN),
          "win32",
          "STRENNIX_WIN32_BIN",
          "hook.dll",
          "strennix32.exe",
          "testdriver.exe",
          "hookprobe.exe"};
}

Edition otherBitness(Edition edition) {
  return edition == Edition::Bits64 ? Edition::Bits32 : Edition::Bits64;
}

PrefixArch prefixFor(Edition edition, Bitnesses bitnesses) {
  return edition == Edition::Bits32 && bitnesses == Bitnesses::Own ? PrefixArch::Win32
                                                                   : PrefixArch::Win64;
}

Edition editionOf(PrefixArch arch) {
  return arch == PrefixArch::Win64 ? Edition::Bits64 : Edition::Bits32;
}

fs::path sourceDir() { return STRENNIX_SOURCE_DIR; }
fs::path artifactsRoot() { return STRENNIX_ARTIFACTS_DIR; }

namespace {

constexpr std::array<Edition, 2> kEditions = {Edition::Bits32, Edition::Bits64};

// The script's words ("32 64") as editions; a script that fails or says
// something else ends the run at once, before any test is registered.
std::vector<Edition> askEditionsScript() {
  const fs::path script = sourceDir() / "scripts" / "editions.sh";
  const CommandResult result = runCommand({script.string()}, {}, sourceDir(), kCommandTimeout);
  if (result.timedOut || result.exitCode != 0) {
    std::fprintf(stderr, "%s\n", commandFailure({script.string()}, result).c_str());
    std::exit(2);
  }
  std::vector<Edition> editions;
  std::istringstream words(result.output);
  for (std::string word; words >> word;) {
    const auto* const named = std::ranges::find_if(
        kEditions, [&](Edition edition) { return buildOf(edition).bits == word; });
    if (named == kEditions.end()) {
      std::fprintf(stderr, "%s printed \"%s\", not the editions 32 and 64\n",
                   script.string().c_str(), trimmed(result.output).c_str());
      std::exit(2);
    }
    editions.push_back(*named);
  }
  return editions;
}

}  // namespace

const std::vector<Edition>& runnableEditions() {
  static const std::vector<Edition> kEditions = askEditionsScript();
  return kEditions;
}

std::vector<Edition> editionsWithBothBitnesses() {
  const std::vector<Edition>& editions = runnableEditions();
  return editions.size() == 2 ? editions : std::vector<Edition>{};
}

std::string editionName(const ::testing::TestParamInfo<Edition>& info) {
  return "Edition" + buildOf(info.param).bits;
}

void PrintTo(Edition edition, std::ostream* out) {
  *out << "the " << buildOf(edition).bits << "-bit edition";
}

fs::path templatePrefixDir(PrefixArch arch) {
  return fs::path(STRENNIX_E2E_STATE_DIR) / (std::string("wine-template-") + wineArch(arch));
}

// The program and the driver of its bitness; beside the other bitness, also
// its helper, its library and its driver.
std::optional<std::string> missingBinaries(Edition edition, Bitnesses bitnesses) {
  const Build own = buildOf(edition);
  std::vector<std::pair<Build, std::string>> needed = {{own, "strennix.exe"}, {own, own.driver}};
  if (bitnesses == Bitnesses::Both) {
    const Build other = buildOf(otherBitness(edition));
    for (const std::string& name : {other.helper, other.library, other.driver}) {
      needed.emplace_back(other, name);
    }
  }
  for (const auto& [build, name] : needed) {
    if (!fs::exists(build.file(name))) {
      return "the Windows binaries are not built (no " + build.file(name).string() +
             "): build the " + build.preset + " preset, or point " + build.variable + " at them";
    }
  }
  return std::nullopt;
}

bool binariesRequired() { return environmentFlag("STRENNIX_E2E_REQUIRE_BINARIES"); }

void ensureTemplatePrefix(PrefixArch arch) {
  const fs::path prefix = templatePrefixDir(arch);
  fs::create_directories(prefix.parent_path());
  const FileDescriptor lock = lockFile(prefix.string() + ".lock");
  if (fs::exists(prefix / kReadyMarker)) {
    return;
  }
  removePrefix(prefix);
  buildTemplatePrefix(prefix, arch);
}

void rebuildTemplatePrefix(PrefixArch arch) {
  const fs::path prefix = templatePrefixDir(arch);
  fs::create_directories(prefix.parent_path());
  const FileDescriptor lock = lockFile(prefix.string() + ".lock");
  removePrefix(prefix);
  buildTemplatePrefix(prefix, arch);
}

void removeTemplatePrefix(PrefixArch arch) {
  const fs::path prefix = templatePrefixDir(arch);
  fs::create_directories(prefix.parent_path());
  {
    const FileDescriptor lock = lockFile(prefix.string() + ".lock");
    removePrefix(prefix);
  }
  fs::remove(prefix.string() + ".lock");
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    result.push_back(line);
  }
  return result;
}

std::optional<std::string> logMessage(const std::string& line) {
  static const std::regex kStamped(std::string(kLogTimeStamp) + "   ([^]*)");
  std::smatch match;
  if (!std::regex_match(line, match, kStamped)) {
    return std::nullopt;
  }
  return match[1].str();
}

std::vector<std::string> logMessages(const std::string& text) {
  std::vector<std::string> messages;
  for (const std::string& line : splitLines(text)) {
    messages.push_back(logMessage(line).value_or(line));
  }
  return messages;
}

bool hasLogLine(const std::vector<std::string>& lines, const std::string& message) {
  return std::ranges::any_of(lines,
                             [&](const std::string& line) { return logMessage(line) == message; });
}

std::vector<VariableDump> completeDumps(const std::vector<std::string>& applog) {
  static const std::string kPrefix = "Strennix->";
  std::vector<VariableDump> dumps;
  for (const std::string& line : applog) {
    if (line.starts_with("Variables at ")) {
      dumps.emplace_back();
    } else if (!dumps.empty() && line.starts_with(kPrefix)) {
      const auto equals = line.find('=');
      dumps.back()[line.substr(kPrefix.size(), equals - kPrefix.size())] = line.substr(equals + 1);
    }
  }
  if (!dumps.empty() && !dumps.back().contains("numberOfShadedWindows")) {
    dumps.pop_back();
  }
  return dumps;
}

// --- parsers -----------------------------------------------------------------------

std::optional<WindowInfo> parseWindowLine(const std::string& line) {
  const auto classAt = line.find(" class=");
  const auto titleAt = line.find(" title=", classAt);
  if (line.rfind("hwnd=", 0) != 0 || classAt == std::string::npos || titleAt == std::string::npos) {
    return std::nullopt;
  }
  auto values = fields(line.substr(0, classAt));
  WindowInfo info;
  info.hwnd = parseHex(values["hwnd"]);
  info.rect = parseRect(values["rect"]).value_or(Rect{});
  info.style = parseHex(values["style"]);
  info.exStyle = parseHex(values["exstyle"]);
  info.visible = values["visible"] == "1";
  info.topmost = values["topmost"] == "1";
  info.foreground = values["foreground"] == "1";
  info.iconic = values["iconic"] == "1";
  info.owner = parseHex(values["owner"]);
  info.className = line.substr(classAt + 7, titleAt - classAt - 7);
  info.title = line.substr(titleAt + 7);
  return info;
}

std::optional<ControlInfo> parseControlLine(const std::string& line) {
  const auto textAt = line.find(" text=");
  if (line.rfind("id=", 0) != 0 || textAt == std::string::npos) {
    return std::nullopt;
  }
  auto values = fields(line.substr(0, textAt));
  ControlInfo info;
  info.id = std::stoi(values["id"]);
  info.className = values["class"];
  info.rect = parseRect(values["rect"]).value_or(Rect{});
  info.parentId = std::stoi(values["parent"]);
  info.enabled = values["enabled"] == "1";
  info.visible = values["visible"] == "1";
  if (values.contains("checked")) {
    info.checked = values["checked"] == "1";
  }
  if (values.contains("pos")) {
    info.position = std::stoi(values["pos"]);
  }
  info.text = line.substr(textAt + 6);
  return info;
}

// Lines of the form "    <name>    <type>    <data>" below the key's name.
std::map<std::string, RegValue> parseRegQuery(const std::string& output) {
  static const std::string kGap = "    ";
  std::map<std::string, RegValue> values;
  for (const std::string& line : splitLines(output)) {
    if (line.rfind(kGap, 0) != 0) {
      continue;
    }
    const auto typeAt = line.find(kGap + "REG_", kGap.size());
    if (typeAt == std::string::npos) {
      continue;
    }
    const std::string name = line.substr(kGap.size(), typeAt - kGap.size());
    const std::string rest = line.substr(typeAt + kGap.size());
    const auto dataAt = rest.find(kGap);
    RegValue value;
    value.type = rest.substr(0, dataAt);
    if (dataAt != std::string::npos) {
      value.data = rest.substr(dataAt + kGap.size());
    }
    values[name] = value;
  }
  return values;
}

std::uint32_t RegValue::dword() const {
  return static_cast<std::uint32_t>(std::strtoul(data.c_str(), nullptr, 0));
}

std::vector<std::string> Window::arguments() const {
  std::vector<std::string> result;
  if (hwnd != 0) {
    return {"--hwnd", hex(hwnd)};
  }
  if (!className.empty()) {
    result.insert(result.end(), {"--class", className});
  }
  if (!title.empty()) {
    result.insert(result.end(), {"--title", title});
  }
  return result;
}

std::string Window::describe() const {
  if (hwnd != 0) {
    return "window 0x" + hex(hwnd);
  }
  std::string text = "window";
  if (!className.empty()) {
    text += " of class " + className;
  }
  if (!title.empty()) {
    text += " titled \"" + title + "\"";
  }
  return text;
}

void PrintTo(const Rect& rect, std::ostream* out) {
  *out << "{" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << "}";
}

void PrintTo(const WindowInfo& info, std::ostream* out) {
  *out << "{hwnd 0x" << hex(info.hwnd) << " class \"" << info.className << "\" title \""
       << info.title << "\" rect ";
  PrintTo(info.rect, out);
  *out << " visible " << info.visible << " topmost " << info.topmost << " foreground "
       << info.foreground << " iconic " << info.iconic << " style 0x" << hex(info.style) << "}";
}

void PrintTo(const ControlInfo& info, std::ostream* out) {
  *out << "{id " << info.id << " " << info.className << " \"" << info.text << "\" enabled "
       << info.enabled << " checked " << ::testing::PrintToString(info.checked) << " position "
       << ::testing::PrintToString(info.position) << "}";
}

void PrintTo(const RegValue& value, std::ostream* out) {
  if (value.type.empty()) {
    *out << "(none)";
    return;
  }
  *out << value.type << " \"" << value.data << "\"";
}

// --- processes ---------------------------------------------------------------------

int WineProcess::waitForExit(std::chrono::milliseconds timeout) {
  const auto code = child_.waitForExit(timeout);
  if (!code) {
    fail(name_ + " did not end within " + seconds(timeout));
  }
  return *code;
}

std::string WineProcess::output() const { return slurp(log_); }

// --- the session: everything one test runs in ----------------------------------

// The members are declared in the order of building; they are torn down in
// the reverse order: the prefix's Wine server first (which ends every Windows
// program of the test), then the programs are reaped, then the X server is
// killed and the directories removed.
class WineSession {
 public:
  WineSession(Edition edition, PrefixArch arch)
      : prefix_(root_.path() / "prefix"),
        work_(root_.path() / "work"),
        logs_(root_.path() / "logs"),
        x_(prepareDirectories(edition, arch)),
        environment_(wineEnvironment(prefix_, x_.display())),
        server_(environment_, root_.path()) {}

  [[nodiscard]] const fs::path& prefix() const { return prefix_; }
  [[nodiscard]] const fs::path& work() const { return work_; }
  [[nodiscard]] const fs::path& logs() const { return logs_; }
  [[nodiscard]] const std::string& display() const { return x_.display(); }
  [[nodiscard]] const Environment& environment() const { return environment_; }
  void setEnvironment(const std::string& name, const std::string& value) {
    environment_[name] = value;
  }

  WineProcess& start(const fs::path& exe, const std::vector<std::string>& arguments,
                     const Environment& extra, const fs::path& directory = {}) {
    std::vector<std::string> argv = {wineLoaderFor(exe), exe.string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    Environment environment = environment_;
    for (const auto& [name, value] : extra) {
      environment[name] = value;
    }
    const std::string name = exe.filename().string();
    const fs::path log =
        logs_ / (std::to_string(processes_.size() + 1) + "-" + exe.stem().string() + ".log");
    processes_.emplace_back(
        name, ChildProcess({argv, environment, directory.empty() ? work_ : directory, log, {}}),
        log);
    return processes_.back();
  }

  [[nodiscard]] CommandResult run(const std::vector<std::string>& argv,
                                  std::chrono::milliseconds timeout = kCommandTimeout) const {
    return runCommand(argv, environment_, work_, timeout);
  }

 private:
  // Runs in the initialiser list, before the X server starts.
  fs::path prepareDirectories(Edition edition, PrefixArch arch) {
    fs::create_directories(logs_);
    fs::create_directories(work_);
    runChecked({"cp", "-a", templatePrefixDir(arch).string(), prefix_.string()}, {}, root_.path(),
               kWinebootTimeout);
    // The copy gets a server directory of its own.
    fs::remove(prefix_ / "wineserver");
    fs::remove(prefix_ / kReadyMarker);
    const Build own = buildOf(edition);
    const Build other = buildOf(otherBitness(edition));
    fs::copy_file(own.file("strennix.exe"), work_ / "strennix.exe");
    // As the edition's release has them: whatever of the libraries and the
    // helper is built goes beside strennix.exe.
    for (const fs::path& file :
         {own.file(own.library), other.file(other.library), other.file(other.helper)}) {
      if (fs::exists(file)) {
        fs::copy_file(file, work_ / file.filename());
      }
    }
    if (fs::exists(sourceDir() / "lang")) {
      fs::copy(sourceDir() / "lang", work_ / "lang", fs::copy_options::recursive);
    }
    return logs_ / "xvfb.log";
  }

  // A Wine server for the prefix that outlives its programs by half a
  // minute: it would otherwise end, and take the desktop with it, whenever no
  // Windows program runs between two steps of a test. It ends by itself when
  // a killed test leaves it behind.
  class Server {
   public:
    Server(Environment environment, fs::path directory)
        : environment_(std::move(environment)), directory_(std::move(directory)) {
      ChildProcess server({{"wineserver", "-p30"}, environment_, directory_, {}, {}});
      server.waitForExit(kCommandTimeout);
    }
    ~Server() {
      try {
        runCommand({"wineserver", "-k"}, environment_, directory_, kCommandTimeout);
        removeWineServerDirectory(environment_.at("WINEPREFIX"));
      } catch (...) {
        // Nothing more can be done while tearing down.
      }
    }
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

   private:
    Environment environment_;
    fs::path directory_;
  };

  SessionDir root_;
  fs::path prefix_;
  fs::path work_;
  fs::path logs_;
  XServer x_;
  Environment environment_;
  std::deque<WineProcess> processes_;
  Server server_;
};

// --- the fixture ---------------------------------------------------------------------

WineDesktopTest::WineDesktopTest(Edition edition, Bitnesses bitnesses)
    : edition_(edition), bitnesses_(bitnesses) {}
WineDesktopTest::~WineDesktopTest() = default;

void WineDesktopTest::SetUp() {
  if (const auto missing = missingBinaries(edition_, bitnesses_)) {
    if (binariesRequired()) {
      FAIL() << *missing;
    }
    GTEST_SKIP() << *missing;
  }
  std::error_code ignored;
  fs::remove_all(artifactsDir(), ignored);
  const PrefixArch arch = prefixFor(edition_, bitnesses_);
  ensureTemplatePrefix(arch);
  session_ = std::make_unique<WineSession>(edition_, arch);
  // Wine closes the virtual desktop, taskbar and all, soon after the last
  // program on it ends; this one keeps it for the whole test.
  startProgram(own().file(own().driver), {"idle"});
  CommandResult last;
  try {
    waitFor(
        [&] {
          last = runDriver({"query", "--class", "Shell_TrayWnd"});
          return last.exitCode == 0;
        },
        "the Wine desktop and its taskbar", kStartTimeout);
  } catch (const std::exception& error) {
    fail(std::string(error.what()) +
         " (the driver said: " + trimmed(last.output + "\n" + last.errors) + ")");
  }
}

void WineDesktopTest::TearDown() {
  if (session_ && HasFailure()) {
    keepArtifactsOfFailure();
  }
  session_.reset();
}

WineSession& WineDesktopTest::session() {
  if (!session_) {
    fail("the Wine desktop is not set up");
  }
  return *session_;
}

void WineDesktopTest::keepArtifactsOfFailure() {
  try {
    screenshot("failure.png");
    std::ofstream(artifactsDir() / "windows.txt") << runDriver({"list"}).output;
  } catch (const std::exception& error) {
    std::ofstream(artifactsDir() / "windows.txt") << "not available: " << error.what() << "\n";
  }
  const fs::path logs = artifactsDir() / "logs";
  fs::create_directories(logs);
  std::error_code ignored;
  for (const fs::path& directory : {session().work(), session().logs()}) {
    for (const auto& entry : fs::directory_iterator(directory, ignored)) {
      const auto extension = entry.path().extension();
      if (extension == ".txt" || extension == ".log") {
        fs::copy_file(entry.path(), logs / entry.path().filename(),
                      fs::copy_options::overwrite_existing, ignored);
      }
    }
  }
}

void WineDesktopTest::waitFor(const std::function<bool()>& condition, const std::string& what,
                              std::chrono::milliseconds timeout) {
  waitFor(condition, what, timeout, {});
}

void WineDesktopTest::waitFor(const std::function<bool()>& condition, const std::string& what,
                              std::chrono::milliseconds timeout,
                              const std::function<std::string()>& lastSeen) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      fail("Timed out after " + seconds(timeout) + " waiting for " + what +
           (lastSeen ? "; last seen: " + lastSeen() : ""));
    }
    std::this_thread::sleep_for(kPollInterval);
  }
}

WindowInfo WineDesktopTest::waitForVisibleWindow(const Window& window,
                                                 std::chrono::milliseconds timeout) {
  WindowInfo found;
  std::vector<WindowInfo> windows;
  waitFor(
      [&] {
        windows = listWindows(true);
        for (const WindowInfo& info : windows) {
          if (matches(info, window)) {
            found = info;
            return true;
          }
        }
        for (const WindowInfo& info : windows) {
          if (info.className == "#32770" && info.title == "Strennix") {
            fail("A message box \"Strennix\" showed instead of the " + window.describe() + ": " +
                 dialogText("Strennix").value_or("(its text could not be read)"));
          }
        }
        return false;
      },
      "the " + window.describe() + " to show", timeout,
      [&] { return "the visible windows " + ::testing::PrintToString(windows); });
  return found;
}

// --- programs ----------------------------------------------------------------------

WineProcess& WineDesktopTest::startStrennix(const std::vector<std::string>& arguments,
                                            const fs::path& directory) {
  return session().start(workFile("strennix.exe"), arguments, {}, directory);
}

WineProcess& WineDesktopTest::startProgram(const fs::path& exe,
                                           const std::vector<std::string>& arguments,
                                           const Environment& environment,
                                           const fs::path& directory) {
  return session().start(exe, arguments, environment, directory);
}

int WineDesktopTest::closeStrennix(WineProcess& strennix) {
  closeWindow(Window::byClass("TStrennix"));
  return strennix.waitForExit();
}

void WineDesktopTest::setEnvironment(const std::string& name, const std::string& value) {
  session().setEnvironment(name, value);
}

// Wine names each process after its program; the environment tells this
// test's prefix from the others'.
std::vector<pid_t> WineDesktopTest::processesOf(const std::string& exeName) {
  constexpr std::size_t kCommLength = 15;
  const std::string prefixEntry = "WINEPREFIX=" + session().prefix().string();
  std::vector<pid_t> found;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator("/proc", ignored)) {
    const std::string pid = entry.path().filename().string();
    if (pid.find_first_not_of("0123456789") != std::string::npos ||
        trimmed(slurp(entry.path() / "comm")) != exeName.substr(0, kCommLength)) {
      continue;
    }
    std::istringstream environment(slurp(entry.path() / "environ"));
    for (std::string variable; std::getline(environment, variable, '\0');) {
      if (variable == prefixEntry) {
        found.push_back(static_cast<pid_t>(std::stol(pid)));
      }
    }
  }
  return found;
}

CommandResult WineDesktopTest::wine(const std::vector<std::string>& arguments) {
  std::vector<std::string> argv = {"wine"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  CommandResult result = session().run(argv);
  if (result.timedOut) {
    fail(describe(argv) + " did not end within " + seconds(kCommandTimeout));
  }
  return result;
}

// --- testdriver.exe ----------------------------------------------------------------

CommandResult WineDesktopTest::runDriver(const std::vector<std::string>& arguments) {
  std::vector<std::string> argv = {own().file(own().driver).string()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return wine(argv);
}

std::string WineDesktopTest::driver(const std::vector<std::string>& arguments) {
  CommandResult result = runDriver(arguments);
  if (result.exitCode != 0) {
    fail("testdriver " + describe(arguments) + " failed with exit code " +
         std::to_string(result.exitCode) + " " + trimmed(result.errors));
  }
  return result.output;
}

OpenedWindow WineDesktopTest::openWindow(const OpenWindowOptions& options) {
  std::vector<std::string> arguments = {"open", "--title", options.title};
  if (!options.className.empty()) {
    arguments.insert(arguments.end(), {"--class", options.className});
  }
  if (options.style) {
    arguments.insert(arguments.end(), {"--style", hex(*options.style)});
  }
  if (options.exStyle) {
    arguments.insert(arguments.end(), {"--exstyle", hex(*options.exStyle)});
  }
  if (options.rect) {
    const Rect& r = *options.rect;
    arguments.insert(arguments.end(),
                     {"--rect", std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                                    std::to_string(r.width()) + "," + std::to_string(r.height())});
  }
  if (!options.ownerClass.empty()) {
    arguments.insert(arguments.end(), {"--owner-class", options.ownerClass});
  }
  if (options.icon) {
    arguments.emplace_back("--icon");
  }

  const Build driverBuild = options.otherBitness ? other() : own();
  WineProcess& process = startProgram(driverBuild.file(driverBuild.driver), arguments);
  std::uint32_t hwnd = 0;
  waitFor(
      [&] {
        for (const std::string& line : splitLines(process.output())) {
          if (line.rfind("hwnd=", 0) == 0) {
            hwnd = parseHex(line.substr(5));
          }
        }
        if (hwnd == 0 && !process.running()) {
          fail("testdriver open \"" + options.title + "\" ended: " + process.output());
        }
        return hwnd != 0;
      },
      "the window \"" + options.title + "\" to open", kStartTimeout);
  return {hwnd, &process};
}

std::optional<WindowInfo> WineDesktopTest::findWindow(const Window& window) {
  std::vector<std::string> arguments = {"query"};
  const auto selector = window.arguments();
  arguments.insert(arguments.end(), selector.begin(), selector.end());
  const CommandResult result = runDriver(arguments);
  if (result.exitCode != 0) {
    return std::nullopt;
  }
  return parseWindowLine(trimmed(result.output));
}

bool WineDesktopTest::windowExists(const std::string& className, const std::string& title) {
  return findWindow({className, title, 0}).has_value();
}

std::vector<WindowInfo> WineDesktopTest::listWindows(bool visibleOnly) {
  std::vector<std::string> arguments = {"list"};
  if (visibleOnly) {
    arguments.emplace_back("--visible");
  }
  std::vector<WindowInfo> windows;
  for (const std::string& line : splitLines(driver(arguments))) {
    if (auto info = parseWindowLine(line)) {
      windows.push_back(*info);
    }
  }
  return windows;
}

std::vector<ControlInfo> WineDesktopTest::children(const Window& window) {
  std::vector<std::string> arguments = {"children"};
  const auto selector = window.arguments();
  arguments.insert(arguments.end(), selector.begin(), selector.end());
  std::vector<ControlInfo> controls;
  for (const std::string& line : splitLines(driver(arguments))) {
    if (auto info = parseControlLine(line)) {
      controls.push_back(*info);
    }
  }
  return controls;
}

std::optional<ControlInfo> WineDesktopTest::control(const Window& window, int id) {
  for (const ControlInfo& info : children(window)) {
    if (info.id == id) {
      return info;
    }
  }
  return std::nullopt;
}

std::optional<std::string> WineDesktopTest::dialogText(const std::string& title) {
  const CommandResult result = runDriver({"dialogtext", "--title", title});
  if (result.exitCode != 0) {
    return std::nullopt;
  }
  std::string text;
  for (const std::string& line : splitLines(result.output)) {
    if (!text.empty()) {
      text += '\n';
    }
    text += line;
  }
  return text;
}

void WineDesktopTest::pressDialogButton(const std::string& title, const std::string& button) {
  driver({"press", "--title", title, "--button", button});
}

namespace {
std::vector<std::string> withWindow(std::vector<std::string> arguments, const Window& window,
                                    const std::vector<std::string>& more = {}) {
  const auto selector = window.arguments();
  arguments.insert(arguments.end(), selector.begin(), selector.end());
  arguments.insert(arguments.end(), more.begin(), more.end());
  return arguments;
}
}  // namespace

void WineDesktopTest::closeWindow(const Window& window) { driver(withWindow({"close"}, window)); }

void WineDesktopTest::setForeground(const Window& window) {
  driver(withWindow({"foreground"}, window));
}

void WineDesktopTest::showWindow(const Window& window, int command) {
  driver(withWindow({"show"}, window, {"--cmd", std::to_string(command)}));
}

void WineDesktopTest::moveWindow(const Window& window, const Rect& rect) {
  driver(withWindow(
      {"move"}, window,
      {"--rect", std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
                     std::to_string(rect.width()) + "," + std::to_string(rect.height())}));
}

void WineDesktopTest::setStyle(const Window& window, std::optional<std::uint32_t> style,
                               std::optional<std::uint32_t> exStyle) {
  std::vector<std::string> more;
  if (style) {
    more.insert(more.end(), {"--style", hex(*style)});
  }
  if (exStyle) {
    more.insert(more.end(), {"--exstyle", hex(*exStyle)});
  }
  driver(withWindow({"setstyle"}, window, more));
}

void WineDesktopTest::clickControl(const Window& window, int id) {
  driver(withWindow({"click"}, window, {"--id", std::to_string(id)}));
}

void WineDesktopTest::setCheck(const Window& window, int id, bool checked) {
  driver(withWindow({"setcheck"}, window,
                    {"--id", std::to_string(id), "--checked", checked ? "1" : "0"}));
}

void WineDesktopTest::setTrackPosition(const Window& window, int id, int position) {
  driver(withWindow({"settrack"}, window,
                    {"--id", std::to_string(id), "--pos", std::to_string(position)}));
}

bool WineDesktopTest::responds(const Window& window) {
  return runDriver(withWindow({"ping"}, window)).exitCode == 0;
}

// --- registry ----------------------------------------------------------------------

std::optional<RegValue> WineDesktopTest::regQuery(const std::string& key,
                                                  const std::string& value) {
  const CommandResult result = wine({"reg", "query", key, "/v", value});
  if (result.exitCode != 0) {
    return std::nullopt;
  }
  const auto values = parseRegQuery(result.output);
  if (values.empty()) {
    return std::nullopt;
  }
  return values.begin()->second;
}

std::map<std::string, RegValue> WineDesktopTest::regValues(const std::string& key) {
  const CommandResult result = wine({"reg", "query", key});
  if (result.exitCode != 0) {
    return {};
  }
  return parseRegQuery(result.output);
}

void WineDesktopTest::regAdd(const std::string& key, const std::string& value,
                             const std::string& data, const std::string& type) {
  const std::vector<std::string> arguments = {"reg", "add", key,  "/v", value,
                                              "/t",  type,  "/d", data, "/f"};
  const CommandResult result = wine(arguments);
  if (result.exitCode != 0) {
    fail(commandFailure(arguments, result));
  }
}

void WineDesktopTest::regDelete(const std::string& key, const std::string& value) {
  const std::vector<std::string> arguments = {"reg", "delete", key, "/v", value, "/f"};
  const CommandResult result = wine(arguments);
  if (result.exitCode != 0) {
    fail(commandFailure(arguments, result));
  }
}

void WineDesktopTest::regDeleteKey(const std::string& key) {
  const std::vector<std::string> arguments = {"reg", "delete", key, "/f"};
  const CommandResult result = wine(arguments);
  if (result.exitCode != 0) {
    fail(commandFailure(arguments, result));
  }
}

void WineDesktopTest::expectRegValues(const std::string& key,
                                      const std::map<std::string, RegValue>& expected) {
  expectEventually(
      [&] {
        auto values = regValues(key);
        std::map<std::string, RegValue> shown;
        for (const auto& entry : expected) {
          shown[entry.first] = values[entry.first];
        }
        return shown;
      },
      expected, "the values of " + key);
}

// --- files -------------------------------------------------------------------------

const fs::path& WineDesktopTest::prefixDir() const {
  if (!session_) {
    fail("the Wine desktop is not set up");
  }
  return session_->prefix();
}

const fs::path& WineDesktopTest::workDir() const {
  if (!session_) {
    fail("the Wine desktop is not set up");
  }
  return session_->work();
}

fs::path WineDesktopTest::workFile(const std::string& name) const { return workDir() / name; }

bool WineDesktopTest::fileExists(const std::string& name) const {
  return fs::exists(workFile(name));
}

std::string WineDesktopTest::readFile(const std::string& name) const {
  return slurp(workFile(name));
}

void WineDesktopTest::writeFile(const std::string& name, const std::string& text) {
  std::ofstream(workFile(name), std::ios::binary) << text;
}

void WineDesktopTest::removeFile(const std::string& name) { fs::remove(workFile(name)); }

std::string WineDesktopTest::windowsPath(const fs::path& path) {
  const CommandResult result = wine({"winepath", "-w", path.string()});
  if (result.exitCode != 0) {
    fail("winepath cannot convert " + path.string());
  }
  return trimmed(result.output);
}

// --- screen and input ----------------------------------------------------------------

fs::path WineDesktopTest::artifactsDir() {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string name =
      test != nullptr ? std::string(test->test_suite_name()) + "." + test->name() : "harness";
  return artifactsRoot() / sanitized(name);
}

fs::path WineDesktopTest::screenshot(const std::string& name) {
  fs::path path = artifactsDir() / name;
  fs::create_directories(path.parent_path());
  runChecked({"import", "-display", session().display(), "-window", "root", path.string()}, {},
             workDir());
  return path;
}

void WineDesktopTest::xdotool(const std::vector<std::string>& arguments) {
  std::vector<std::string> argv = {"xdotool"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  runChecked(argv, {{"DISPLAY", session().display()}}, workDir());
}

void WineDesktopTest::mouseMove(int x, int y) {
  xdotool({"mousemove", std::to_string(x), std::to_string(y)});
}

void WineDesktopTest::click(int x, int y, int button) {
  xdotool({"mousemove", std::to_string(x), std::to_string(y), "click", std::to_string(button)});
}

void WineDesktopTest::doubleClick(int x, int y, int button) {
  xdotool({"mousemove", std::to_string(x), std::to_string(y), "click", "--repeat", "2", "--delay",
           "80", std::to_string(button)});
}

void WineDesktopTest::mouseDown(int x, int y, int button) {
  xdotool({"mousemove", std::to_string(x), std::to_string(y), "mousedown", std::to_string(button)});
}

void WineDesktopTest::mouseUp(int x, int y, int button) {
  xdotool({"mousemove", std::to_string(x), std::to_string(y), "mouseup", std::to_string(button)});
}

void WineDesktopTest::pressKeys(const std::string& keys) {
  std::vector<std::string> arguments = {"key"};
  std::istringstream in(keys);
  for (std::string key; in >> key;) {
    arguments.push_back(key);
  }
  xdotool(arguments);
}

}  // namespace strennix::e2e
