// The end-to-end test runner. With --rebuild-wine-template it only makes the
// template Wine prefix of this test run (the ctest fixture that runs before
// the end-to-end tests), with --remove-wine-template it removes it again.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <exception>

#include "tests/e2e/harness.h"

namespace {

int rebuildWineTemplate() {
  const auto missing = strennix::e2e::missingBinaries();
  if (missing && !strennix::e2e::binariesRequired()) {
    std::printf("No Wine prefix made: %s\n", missing->c_str());
    return 0;
  }
  try {
    strennix::e2e::rebuildTemplatePrefix();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "The template Wine prefix could not be made: %s\n", error.what());
    return 1;
  }
  std::printf("Template Wine prefix: %s\n", strennix::e2e::templatePrefixDir().c_str());
  return 0;
}

int removeWineTemplate() {
  strennix::e2e::removeTemplatePrefix();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--rebuild-wine-template") == 0) {
      return rebuildWineTemplate();
    }
    if (std::strcmp(argv[i], "--remove-wine-template") == 0) {
      return removeWineTemplate();
    }
  }
  return RUN_ALL_TESTS();
}
