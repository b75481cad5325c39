// Where the desktop composes the window frames (a prefix that reports
// Windows 10: Wine's DwmIsCompositionEnabled answers TRUE there), the buttons
// are a small window of the program's over the title bar instead of a
// painted row, and a click on it acts on the window below, which stays in
// front. Wine tells no caption-button bounds, so the button window takes the
// painted row's place, centred in the title bar that GetTitleBarInfo gives.
#include <string>

#include "tests/e2e/titlebar.h"

namespace strennix::e2e {
namespace {

constexpr const char* kButtonWindowClass = "StrennixButtonWindow";
constexpr std::uint32_t kWsExToolWindow = 0x00000080;

class ComposedButtonsTest : public EditionTest<WindowActionsDesktop> {};

TEST_P(ComposedButtonsTest, TheButtonsAreAWindowOfTheProgramOverTheTitleBarAndAClickActs) {
  regAdd("HKCU\\Software\\Wine", "Version", "win10");
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

STRENNIX_TEST_EDITIONS(ComposedButtonsTest, runnableEditions());

}  // namespace
}  // namespace strennix::e2e
