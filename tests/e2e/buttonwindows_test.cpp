// Where the desktop composes the window frames (a prefix that reports
// Windows 10: Wine's DwmIsCompositionEnabled answers TRUE there), the buttons
// are a small window of the program's over the title bar instead of a
// painted row, and a click on it acts on the window below, which stays in
// front. Wine tells no caption-button bounds, so the button window takes the
// painted row's place, centred in the title bar that GetTitleBarInfo gives.
// The journeys here: every action by a real click, the buttons following
// their window (moved, minimized, covered, closed), a hung window holding
// nothing up, and the sizes at 144 DPI in both ways of showing the buttons.
#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/titlebar.h"

namespace strennix::e2e {
namespace {

constexpr const char* kButtonWindowClass = "StrennixButtonWindow";
constexpr std::uint32_t kWsExToolWindow = 0x00000080;
constexpr int kSwMinimize = 6;
constexpr int kSwRestore = 9;
// The six 16 x 14 buttons at 96 DPI.
constexpr int kSlotWidth = 16;
constexpr int kSlotHeight = 14;

class ComposedButtonsTest : public EditionTest<WindowActionsDesktop> {
 protected:
  void composeFrames() { regAdd("HKCU\\Software\\Wine", "Version", "win10"); }

  // With the default settings at 96 DPI: six buttons ending 58 pixels left
  // of the window's right edge, centred in Wine's title bar (4 to 23 pixels
  // below the window's top).
  static Rect barPlaceOver(const Rect& window) {
    return Rect{window.right - 58 - 6 * kSlotWidth, window.top + 6, window.right - 58,
                window.top + 6 + kSlotHeight};
  }

  // The program's button windows, in the z-order (the top one first).
  std::vector<WindowInfo> buttonWindows() {
    std::vector<WindowInfo> bars = listWindows();
    std::erase_if(bars,
                  [](const WindowInfo& info) { return info.className != kButtonWindowClass; });
    return bars;
  }

  // Waits until a button window shows at its place over the window where the
  // window is now; returns it.
  WindowInfo waitForBarOver(const WindowInfo& window) {
    const Rect place = barPlaceOver(current(window).rect);
    const std::vector<WindowInfo> bars = expectEventually(
        [this] { return buttonWindows(); },
        [&place](const std::vector<WindowInfo>& all) {
          return std::any_of(all.begin(), all.end(), [&place](const WindowInfo& bar) {
            return bar.visible && bar.rect == place;
          });
        },
        "a button window to show at " + ::testing::PrintToString(place) + " over \"" +
            window.title + "\"");
    return *std::find_if(bars.begin(), bars.end(),
                         [&place](const WindowInfo& bar) { return bar.rect == place; });
  }

  void waitUntilBarHidden(const WindowInfo& bar) {
    waitForState(
        Window::byHandle(bar.hwnd), [](const WindowInfo& info) { return !info.visible; },
        "the button window to hide");
  }

  // A real click on button slot k (1 = the rightmost) of the button window
  // over the window. Successive clicks alternate between two points, as on
  // the painted buttons.
  void clickBar(const WindowInfo& window, int slot) {
    const WindowInfo bar = waitForBarOver(window);
    const int width = bar.rect.width() / 6;
    alternate_ = !alternate_;
    click(bar.rect.right - slot * width + (alternate_ ? 4 : width - 5),
          (bar.rect.top + bar.rect.bottom) / 2);
  }

  // How many of the six icons the screen shows in the button window's place.
  static int iconsShown(const Screen& screen, const Rect& bar) {
    int shown = 0;
    for (int k = 1; k <= 6; ++k) {
      shown +=
          screen.shows(iconPicture(slotIcons(false)[k - 1]), bar.right - k * kSlotWidth, bar.top)
              ? 1
              : 0;
    }
    return shown;
  }

  // The place of the window in the z-order, 0 the top; -1 when it is gone.
  std::ptrdiff_t zIndex(std::uint32_t hwnd) {
    const std::vector<WindowInfo> all = listWindows();
    const auto found = std::find_if(all.begin(), all.end(),
                                    [hwnd](const WindowInfo& info) { return info.hwnd == hwnd; });
    return found == all.end() ? -1 : found - all.begin();
  }

