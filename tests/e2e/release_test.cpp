// The release as a user gets it: the edition's zip,
// dist/strennix-<version>-win32.zip or -win64.zip, made by scripts/package.sh,
// unpacked into an empty folder and started from there.
#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "resources/version.h"
#include "tests/e2e/harness.h"

namespace strennix::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Control IDs of the settings form (resources/resource.h).
constexpr int kGroupButtons = 1001;
constexpr int kChkShade = 1006;
constexpr int kBtnSave = 1029;
constexpr int kBtnQuit = 1030;
constexpr int kLabel1 = 1032;

fs::path releaseZip(Edition edition) {
  return sourceDir() / "dist" /
         (std::string("strennix-") + kVersion + "-win" + buildOf(edition).bits + ".zip");
}

std::set<std::string> filesBelow(const fs::path& folder) {
  std::set<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files.insert(entry.path().lexically_relative(folder).generic_string());
    }
  }
  return files;
}

// Every line feed comes after a carriage return, and there is at least one.
bool endsLinesWithCrLf(const std::string& text) {
  size_t lineFeeds = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++lineFeeds;
      if (i == 0 || text[i - 1] != '\r') {
        return false;
      }
    }
  }
  return lineFeeds > 0;
}

// What `testdriver version` reads from an executable's resources.
struct VersionInfo {
  std::map<std::string, std::string> fields;   // fileversion, productversion, firsticon, manifest
  std::map<std::string, std::string> strings;  // CompanyName, ProductName, ...
};

VersionInfo parseVersionOutput(const std::string& output) {
  VersionInfo info;
  for (const std::string& line : splitLines(output)) {
    if (line.rfind("string name=", 0) == 0) {
      const auto textAt = line.find(" text=");
      if (textAt != std::string::npos) {
        info.strings[line.substr(12, textAt - 12)] = line.substr(textAt + 6);
      }
      continue;
    }
    size_t start = 0;
    while (start < line.size()) {
      const size_t end = std::min(line.find(' ', start), line.size());
      const std::string word = line.substr(start, end - start);
      const auto equals = word.find('=');
      if (equals != std::string::npos) {
        info.fields[word.substr(0, equals)] = word.substr(equals + 1);
      }
      start = end + 1;
    }
  }
  return info;
}

class ReleaseTest : public EditionTest<WineDesktopTest> {
 protected:
  void SetUp() override {
    if (!fs::exists(releaseZip(edition()))) {
      const std::string reason = "the release zip is not built (no " +
                                 releaseZip(edition()).string() + "): run scripts/package.sh";
      if (binariesRequired()) {
        FAIL() << reason;
      }
      GTEST_SKIP() << reason;
    }
    WineDesktopTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) {
      return;
    }
    // Only what the zip brings: the harness's own copies of the program go.
    for (const auto& entry : fs::directory_iterator(workDir())) {
      fs::remove_all(entry.path());
    }
    const CommandResult unpacked = runCommand(
        {"cmake", "-E", "tar", "xf", releaseZip(edition()).string()}, {}, workDir(), 60s);
    ASSERT_EQ(unpacked.exitCode, 0) << unpacked.output << unpacked.errors;
  }

  VersionInfo versionOf(const std::string& file) {
    return parseVersionOutput(driver({"version", "--file", windowsPath(workFile(file))}));
  }

  void expectVersionResource(const std::string& file, const std::string& description) {
    SCOPED_TRACE(file);
    const VersionInfo info = versionOf(file);
    EXPECT_EQ(info.fields.at("fileversion"), kVersion);
    EXPECT_EQ(info.fields.at("productversion"), kVersion);
    const std::map<std::string, std::string> expected = {
        {"CompanyName", "Corvane inc."},
        {"FileDescription", description},
        {"FileVersion", kVersion},
        {"InternalName", file},
        {"LegalCopyright", "Copyright (c) 2026 Corvane inc. MIT licence."},
        {"OriginalFilename", file},
        {"ProductName", "Strennix"},
        {"ProductVersion", kVersion},
    };
    EXPECT_EQ(info.strings, expected);
  }

  // Waits until each of these controls of the settings form has its caption.
  void expectCaptions(const std::map<int, std::string>& expected) {
    expectEventually(
        [&] {
          std::map<int, std::string> shown;
          for (const ControlInfo& info : children(Window::byClass("TStrennix"))) {
            if (expected.contains(info.id)) {
              shown[info.id] = info.text;
            }
          }
          return shown;
        },
        expected, "the captions by control ID");
  }
};

