// The harness itself, on windows of the test driver: what every other
// end-to-end test relies on.
#include "tests/e2e/harness.h"

namespace strennix::e2e {
namespace {

class HarnessTest : public EditionTest<WineDesktopTest> {};

TEST_P(HarnessTest, DriverWindowsCanBeOpenedQueriedMovedAndClosed) {
  const OpenedWindow opened =
      openWindow({.title = "Harness Probe", .rect = Rect{50, 60, 450, 360}, .icon = true});

  const WindowInfo shown = waitForVisibleWindow(Window::byTitle("Harness Probe"));
  EXPECT_EQ(shown.hwnd, opened.hwnd);
  EXPECT_EQ(shown.className, "StrennixTestWindow");
  EXPECT_FALSE(shown.topmost);
  const auto rect = [&] {
    return findWindow(Window::byHandle(opened.hwnd)).value_or(WindowInfo{}).rect;
  };
  expectEventually(rect, Rect{50, 60, 450, 360}, "the probe window's rectangle");

  moveWindow(Window::byHandle(opened.hwnd), Rect{100, 120, 400, 320});
  expectEventually(rect, Rect{100, 120, 400, 320}, "the moved probe window's rectangle");
  EXPECT_TRUE(std::filesystem::exists(screenshot("probe.png")));

  closeWindow(Window::byHandle(opened.hwnd));
  EXPECT_EQ(opened.process->waitForExit(), 0);
  expectEventually([this] { return windowExists("StrennixTestWindow", "Harness Probe"); }, false,
                   "whether the probe window exists");
}

TEST_P(HarnessTest, RegistryValuesRoundTripThroughReg) {
  const std::string key = "HKCU\\Software\\Strennix Harness";
  regAdd(key, "Text", "two  words\\");
  regAdd(key, "Empty", "");
  regAdd(key, "Number", "305419896", "REG_DWORD");

  EXPECT_EQ(regQuery(key, "text"), (RegValue{"REG_SZ", "two  words\\"}));
  EXPECT_EQ(regQuery(key, "Empty"), (RegValue{"REG_SZ", ""}));
  EXPECT_EQ(regQuery(key, "Number")->dword(), 0x12345678u);
  EXPECT_EQ(regValues(key).size(), 3u);

  regDelete(key, "Text");
  EXPECT_FALSE(regQuery(key, "Text").has_value());
  regDeleteKey(key);
  EXPECT_TRUE(regValues(key).empty());
}

STRENNIX_TEST_EDITIONS(HarnessTest, runnableEditions());

}  // namespace
}  // namespace strennix::e2e