 private:
  bool alternate_ = false;
};

TEST_P(ComposedButtonsTest, TheButtonsAreAWindowOfTheProgramOverTheTitleBarAndAClickActs) {
  composeFrames();
  writeDefaultSettings();
  startHidden();
  const WindowInfo target = openTarget({.title = "Composed", .rect = Rect{100, 100, 660, 400}});

  const Window barWindow = Window::byClass(kButtonWindowClass);
  const WindowInfo bar = waitForState(
      barWindow, [](const WindowInfo& info) { return info.visible; }, "a button window to show");
  // Six 16-pixel buttons ending 58 pixels left of the right edge, the 14
  // pixels centred in the title bar of (104, 123).
  EXPECT_EQ(bar.rect, (Rect{506, 106, 602, 120}));
  EXPECT_NE(bar.exStyle & kWsExToolWindow, 0U) << "no taskbar button of its own";
  EXPECT_EQ(bar.owner, 0U) << "owned by no window of another program";
  screenshot("button-window.png");

  // The rightmost button keeps the window on top; the window stays in front
  // and its button window goes topmost with it.
  click(bar.rect.right - 8, (bar.rect.top + bar.rect.bottom) / 2);
  waitForState(
      target, [](const WindowInfo& info) { return info.topmost && info.foreground; },
      "to stay on top and in front");
  waitForState(
      barWindow, [](const WindowInfo& info) { return info.topmost; }, "its buttons to go on top");

  // Closed, the window takes its button window along.
  closeWindow(Window::byHandle(target.hwnd));
  waitFor([this, &barWindow] { return !findWindow(barWindow).has_value(); },
          "the button window to go with its window");
}

// Stretched, given back, shaded and unrolled, the window stays in front and
// its buttons are at their place over it after each click; hidden behind a
// tray icon or in the tray menu, it takes its buttons along, and back from
// the tray icon it brings them back.
TEST_P(ComposedButtonsTest, EveryOtherActionRunsByARealClickAndTheButtonsFollowTheWindow) {
  composeFrames();
  writeDefaultSettings();
  const ScreenPoint own = startWithTrayIcon({"--log"}).icon;
  const Rect area = workArea();
  const WindowInfo target = openTarget({.title = "Acted on", .rect = Rect{150, 200, 550, 450}});
  const WindowInfo bar = waitForBarOver(target);

  const int top = area.top + (area.height() - 250) / 2;
  const int left = area.left + (area.width() - 400) / 2;
  const std::vector<std::pair<int, Rect>> clicks = {
      {kVMax, Rect{150, area.top, 550, area.bottom}},
      {kVMax, Rect{150, top, 550, top + 250}},
      {kHMax, Rect{area.left, top, area.right, top + 250}},
      {kHMax, Rect{left, top, left + 400, top + 250}},
      {kShade, Rect{left, top, left + 400, top + kShadedHeight}},
      {kShade, Rect{left, top, left + 400, top + 250}},
  };
  for (const auto& [slot, after] : clicks) {
    clickBar(target, slot);
    const Rect rect = after;
    waitForState(
        target, [&rect](const WindowInfo& info) { return info.rect == rect && info.foreground; },
        "to have the rectangle " + ::testing::PrintToString(rect) + " in front");
    waitForBarOver(target);
  }

  clickBar(target, kToIcon);
  waitUntilHidden(target);
  waitUntilBarHidden(bar);
  click(own.x - kTrayCell, own.y);
  waitUntilBack(target);
  waitForBarOver(target);

  clickBar(target, kToMenu);
  waitUntilHidden(target);
  waitUntilBarHidden(bar);
  expectCount("uifxlog.txt", "Called minMenu", 1);
}

// A window brought over the target covers its buttons: the button window
// stays just above its own window, below the cover, and none of its icons
// shows on the screen. Buttons on every window, so that the target keeps
// them behind the cover.
TEST_P(ComposedButtonsTest, TheButtonsFollowAMovedWindowGoWhileItIsMinimizedAndStayUnderACover) {
  composeFrames();
  writeDefaultSettings({{"DrawOn", "<all>"}});
  startHidden();
  const WindowInfo target = openTarget({.title = "Followed", .rect = Rect{100, 100, 660, 400}});
  waitForBarOver(target);

  moveWindow(Window::byHandle(target.hwnd), Rect{300, 250, 860, 550});
  const WindowInfo bar = waitForBarOver(target);
  EXPECT_EQ(bar.rect, (Rect{706, 256, 802, 270}));

  showWindow(Window::byHandle(target.hwnd), kSwMinimize);
  waitForState(
      target, [](const WindowInfo& info) { return info.iconic; }, "to be minimized");
  waitUntilBarHidden(bar);
  showWindow(Window::byHandle(target.hwnd), kSwRestore);
  waitForBarOver(target);

  // Away from the buttons, so that none shows the hover look.
  mouseMove(10, 700);
  expectEventually([&] { return iconsShown(grab(), bar.rect); }, 6,
                   "the icons shown in the button window");
  const WindowInfo cover = openTarget({.title = "Cover",
                                       .rect = Rect{bar.rect.left - 40, bar.rect.top - 60,
                                                    bar.rect.right + 40, bar.rect.bottom + 100}});
  expectEventually(
      [&] {
        return std::vector<std::ptrdiff_t>{zIndex(cover.hwnd), zIndex(bar.hwnd),
                                           zIndex(target.hwnd)};
      },
      [](const std::vector<std::ptrdiff_t>& at) { return at[0] < at[1] && at[1] + 1 == at[2]; },
      "the places in the z-order of the cover, the button window and its window");
  expectEventually([&] { return iconsShown(grab("covered.png"), bar.rect); }, 0,
                   "the icons shown in the covered button window");
  EXPECT_TRUE(current(bar).visible);
}

// The hung window's program sleeps in its window procedure: the program
// still answers, and the buttons of another window follow it and act.
TEST_P(ComposedButtonsTest, AHungWindowHoldsUpNeitherTheProgramNorTheButtonsOfOthers) {
  composeFrames();
  writeDefaultSettings();
  startHidden();
  const WindowInfo hung = openTarget({.title = "Hangs", .rect = Rect{100, 100, 500, 350}});
  waitForBarOver(hung);
  const WindowInfo other = openTarget({.title = "Answers", .rect = Rect{450, 400, 850, 650}});
  waitForBarOver(other);

  driver({"hang", "--hwnd", hex(hung.hwnd), "--ms", "120000"});
  waitFor(
      [&] {
        return runDriver({"ishung", "--hwnd", hex(hung.hwnd)}).exitCode == 0;
      },
      "the window's program to count as hung");

  moveWindow(Window::byHandle(other.hwnd), Rect{200, 420, 600, 670});
  waitForBarOver(other);
  EXPECT_TRUE(responds(mainForm));
  clickBar(other, kTop);
  waitForState(
      other, [](const WindowInfo& info) { return info.topmost && info.foreground; },
      "to stay on top and in front");
  EXPECT_TRUE(responds(mainForm));
}

// The system's DPI of 144 (Wine gives every monitor the system's DPI): 87 +
// 24 x 21 instead of 58 + 16 x 14, in the button window where the desktop
// composes, and in the painted row elsewhere, whose press the hook library
// keeps and whose release the program acts on at the scaled place.
TEST_P(ComposedButtonsTest, AtOneHundredFortyFourDpiTheButtonsAreHalfAsLargeAgain) {
  regAdd("HKCU\\Control Panel\\Desktop", "LogPixels", "144", "REG_DWORD");
  composeFrames();
  writeDefaultSettings();
  startHidden();
  openTarget({.title = "Large", .rect = Rect{100, 100, 660, 400}});

  const WindowInfo bar = waitForState(
      Window::byClass(kButtonWindowClass), [](const WindowInfo& info) { return info.visible; },
      "a button window to show");
  EXPECT_EQ(bar.rect.width(), 6 * kSlotWidth * 3 / 2);
  EXPECT_EQ(bar.rect.height(), kSlotHeight * 3 / 2);
  EXPECT_EQ(bar.rect.right, 660 - 87);
  screenshot("button-window-144dpi.png");
}

TEST_P(ComposedButtonsTest, AtOneHundredFortyFourDpiThePaintedRowIsHalfAsLargeAgain) {
  regAdd("HKCU\\Control Panel\\Desktop", "LogPixels", "144", "REG_DWORD");
  writeDefaultSettings();
  startHidden({"--log"});
  const WindowInfo target = openTarget({.title = "Large", .rect = Rect{100, 100, 660, 400}});
  // Twice: once at least after the window came to the front.
  expectEventually([this] { return count(logOf("gfxlog.txt"), "  Drawing buttons"); },
                   [](long drawn) { return drawn >= 2; }, "two paintings of the buttons");
  screenshot("painted-144dpi.png");
  // The middle of the rightmost button, (561, 119), lies below the 96-DPI row.
  click(target.rect.right - 87 - 12, target.rect.top + 9 + 10);
  waitForState(
      target, [](const WindowInfo& info) { return info.topmost; }, "to stay on top");
  EXPECT_FALSE(windowExists(kButtonWindowClass)) << "painted where the desktop does not compose";
}

STRENNIX_TEST_EDITIONS(ComposedButtonsTest, runnableEditions());

}  // namespace
}  // namespace strennix::e2e
