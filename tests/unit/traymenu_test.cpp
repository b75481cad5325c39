// The tray menu form: listing, restoring and forgetting menu-minimized
// windows, its close box following menuStay, and the keys and clicks that
// hide it.
#include "traymenu/traymenu.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "actions/uifx.h"
#include "platform/sim/simdesktop.h"
#include "platform/winconst.h"
#include "resources/resource.h"
#include "tests/unit/simsupport.h"

namespace strennix {
namespace {

constexpr int kHtBorder = 18;

using testsupport::logLines;

class TrayMenuTest : public testsupport::WindowActionsTest {
 protected:
  TTrayForm& create() {
    tray = std::make_unique<TTrayForm>(sim, sim, sim, sim, lists, journal, settings, log);
    uifx.setMenu(*tray);
    return *tray;
  }

  Hwnd hideIntoMenu(const std::string& title, Hwnd owner = Hwnd{}) {
    sim::SimWindow window;
    window.title = title;
    window.owner = owner;
    const Hwnd handle = sim.addWindow(window);
    uifx.minMenu(handle);
    return handle;
  }

  Hwnd addOwner(const std::string& className) {
    sim::SimWindow owner;
    owner.className = className;
    return sim.addWindow(owner);
  }

  sim::SimControl& list() { return sim.controlState(tray->handle(), IDC_LISTBOX1); }

  void doubleClickItem(int index) {
    list().selected = index;
    sim.doubleClick(tray->handle(), IDC_LISTBOX1);
  }

  [[nodiscard]] std::uint32_t style() { return sim.window(tray->handle()).style; }

  std::unique_ptr<TTrayForm> tray;
};

TEST_F(TrayMenuTest, TheFormStartsHiddenWithItsCloseBoxAndSortingFromTheSettings) {
  settings.menuStay = false;
  settings.menuSort = true;
  TTrayForm& form = create();
  EXPECT_FALSE(form.visible());
  EXPECT_EQ(style() & win::kWsSysMenu, 0U);
  EXPECT_EQ(sim.window(form.handle()).rect, (Rect{0, 0, 181, 262}));
  EXPECT_TRUE(list().sorted);
  EXPECT_EQ(logLines(sim, kTrayMenuLog),
            (std::vector<std::string>{"Called changeBorder", "Exited changeBorder"}));

  hideIntoMenu("Zeta");
  hideIntoMenu("alpha");
  EXPECT_EQ(list().items, (std::vector<std::string>{"alpha", "Zeta"}));
}

TEST_F(TrayMenuTest, ACaptionDoubleClickTogglesMenuStayAndTheCloseBoxButNeverMaximizes) {
  TTrayForm& form = create();
  const Rect frame = sim.window(form.handle()).rect;

  EXPECT_TRUE(sim.post(form.handle(), win::kWmNcLButtonDblClk, win::kHtCaption, 0));
  EXPECT_TRUE(settings.menuStay);
  EXPECT_NE(style() & win::kWsSysMenu, 0U);

  EXPECT_TRUE(sim.post(form.handle(), win::kWmNcLButtonDblClk, win::kHtCaption, 0));
  EXPECT_FALSE(settings.menuStay);
  EXPECT_EQ(style() & win::kWsSysMenu, 0U);

  // Elsewhere on the frame the double click does nothing, and is swallowed too.
  EXPECT_TRUE(sim.post(form.handle(), win::kWmNcLButtonDblClk, kHtBorder, 0));
  EXPECT_FALSE(settings.menuStay);
  EXPECT_EQ(style() & win::kWsMaximize, 0U);
  EXPECT_EQ(sim.window(form.handle()).rect, frame);
  EXPECT_FALSE(sim.post(form.handle(), win::kWmLButtonUp, 0, 0));

  const std::vector<std::string> lines = logLines(sim, kTrayMenuLog);
  EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()),
            (std::vector<std::string>{"Recieved NCClick", "Handled NCClick"}));
}

