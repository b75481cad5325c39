// What the helper checks before it serves anyone: its command line and the
// folder of the process it was given, both of which any program could forge.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "hook/dll/helperarguments.h"
#include "hook/dll/programfolder.h"

namespace strennix {
namespace {

std::optional<HelperArguments> parse(const std::vector<const char*>& arguments) {
  std::vector<const char*> argv{"strennix64.exe"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return helperArguments(static_cast<int>(argv.size()), argv.data());
}

TEST(HelperChecksTest, TheCommandLineIsAProcessIdAndAnEndSignalAndNothingElse) {
  const auto arguments = parse({"500", "452"});
  ASSERT_TRUE(arguments.has_value());
  EXPECT_EQ(arguments->process, 500U);
  EXPECT_EQ(arguments->endSignal, 452U);
  EXPECT_EQ(parse({"4294967295", "4"})->process, 4294967295U);

  const std::vector<std::vector<const char*>> forged = {{},
                                                        {"500"},
                                                        {"500", "452", "1"},
                                                        {"0", "452"},
                                                        {"500", "0"},
                                                        {"", "452"},
                                                        {"-1", "4"},
                                                        {"4294967296", "4"},
                                                        {"50x", "4"},
                                                        {"500", " 4"},
                                                        {"+5", "4"},
                                                        {"5", "4 "},
                                                        {"0x1F4", "4"},
                                                        {"99999999999999999999", "4"}};
  for (const auto& arguments : forged) {
    EXPECT_FALSE(parse(arguments).has_value()) << testing::PrintToString(arguments);
  }
}

TEST(HelperChecksTest, OnlyAProcessFromTheHelpersOwnFolderIsServed) {
  const char* own = R"(C:\Program Files\Strennix\strennix64.exe)";
  EXPECT_TRUE(inSameFolder(R"(C:\Program Files\Strennix\strennix.exe)", own));
  EXPECT_TRUE(inSameFolder(R"(c:\PROGRAM FILES\strennix\STRENNIX.EXE)", own)) << "case";

  EXPECT_FALSE(inSameFolder(R"(C:\Program Files\Strennix\sub\strennix.exe)", own));
  EXPECT_FALSE(inSameFolder(R"(C:\Program Files\strennix.exe)", own));
  EXPECT_FALSE(inSameFolder(R"(C:\Program Files\Strennix2\strennix.exe)", own));
  EXPECT_FALSE(inSameFolder(R"(C:\Users\me\Downloads\strennix.exe)", own));
  EXPECT_FALSE(inSameFolder("strennix.exe", "strennix64.exe")) << "no folder matches none";
  EXPECT_FALSE(inSameFolder("", own)) << "a path that could not be read";
  EXPECT_FALSE(inSameFolder(R"(C:\Program Files\Strennix\strennix.exe)", ""));
}

TEST(HelperChecksTest, AFileBesideTheProgramIsNamedByFullPathOrNotAtAll) {
  EXPECT_EQ(besideProgram(R"(C:\Strennix\strennix.exe)", "hook.dll"), R"(C:\Strennix\hook.dll)");
  EXPECT_EQ(besideProgram("strennix.exe", "hook.dll"), "") << "never by bare name";
}

}  // namespace
}  // namespace strennix
