#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/filecontrol.h"
#include "app/core/log.h"
#include "platform/sim/simdesktop.h"

namespace strennix {
namespace {

using Lines = std::vector<std::string>;
using namespace std::string_literals;

TEST(SplitListLines, CrLfLoneCrAndLoneLfAllEndALine) {
  EXPECT_EQ(splitListLines("Notepad\r\nWordPadClass\rExplorerWClass\nShell_TrayWnd"),
            (Lines{"Notepad", "WordPadClass", "ExplorerWClass", "Shell_TrayWnd"}));
  EXPECT_EQ(splitListLines("a\r\nb\r\n"), splitListLines("a\rb\r"));
  EXPECT_EQ(splitListLines("a\r\nb\r\n"), splitListLines("a\nb\n"));
  // LF CR is two line ends, not one.
  EXPECT_EQ(splitListLines("a\n\rb"), (Lines{"a", "", "b"}));
}

TEST(SplitListLines, BlankMiddleLineGivesEmptyEntryButFinalBreakAddsNone) {
  EXPECT_EQ(splitListLines("a\r\n\r\nb\r\n"), (Lines{"a", "", "b"}));
  EXPECT_EQ(splitListLines("a"), (Lines{"a"}));
  EXPECT_EQ(splitListLines(""), Lines{});
  EXPECT_EQ(splitListLines("\r\n"), (Lines{""}));
  EXPECT_EQ(splitListLines("Notepad \r\n\tx"), (Lines{"Notepad ", "\tx"})) << "nothing is trimmed";
}

TEST(SplitListLines, NulEndsTheText) {
  EXPECT_EQ(splitListLines("a\r\nb\0c\r\nd"s), (Lines{"a", "b"}));
  EXPECT_EQ(splitListLines("\0a\r\n"s), Lines{});
}

class FileControlTest : public ::testing::Test {
 protected:
  FileControlTest() {
    log.debugMode = true;
    log.loggingMode = true;
  }
  std::string logText() { return desk.files[kFileControlLog]; }