TEST_F(TrayMenuTest, EscapeOrTheCloseBoxHidesTheFormAndKeepsItsItems) {
  TTrayForm& form = create();
  hideIntoMenu("Notes");
  form.show();
  sim.keyUp(form.handle(), 0, 13);
  EXPECT_TRUE(form.visible());
  sim.keyUp(form.handle(), 0, win::kVkEscape);
  EXPECT_FALSE(form.visible());

  form.show();
  sim.keyUp(form.handle(), IDC_LISTBOX1, win::kVkEscape);
  EXPECT_FALSE(form.visible());

  form.show();
  sim.close(form.handle());
  EXPECT_FALSE(form.visible());
  EXPECT_TRUE(sim.exists(form.handle()));
  EXPECT_EQ(list().items, std::vector<std::string>{"Notes"});
}

TEST_F(TrayMenuTest, ADoubleClickRestoresTheOldestWindowWithTheSelectedTitle) {
  TTrayForm& form = create();
  const Hwnd owner = addOwner("TApplication");
  const Hwnd older = hideIntoMenu("Notes", owner);
  const Hwnd newer = hideIntoMenu("Notes");
  EXPECT_FALSE(sim.windowPort().isVisible(owner));
  form.show();

  doubleClickItem(1);
  EXPECT_TRUE(sim.windowPort().isVisible(older));
  EXPECT_TRUE(sim.windowPort().isVisible(owner));
  EXPECT_FALSE(sim.windowPort().isVisible(newer));
  EXPECT_EQ(sim.windowPort().foregroundWindow(), older);
  EXPECT_EQ(list().items, std::vector<std::string>{"Notes"});
  ASSERT_EQ(lists.menu().count(), 1);
  EXPECT_EQ(lists.menu().at(1).hwnd, newer);
  EXPECT_FALSE(form.visible());

  doubleClickItem(0);
  EXPECT_TRUE(sim.windowPort().isVisible(newer));
  EXPECT_TRUE(list().items.empty());
  EXPECT_EQ(lists.menu().count(), 0);
  EXPECT_EQ(logLines(sim, kTrayMenuLog).back(), "Called ListBox1DblClick. (Several exits)");
}

TEST_F(TrayMenuTest, WithMenuStayTheMenuStaysOpenAfterARestore) {
  settings.menuStay = true;
  TTrayForm& form = create();
  const Hwnd window = hideIntoMenu("Notes");
  form.show();
  doubleClickItem(0);
  EXPECT_TRUE(sim.windowPort().isVisible(window));
  EXPECT_TRUE(form.visible());
  EXPECT_TRUE(list().items.empty());
}

TEST_F(TrayMenuTest, AWindowIsMatchedUnderItsOldTitleAndAnEmptyTitleWorksToo) {
  TTrayForm& form = create();
  const Hwnd renamed = hideIntoMenu("Draft");
  const Hwnd untitled = hideIntoMenu("");
  sim.window(renamed).title = "Final";
  EXPECT_EQ(list().items, (std::vector<std::string>{"Draft", ""}));

  doubleClickItem(1);
  EXPECT_TRUE(sim.windowPort().isVisible(untitled));
  doubleClickItem(0);
  EXPECT_TRUE(sim.windowPort().isVisible(renamed));
  EXPECT_EQ(lists.menu().count(), 0);
  EXPECT_FALSE(form.visible());
}

TEST_F(TrayMenuTest, ADoubleClickWithoutSelectionRestoresNothingAndKeepsTheForm) {
  TTrayForm& form = create();
  const Hwnd window = hideIntoMenu("Notes");
  form.show();
  doubleClickItem(-1);
  EXPECT_FALSE(sim.windowPort().isVisible(window));
  EXPECT_TRUE(form.visible());
  EXPECT_EQ(lists.menu().count(), 1);
  EXPECT_TRUE(sim.messageBoxes.empty());
}

