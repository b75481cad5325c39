// The edition's hook library under Wine (hook.dll, hook64.dll): the hook
// probe of its bitness stands in for the main window and prints what the
// library posts to it, while windows of another process are clicked and
// closed.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"

namespace strennix::e2e {
namespace {

struct Release {
  int x = 0;
  int y = 0;
  bool operator==(const Release&) const = default;
};

void PrintTo(const Release& release, std::ostream* out) {
  *out << "(" << release.x << ", " << release.y << ")";
}

// What the probe printed so far.
struct ProbeReport {
  bool ready = false;
  int mouseHooked = 0;
  int cbtHooked = 0;
  bool unhooked = false;
  int mouseUnhooked = 0;
  int cbtUnhooked = 0;
  std::vector<Release> releases;
  std::vector<std::uint32_t> destroyed;
};

ProbeReport parseProbeOutput(const std::string& output) {
  ProbeReport report;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    Release release;
    unsigned long hwnd = 0;
    unsigned long pid = 0;
    if (std::sscanf(line.c_str(), "ready hwnd=0x%lx pid=%lu mouse=%d cbt=%d", &hwnd, &pid,
                    &report.mouseHooked, &report.cbtHooked) == 4) {
      report.ready = true;
    } else if (std::sscanf(line.c_str(), "nclbuttonup x=%d y=%d", &release.x, &release.y) == 2) {
      report.releases.push_back(release);
    } else if (std::sscanf(line.c_str(), "destroy hwnd=0x%lx", &hwnd) == 1) {
      report.destroyed.push_back(static_cast<std::uint32_t>(hwnd));
    } else if (std::sscanf(line.c_str(), "unhooked mouse=%d cbt=%d", &report.mouseUnhooked,
                           &report.cbtUnhooked) == 2) {
      report.unhooked = true;
    }
  }
  return report;
}

int count(const std::vector<std::uint32_t>& handles, std::uint32_t handle) {
  return static_cast<int>(std::count(handles.begin(), handles.end(), handle));
}

class HookLibraryTest : public EditionTest<WineDesktopTest> {
 protected:
  void SetUp() override {
    WineDesktopTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) {
      return;
    }
    const std::filesystem::path exe = own().file(own().probe);
    if (!std::filesystem::exists(exe) || !std::filesystem::exists(own().file(own().library))) {
      const std::string missing =
          own().probe + " and " + own().library + " are not built in " + own().bin.string();
      if (binariesRequired()) {
        FAIL() << missing;
      }
      GTEST_SKIP() << missing;
    }
    // Started from the build's bin folder, so that it loads the library next
    // to it.
    probe_ = &startProgram(exe, {});
    waitFor([this] { return report().ready; }, "hookprobe.exe to install the hooks", kStartTimeout);
    ASSERT_EQ(report().mouseHooked, 1) << probe_->output();
    ASSERT_EQ(report().cbtHooked, 1) << probe_->output();
  }

  ProbeReport report() { return parseProbeOutput(probe_->output()); }

  void expectReleases(const std::vector<Release>& releases) {
    expectEventually([this] { return report().releases; }, releases,
                     "the releases the probe printed");
  }

  // A plain window of another process (the test driver), shown and settled.
  WindowInfo openTarget(const std::string& title, Rect rect) {
    OpenWindowOptions options;
    options.title = title;
    options.rect = rect;
    const OpenedWindow opened = openWindow(options);
    return waitForVisibleWindow(Window::byHandle(opened.hwnd));
  }

  // A point on the caption: below the top frame, well left of the caption
  // buttons.
  static Release onCaption(const WindowInfo& window, int fromLeft) {
    return {window.rect.left + fromLeft, window.rect.top + 12};
  }

  WineProcess* probe_ = nullptr;
};

TEST_P(HookLibraryTest, ACaptionClickInAnotherProcessIsReportedOnceWithItsScreenPoint) {
  const WindowInfo target = openTarget("Hook target", Rect{200, 150, 600, 450});
  const Release first = onCaption(target, 150);
  const Release second = onCaption(target, 230);

  click(first.x, first.y);
  waitFor([this] { return !report().releases.empty(); }, "the release on the caption");
  // A click into the client area is not reported; the second caption click
  // then shows that nothing else was posted in between.
  click(target.rect.left + 200, target.rect.top + 150);
  click(second.x, second.y);
  waitFor([this] { return report().releases.size() >= 2; }, "the second release on the caption");
  // Messages posted by one thread arrive in order: once the window's
  // destruction is reported, every release it posted before is in.
  closeWindow(Window::byHandle(target.hwnd));
  waitFor([&] { return count(report().destroyed, target.hwnd) > 0; },
          "the target window's destruction");

  expectReleases({first, second});
}

TEST_P(HookLibraryTest, ClosingAWindowReportsItsOwnHandleOnce) {
  const WindowInfo closed = openTarget("Closed first", Rect{100, 100, 400, 300});
  const WindowInfo kept = openTarget("Kept open", Rect{450, 100, 750, 300});

  closeWindow(Window::byHandle(closed.hwnd));
  waitFor([&] { return count(report().destroyed, closed.hwnd) > 0; },
          "the destruction of the closed window");
  expectEventually([&] { return findWindow(Window::byHandle(closed.hwnd)).has_value(); }, false,
                   "whether the closed window exists");
  EXPECT_EQ(count(report().destroyed, kept.hwnd), 0);

  closeWindow(Window::byHandle(kept.hwnd));
  waitFor([&] { return count(report().destroyed, kept.hwnd) > 0; },
          "the destruction of the second window");
  EXPECT_EQ(count(report().destroyed, closed.hwnd), 1) << probe_->output();
  EXPECT_EQ(count(report().destroyed, kept.hwnd), 1) << probe_->output();
  // Neither click nor release happened.
  EXPECT_TRUE(report().releases.empty());

  // The probe's own window ends it; both hooks come off cleanly.
  closeWindow(Window::byClass("TStrennix"));
  EXPECT_EQ(probe_->waitForExit(), 0);
  const ProbeReport last = report();
  EXPECT_TRUE(last.unhooked) << probe_->output();
  EXPECT_EQ(last.mouseUnhooked, 1);
  EXPECT_EQ(last.cbtUnhooked, 1);
}

// On the 9x family the library reads the chain handle the program publishes
// in "mH" and "cbtH"; Wine reports that family to a program set to "win98".
// A value of the wrong type must not keep the events from coming.
TEST_P(HookLibraryTest, OnTheNinetyEightFamilyOddPublishedHandlesChangeNothing) {
  regAdd(R"(HKCU\Software\Wine\AppDefaults\)" + own().driver, "Version", "win98");
  regAdd(kSettingsKey, "mH", "not a handle");
  regAdd(kSettingsKey, "cbtH", "0x1234", "REG_DWORD");
  const WindowInfo target = openTarget("Old system", Rect{200, 150, 600, 450});
  const Release point = onCaption(target, 150);

  click(point.x, point.y);
  closeWindow(Window::byHandle(target.hwnd));
  waitFor([&] { return count(report().destroyed, target.hwnd) > 0; },
          "the target window's destruction");

  expectReleases({point});
  EXPECT_EQ(count(report().destroyed, target.hwnd), 1);
}

STRENNIX_TEST_EDITIONS(HookLibraryTest, runnableEditions());

}  // namespace
}  // namespace strennix::e2e
