// The end-to-end test runner. With --rebuild-wine-template it only makes the
// template Wine prefix of this test run (the ctest fixture that runs before
// the end-to-end tests), with --remove-wine-template it removes it again;
// --win64 chooses the 64-bit template instead of the 32-bit one. A template
// is made only for an edition this machine runs: no test of another exists.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>

#include "tests/e2e/harness.h"

namespace {

using strennix::e2e::Edition;
using strennix::e2e::PrefixArch;

int rebuildWineTemplate(PrefixArch arch) {
  const Edition edition = strennix::e2e::editionOf(arch);
  const auto& runnable = strennix::e2e::runnableEditions();
  if (std::find(runnable.begin(), runnable.end(), edition) == runnable.end()) {
    std::printf("No Wine prefix made: this machine cannot run %s (scripts/editions.sh)\n",
                ::testing::PrintToString(edition).c_str());
    return 0;
  }
  const auto missing = strennix::e2e::missingBinaries(edition);
  if (missing && !strennix::e2e::binariesRequired()) {
    std::printf("No Wine prefix made: %s\n", missing->c_str());
    return 0;
  }
  try {
    strennix::e2e::rebuildTemplatePrefix(arch);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "The template Wine prefix could not be made: %s\n", error.what());
    return 1;
  }
  std::printf("Template Wine prefix: %s\n", strennix::e2e::templatePrefixDir(arch).c_str());
  return 0;
}

int removeWineTemplate(PrefixArch arch) {
  strennix::e2e::removeTemplatePrefix(arch);
  return 0;
}

bool hasArgument(int argc, char** argv, const char* wanted) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], wanted) == 0) {
      return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const PrefixArch arch =
      hasArgument(argc, argv, "--win64") ? PrefixArch::Win64 : PrefixArch::Win32;
  if (hasArgument(argc, argv, "--rebuild-wine-template")) {
    return rebuildWineTemplate(arch);
  }
  if (hasArgument(argc, argv, "--remove-wine-template")) {
    return removeWineTemplate(arch);
  }
  return RUN_ALL_TESTS();
}