TEST_F(TrayMenuTest, ADestroyedWindowTakesTheItemWithItsExactTitleAndIsNotShownAtTheEnd) {
  TTrayForm& form = create();
  const Hwnd lower = hideIntoMenu("notes");
  const Hwnd upper = hideIntoMenu("NOTES");
  const Hwnd kept = hideIntoMenu("Other");

  sim.destroyWindow(upper);
  form.removeTrayHwnd(upper);
  EXPECT_EQ(list().items, (std::vector<std::string>{"notes", "Other"}));
  ASSERT_EQ(lists.menu().count(), 2);
  EXPECT_EQ(lists.menu().at(1).hwnd, lower);
  EXPECT_EQ(lists.menu().at(2).hwnd, kept);

  form.removeTrayHwnd(Hwnd{0x999});
  EXPECT_EQ(lists.menu().count(), 2);
  EXPECT_EQ(list().items.size(), 2U);

  form.showAllWindows();
  EXPECT_TRUE(sim.windowPort().isVisible(lower));
  EXPECT_TRUE(sim.windowPort().isVisible(kept));
  EXPECT_TRUE(list().items.empty());
  EXPECT_EQ(lists.menu().count(), 2);
  const std::vector<std::string> lines = logLines(sim, kTrayMenuLog);
  EXPECT_EQ(std::vector<std::string>(lines.end() - 6, lines.end()),
            (std::vector<std::string>{"Called removeTrayHwnd", "Exited removeTrayHwnd",
                                      "Called removeTrayHwnd", "Exited removeTrayHwnd",
                                      "Called showAllWindows", "Exited showAllWindows"}));
}

TEST_F(TrayMenuTest, AtTheEndOnlyOwnersOfClassTApplicationAreShownAgain) {
  TTrayForm& form = create();
  const Hwnd exact = addOwner("TApplication");
  const Hwnd other = addOwner("TAPPLICATION");
  sim.window(other).visible = false;
  hideIntoMenu("One", exact);
  hideIntoMenu("Two", other);
  EXPECT_FALSE(sim.windowPort().isVisible(exact));
  form.showAllWindows();
  EXPECT_TRUE(sim.windowPort().isVisible(exact));
  EXPECT_FALSE(sim.windowPort().isVisible(other));
}

TEST(TrayMenuPositionTest, TrayMenuGoesAboveAndLeftOfTheCursorWhollyInsideTheWorkArea) {
  const Rect area{0, 0, 1024, 738};
  EXPECT_EQ(trayMenuPosition(Point{1000, 700}, 181, 262, area), (Point{819, 438}));
  EXPECT_EQ(trayMenuPosition(Point{1000, 750}, 181, 262, area), (Point{819, 476}))
      << "on a taskbar at the bottom: just above it";
  EXPECT_EQ(trayMenuPosition(Point{5, 5}, 181, 262, area), (Point{5, 5}));
  EXPECT_EQ(trayMenuPosition(Point{100, 500}, 181, 262, area), (Point{100, 238}));
  EXPECT_EQ(trayMenuPosition(Point{1020, 5}, 181, 262, area), (Point{839, 5}));
  EXPECT_EQ(trayMenuPosition(Point{-50, -50}, 181, 262, area), (Point{0, 0}));
  // A taskbar at the top or left, and a second monitor left of the first.
  EXPECT_EQ(trayMenuPosition(Point{30, 10}, 181, 262, Rect{60, 30, 1024, 768}), (Point{60, 30}));
  EXPECT_EQ(trayMenuPosition(Point{-1000, 100}, 181, 262, Rect{-1280, 0, 0, 1024}),
            (Point{-1181, 100}));
  EXPECT_EQ(trayMenuPosition(Point{50, 50}, 181, 262, Rect{0, 0, 100, 100}), (Point{0, 0}))
      << "larger than the work area: from its top-left corner";
}

}  // namespace
}  // namespace strennix
