#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "language/langhandler.h"
#include "platform/sim/simdesktop.h"

namespace strennix {
namespace {

using sim::SimDesktop;

constexpr const char* kGerman = "lang\\0x07.lang";

// The 28 captions of the settings form and the four messages.
const std::vector<std::string> kKeys = {
    "Edit...",
    "Hide Strnx",
    "Exit Strnx",
    "Save changes",
    "Classes",
    "Maximize horizontal",
    "Menu stays",
    "Minimize to icon",
    "Minimize to menu",
    "Messageboxes/dialogs",
    "Files",
    "Shade",
    "Run at startup",
    "Toolboxes",
    "Stay on top",
    "Transparent windows",
    "Maximize vertical",
    "Buttons:",
    "Don't extend...",
    "Draw on...",
    "Menu options:",
    "Priority:",
    "Sort menu by:",
    "...all windows.",
    "Name",
    "...foregroundwindow only.",
    "Time",
    "You are trying to tray to many windows(45+). The operation failed.",
    "You can not add more icons to the tray.",
    "You are trying to shade to many windows(45+). The operation failed.",
    "Windows did not take the tray icon. The window stays where it is.",
};

std::string langFile(const std::string& name) {
  std::ifstream in(std::filesystem::path(STRENNIX_LANG_DIR) / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class LanguageTest : public ::testing::Test {
 protected:
  LanguageTest() {
    lang.setLanguage(0x0407);
    lang.setLanguageFolder("lang");
  }

  SimDesktop desk;
  DataFiles dataFiles{desk, desk};
  LangHandler lang{dataFiles};
};

TEST(LanguageFileName, IsTheFolderAndThePrimaryLanguageInHexadecimal) {
  SimDesktop desk;
  const DataFiles dataFiles(desk, desk);
  LangHandler lang(dataFiles);
  lang.setLanguageFolder("lang");
  EXPECT_EQ(lang.languageFile(), "lang\\0x09.lang") << "English until told otherwise";
  const std::vector<std::pair<std::uint16_t, std::string>> cases = {
      {0x0409, "lang\\0x09.lang"}, {0x0809, "lang\\0x09.lang"},  {7, "lang\\0x07.lang"},
      {0x0407, "lang\\0x07.lang"}, {0, "lang\\0000.lang"},       {29, "lang\\0x1d.lang"},
      {0x0c0c, "lang\\0x0c.lang"}, {0xFFFF, "lang\\0x3ff.lang"},
  };
  for (const auto& [language, file] : cases) {
    lang.setLanguage(language);
    EXPECT_EQ(lang.languageFile(), file) << language;
  }
}

TEST(LanguageTextBetween, TakesFromTheFirstOpeningTagToTheLastClosingTag) {
  EXPECT_EQ(textBetween("<begin>Aufrollen</end>", "<begin>", "</end>"), "Aufrollen");
  EXPECT_EQ(textBetween("x<begin> a </end>y", "<begin>", "</end>"), " a ");
  EXPECT_EQ(textBetween("<begin>a<begin>b</end>c</end>", "<begin>", "</end>"), "a<begin>b</end>c");
  EXPECT_EQ(textBetween("<begin_en>Shade</end_en><begin>X</end>", "<begin>", "</end>"), "X");
  EXPECT_EQ(textBetween("<begin_en>Shade</end_en><begin>X</end>", "<begin_en>", "</end_en>"),
            "Shade");
  EXPECT_EQ(textBetween("Aufrollen</end>", "<begin>", "</end>"), "");
  EXPECT_EQ(textBetween("<begin>Aufrollen", "<begin>", "</end>"), "");
  EXPECT_EQ(textBetween("</end>Aufrollen<begin>", "<begin>", "</end>"), "");
  EXPECT_EQ(textBetween("<begin></end>", "<begin>", "</end>"), "");
  EXPECT_EQ(textBetween("<begin>", "<begin>", "<begin>"), "");
  EXPECT_EQ(textBetween("", "<begin>", "</end>"), "");
}

TEST_F(LanguageTest, WithoutAFileEveryTextStaysEnglish) {
  EXPECT_EQ(lang.translate("Shade"), "Shade");
  desk.files["lang\\0x09.lang"] = "<begin_en>Shade</end_en><begin>Rollo</end>\n";
  EXPECT_EQ(lang.translate("Shade"), "Shade");
}

TEST_F(LanguageTest, CommentsNeedTheMarkAsTheirFirstCharacter) {
  desk.files[kGerman] =
      "#<begin_en>Shade</end_en><begin>Kommentar</end>\n"
      "<begin_en>Time</end_en><begin>Zeit</end>\n"
      " #<begin_en>Name</end_en><begin>Benannt</end>\n"
      "# <begin_en>Time</end_en><begin>Uhrzeit</end>\n";
  EXPECT_EQ(lang.translate("Shade"), "Shade");
  EXPECT_EQ(lang.translate("Time"), "Zeit");
  EXPECT_EQ(lang.translate("Name"), "Benannt");

  desk.files[kGerman] = " <begin_en>Shade</end_en><begin>Aufrollen</end>";
  EXPECT_EQ(lang.translate("Shade"), "Aufrollen");
}

TEST_F(LanguageTest, TheLastMatchingLineWithATranslationWins) {
  desk.files[kGerman] =
      "<begin_en>Shade</end_en><begin>Erste</end>\n"
      "<begin_en>Shade</end_en><begin>Zweite</end>\n"
      "<begin_en>Shade</end_en><begin></end>\n"
      "<begin_en>Shade</end_en>\n";
  EXPECT_EQ(lang.translate("Shade"), "Zweite");
}

TEST_F(LanguageTest, MissingOrReversedTagsMatchNothing) {
  desk.files[kGerman] =
      "<begin_en>Shade<begin>A</end>\n"
      "Shade</end_en><begin>B</end>\n"
      "</end_en>Shade<begin_en><begin>C</end>\n"
      "<begin_en>Time</end_en></end>D<begin>\n"
      "<begin_en>Name</end_en><begin>E\n"
      "<begin_en>Files</end_en>F</end>\n"
      "<BEGIN_EN>Classes</END_EN><BEGIN>G</END>\n";
  for (const std::string key : {"Shade", "Time", "Name", "Files", "Classes"}) {
    EXPECT_EQ(lang.translate(key), key);
  }
}

TEST_F(LanguageTest, TheEnglishPartMustMatchExactly) {
  desk.files[kGerman] =
      "<begin_en> Shade</end_en><begin>A</end>\n"
      "<begin_en>Shade </end_en><begin>B</end>\n"
      "<begin_en>shade</end_en><begin>C</end>\n"
      "<begin_en>Time</end_en><begin> Zeit </end>\n"
      "<begin_en>Edit...</end_en><begin>Bearbeiten...</end>\n";
  EXPECT_EQ(lang.translate("Shade"), "Shade");
  EXPECT_EQ(lang.translate("Time"), " Zeit ");
  EXPECT_EQ(lang.translate("Edit..."), "Bearbeiten...");
  EXPECT_EQ(lang.translate("Edit..."), "Bearbeiten...") << "both Edit buttons get the same";
}

TEST_F(LanguageTest, LinesEndAtCrLfLoneCrOrLoneLf) {
  desk.files[kGerman] =
      "<begin_en>Shade</end_en><begin>Aufrollen</end>\r\n"
      "<begin_en>Time</end_en><begin>Zeit</end>\r"
      "<begin_en>Name</end_en><begin>Benannt</end>\n"
      "\r\n\n\r"
      "<begin_en>Files</end_en><begin>Dateien</end>";
  EXPECT_EQ(lang.translate("Shade"), "Aufrollen");
  EXPECT_EQ(lang.translate("Time"), "Zeit");
  EXPECT_EQ(lang.translate("Name"), "Benannt");
  EXPECT_EQ(lang.translate("Files"), "Dateien");
}

// A start from the log-on entry runs in another directory.
TEST_F(LanguageTest, TheFileBesideTheProgramServesWhenTheWorkingDirectoryHasNone) {
  desk.exePath = R"(C:\Program Files\Strennix\strennix.exe)";
  desk.files[R"(C:\Program Files\Strennix\lang\0x07.lang)"] =
      "<begin_en>Shade</end_en><begin>Aufrollen</end>";
  EXPECT_EQ(lang.translate("Shade"), "Aufrollen");
  desk.files[kGerman] = "<begin_en>Time</end_en><begin>Zeit</end>";
  EXPECT_EQ(lang.translate("Shade"), "Shade") << "the working directory's file comes first";
  EXPECT_EQ(lang.translate("Time"), "Zeit");
}

TEST_F(LanguageTest, AFileThatCannotBeReadLeavesTheEnglishText) {
  desk.unreadableFiles.insert(kGerman);
  EXPECT_EQ(lang.translate("Shade"), "Shade");
}

TEST_F(LanguageTest, TheFileIsReadAnewOnEveryCall) {
  desk.files[kGerman] = "<begin_en>Shade</end_en><begin>Aufrollen</end>";
  EXPECT_EQ(lang.translate("Shade"), "Aufrollen");
  desk.files[kGerman] = "<begin_en>Shade</end_en><begin>Einrollen</end>";
  EXPECT_EQ(lang.translate("Shade"), "Einrollen");
  desk.files.erase(kGerman);
  EXPECT_EQ(lang.translate("Shade"), "Shade");
}

TEST_F(LanguageTest, TheGermanFileTranslatesEveryCaptionAndMessageInWindows1252) {
  desk.files[kGerman] = langFile("0x07.lang");
  ASSERT_FALSE(desk.files[kGerman].empty());
  for (const std::string& key : kKeys) {
    const std::string german = lang.translate(key);
    if (key != "Name") {
      EXPECT_NE(german, key) << key << " is not translated";
    }
  }
  EXPECT_EQ(lang.translate("Save changes"), "Speichern");
  EXPECT_EQ(lang.translate("Priority:"), "Priorit\xE4t:");
  EXPECT_EQ(lang.translate("Shade"), "Aufrollen");
  EXPECT_EQ(desk.files[kGerman].find('\xC3'), std::string::npos) << "no UTF-8 sequences";
}

TEST_F(LanguageTest, TheTemplateMapsEveryKeyToItself) {
  desk.files[kGerman] = langFile("template.lang");
  ASSERT_FALSE(desk.files[kGerman].empty());
  for (const std::string& key : kKeys) {
    std::string entry = "<begin_en>";
    entry += key;
    entry += "</end_en><begin>";
    entry += key;
    entry += "</end>";
    EXPECT_NE(desk.files[kGerman].find(entry), std::string::npos) << key;
    EXPECT_EQ(lang.translate(key), key);
  }
}

}  // namespace
}  // namespace strennix