  sim::SimDesktop desk;
  Logger log{desk, desk};
  DataFiles dataFiles{desk, desk};
  FileControl control{dataFiles, desk, desk, log};
};

TEST_F(FileControlTest, ReloadReplacesTheWholeListInFileOrder) {
  Lines classes{"Old1", "Old2", "Old3"};
  desk.files[kClassesFile] = "Notepad\r\nWordPadClass\r\nNotepad\r\n";
  control.readClasses(true, classes);
  EXPECT_EQ(classes, (Lines{"Notepad", "WordPadClass", "Notepad"}));

  desk.files[kClassesFile] = "WordPadClass";
  control.readClasses(true, classes);
  EXPECT_EQ(classes, (Lines{"WordPadClass"}));

  EXPECT_NE(logText().find("   Called readClasses. (No exit)\n"), std::string::npos);
  EXPECT_NE(logText().find("   Classes were read\n"), std::string::npos);
}

TEST_F(FileControlTest, ListSwitchedOffKeepsItsEntriesAndReadsNothing) {
  Lines names{"notepad.exe"};
  desk.files[kNamesFile] = "calc.exe\n";
  control.readNames(false, names);
  EXPECT_EQ(names, (Lines{"notepad.exe"}));
  EXPECT_EQ(logText().find("Names were read"), std::string::npos);
  EXPECT_NE(logText().find("   Called readNames. (No exit)\n"), std::string::npos);
}

TEST_F(FileControlTest, MissingFileAfterAnEarlierLoadLeavesThatLoadInForce) {
  Lines names;
  desk.files[kNamesFile] = "notepad.exe\r\ncalc.exe\r\n";
  control.readNames(true, names);
  control.readNames(false, names);
  desk.files.erase(kNamesFile);
  desk.files.erase(kFileControlLog);
  control.readNames(true, names);

  EXPECT_EQ(names, (Lines{"notepad.exe", "calc.exe"}));
  EXPECT_NE(logText().find("Called readNames. (No exit)"), std::string::npos);
  EXPECT_EQ(logText().find("Names were read"), std::string::npos);
}

TEST_F(FileControlTest, UnreadableFileIsTreatedLikeAMissingOne) {
  Lines classes{"Notepad", "WordPadClass"};
  desk.unreadableFiles.insert(kClassesFile);
  EXPECT_NO_THROW(control.readClasses(true, classes));
  EXPECT_EQ(classes, (Lines{"Notepad", "WordPadClass"}));
  EXPECT_EQ(logText().find("Classes were read"), std::string::npos);
}

TEST_F(FileControlTest, TraceLinesNeedLoggingModeToo) {
  log.loggingMode = false;
  Lines classes;
  desk.files[kClassesFile] = "Notepad";
  control.readClasses(true, classes);
  EXPECT_EQ(classes, (Lines{"Notepad"}));
  EXPECT_EQ(desk.files.count(kFileControlLog), 0U);
}

// A start from the log-on entry runs in another directory: the lists beside
// the program are then the ones in force, for loading and for editing.
TEST_F(FileControlTest, FilesBesideTheProgramAreInForceWhenTheWorkingDirectoryHasNone) {
  const std::string beside = R"(C:\Program Files\Strennix\)";
  desk.exePath = beside + "strennix.exe";
  desk.files[beside + kClassesFile] = "Notepad\r\n";
  desk.files[beside + kNamesFile] = "calc.exe\r\n";
  desk.files[kNamesFile] = "notepad.exe\r\n";
  Lines classes;
  Lines names;
  control.readClasses(true, classes);
  control.readNames(true, names);
  EXPECT_EQ(classes, (Lines{"Notepad"}));
  EXPECT_EQ(names, (Lines{"notepad.exe"})) << "the working directory's file comes first";

  control.editClasses();
  control.editNames();
  ASSERT_EQ(desk.shellExecutes.size(), 2U);
  EXPECT_EQ(desk.shellExecutes[0].parameters, "\"" + beside + kClassesFile + "\"");
  EXPECT_EQ(desk.shellExecutes[1].parameters, "files.txt");
}

// Notepad saves with a byte-order mark when asked for UTF-8 or Unicode; the
// entries come out in the ANSI code page, as the system names windows.
TEST_F(FileControlTest, ListsSavedByNotepadAsUtf8OrUtf16ReadAsAnsiText) {
  struct Case {
    const char* what;
    std::string bytes;
    Lines entries;
  };
  const std::vector<Case> cases = {
      {"UTF-8 with mark", "\xEF\xBB\xBFNotepad\r\nCaf\xC3\xA9\r\n", {"Notepad", "Caf\xE9"}},
      {"UTF-8 beyond the code page, four bytes long, cut short, overlong, stray",
       "\xEF\xBB\xBF\xE2\x82\xAC|\xF0\x9F\x98\x80|\xC3|\xC0\xAF|\x80\xE9x",
       {"?|??|?|??|??x"}},
      {"UTF-16 little-endian",
       "\xFF\xFEN\0o\0t\0e\0\r\0\n\0C\0a\0f\0\xE9\0\r\0\n\0"s,
       {"Note", "Caf\xE9"}},
      {"UTF-16 big-endian",
       "\xFE\xFF\0N\0o\0t\0e\0\r\0\n\0C\0a\0f\0\xE9\0\r\0\n"s,
       {"Note", "Caf\xE9"}},
      {"a mark alone", "\xEF\xBB\xBF", {}},
      {"UTF-16 with an odd last byte", "\xFF\xFEx\0y"s, {"x"}},
      {"no mark, mark bytes further on", "a\xEF\xBB\xBF", {"a\xEF\xBB\xBF"}},
  };
  for (const Case& c : cases) {
    Lines classes{"old"};
    desk.files[kClassesFile] = c.bytes;
    control.readClasses(true, classes);
    EXPECT_EQ(classes, c.entries) << c.what;
  }
}

TEST_F(FileControlTest, EditOpensTheListFileInNotepadWithoutCreatingIt) {
  control.editClasses();
  control.editNames();
  ASSERT_EQ(desk.shellExecutes.size(), 2U);
  const auto& classes = desk.shellExecutes[0];
  EXPECT_EQ(classes.owner, Hwnd{});
  EXPECT_EQ(classes.verb, "open");
  EXPECT_EQ(classes.file, "notepad.exe");
  EXPECT_EQ(classes.parameters, "classes.txt");
  EXPECT_EQ(classes.directory, "");
  EXPECT_EQ(classes.show, 9);
  EXPECT_EQ(desk.shellExecutes[1].parameters, "files.txt");
  EXPECT_EQ(desk.files.count(kClassesFile), 0U);
  EXPECT_EQ(desk.files.count(kNamesFile), 0U);
}

}  // namespace
}  // namespace strennix