TEST_P(ReleaseTest, ZipHoldsTheProgramItsLibrariesHelperLanguageFilesAndDocumentsWithCrLf) {
  EXPECT_EQ(
      filesBelow(workDir()),
      (std::set<std::string>{"strennix.exe", own().library, other().helper, other().library,
                             "README.txt", "LICENSE.txt", "lang/0x07.lang", "lang/template.lang"}));
  for (const char* text : {"README.txt", "LICENSE.txt", "lang/0x07.lang", "lang/template.lang"}) {
    EXPECT_TRUE(endsLinesWithCrLf(readFile(text))) << text;
  }
  EXPECT_NE(readFile("LICENSE.txt").find("Copyright (c) 2026 Corvane inc."), std::string::npos);

  expectVersionResource("strennix.exe", "Strennix: extra title-bar buttons");
  expectVersionResource(own().library, "Strennix hook library");
  expectVersionResource(other().library, "Strennix hook library");
  expectVersionResource(other().helper, "Strennix " + other().bits + "-bit hook helper");
  const VersionInfo program = versionOf("strennix.exe");
  // Explorer and the taskbar show the first icon group: the application's.
  EXPECT_EQ(program.fields.at("firsticon"), "1");
  EXPECT_GT(std::stoul(program.fields.at("manifest")), 0U) << "no manifest of ID 1";
}

TEST_P(ReleaseTest, UnpackedProgramStartsInGermanFromItsFolderWithTheFirstStartDefaults) {
  ASSERT_TRUE(regValues(kSettingsKey).empty()) << "the prefix is not fresh";
  // A German user who picked the language by hand; no settings yet.
  regAdd(kSettingsKey, "lang", "7", "REG_DWORD");

  WineProcess& strennix = startStrennix();
  const WindowInfo form = waitForVisibleWindow(Window::byClass("TStrennix"));
  screenshot("release-first-start-german.png");

  // The captions come from the zip's lang\0x07.lang (Windows-1252 text);
  // the form's own caption and the maker's label stay English.
  expectCaptions({{kBtnSave, "Speichern"},
                  {kBtnQuit, "Strnx beenden"},
                  {kChkShade, "Aufrollen"},
                  {kGroupButtons, std::string("Schaltfl") + "\xE4" + "chen:"},
                  {kLabel1, "Corvane inc."}});
  expectEventually(
      [&] { return findWindow(Window::byHandle(form.hwnd)).value_or(WindowInfo{}).title; },
      std::string("Strennix"), "the title of the settings form");

  // The first start wrote its defaults and the folder it was unpacked into.
  const std::string exePath = windowsPath(workFile("strennix.exe"));
  expectRegValues(kSettingsKey,
                  {{"Version", {"REG_SZ", kVersion}},
                   {"Buttons", {"REG_SZ", "<hmax><vmax><top><shade><toicon><tomenu>"}},
                   {"Priority", {"REG_SZ", "4"}},
                   {"installPath", {"REG_SZ", exePath.substr(0, exePath.rfind('\\') + 1)}}});
  // The hooks of the zip's library are installed.
  for (const char* value : {"mH", "cbtH"}) {
    expectEventually([&] { return regQuery(kSettingsKey, value).value_or(RegValue{}).dword(); },
                     [](std::uint32_t handle) { return handle != 0U; },
                     std::string("a handle in ") + value);
  }

  EXPECT_EQ(closeStrennix(strennix), 0);
}

STRENNIX_TEST_EDITIONS(ReleaseTest, runnableEditions());

}  // namespace
}  // namespace strennix::e2e
