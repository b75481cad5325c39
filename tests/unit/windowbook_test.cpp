// The bookkeeping of changed windows: destroyed windows are forgotten,
// tray-icon windows come back from their icons, and at the end shaded and
// tray-icon windows are given back.
#include "app/core/windowbook.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/uifx.h"
#include "platform/sim/simdesktop.h"
#include "platform/winconst.h"
#include "resources/resource.h"
#include "tests/unit/simsupport.h"
#include "traymenu/traymenu.h"

namespace strennix {
namespace {

using testsupport::logLines;

class WindowBookTest : public testsupport::WindowActionsTest {
 protected:
  Hwnd addWindow(const std::string& title, Rect rect = Rect{100, 100, 600, 400}) {
    sim::SimWindow window;
    window.title = title;
    window.rect = rect;
    return sim.addWindow(window);
  }

  Hwnd addOwnedWindow(const std::string& ownerClass) {
    sim::SimWindow owner;
    owner.className = ownerClass;
    sim::SimWindow window;
    window.owner = sim.addWindow(owner);
    return sim.addWindow(window);
  }

  [[nodiscard]] bool hasIcon(std::uint32_t slot) const {
    return sim.trayIcons.contains({mainWindow, slot});
  }

  // What the main form does when the hook reports a destroyed window.
  void destroy(Hwnd window, TTrayForm* menu = nullptr) {
    sim.destroyWindow(window);
    book.removeShadedHwnd(window);
    book.removeIconizedHwnd(window);
    if (menu != nullptr) {
      menu->removeTrayHwnd(window);
    }
    book.removeStretchedWindow(window);
  }

  WindowBook book{lists, sim, sim, sim, journal, icons, log};
};

TEST_F(WindowBookTest, TrayedWindowsComeBackFromTheirIconsAndTheRestAtTheEnd) {
  const Hwnd first = addWindow("First");
  const Hwnd second = addWindow("Second");
  const Hwnd third = addWindow("Third");
  for (const Hwnd window : {first, second, third}) {
    uifx.minTray(window);
  }
  ASSERT_EQ(lists.trayed().count(), 3);
  EXPECT_EQ(lists.trayed().at(2).hwnd, third);

  book.restoreTrayedWindow(0);
  book.restoreTrayedWindow(1);
  EXPECT_TRUE(sim.windowInfoPort().isVisible(first));
  EXPECT_TRUE(sim.windowInfoPort().isVisible(second));
  EXPECT_EQ(sim.desktopPort().foregroundWindow(), second);
  EXPECT_EQ(lists.trayed().count(), 1);
  EXPECT_FALSE(hasIcon(0));
  EXPECT_FALSE(hasIcon(1));
  EXPECT_TRUE(hasIcon(2));

  book.unIconizeAll();
  EXPECT_TRUE(sim.windowInfoPort().isVisible(third));
  EXPECT_FALSE(hasIcon(2));
  EXPECT_TRUE(lists.trayed().at(2).free);
  EXPECT_EQ(lists.trayed().count(), 0);
  EXPECT_EQ(sim.desktopPort().foregroundWindow(), second);
  EXPECT_EQ(logLines(sim, kAppLog),
            (std::vector<std::string>{"Called unIconizeAll", "Exited unIconizeAll"}));
  EXPECT_TRUE(sim.everythingReleased());
}

TEST_F(WindowBookTest, ANewTrayWindowTakesTheLowestFreeSlotAndARestoredOneIsForgotten) {
  const Hwnd first = addWindow("First");
  const Hwnd second = addWindow("Second");
  const Hwnd third = addWindow("Third");
  for (const Hwnd window : {first, second, third}) {
    uifx.minTray(window);
  }
  book.restoreTrayedWindow(0);
  const Hwnd fourth = addWindow("Fourth");
  uifx.minTray(fourth);
  EXPECT_EQ(lists.trayed().at(0).hwnd, fourth);
  EXPECT_EQ(sim.trayIcons.at({mainWindow, 0}).tip, "Fourth");
  EXPECT_EQ(lists.trayed().count(), 3);

  // The first window, restored earlier, is closed: nothing changes.
  destroy(first);
  EXPECT_EQ(lists.trayed().count(), 3);
  EXPECT_TRUE(hasIcon(0));
}

TEST_F(WindowBookTest, AFreeOrUnknownSlotIsLeftAlone) {
  const Hwnd window = addWindow("Only");
  uifx.minTray(window);
  const std::size_t calls = sim.notifyCalls.size();
  for (const int slot : {-1, 1, 19, 20}) {
    book.restoreTrayedWindow(slot);
  }
  EXPECT_EQ(lists.trayed().count(), 1);
  EXPECT_FALSE(sim.windowInfoPort().isVisible(window));
  EXPECT_EQ(sim.notifyCalls.size(), calls);
}

TEST_F(WindowBookTest, ASlotIsFreedEvenWhenTheShellNoLongerHasItsIcon) {
  const Hwnd window = addWindow("Window");
  uifx.minTray(window);
  sim.trayIcons.clear();  // the shell restarted and lost its icons
  book.restoreTrayedWindow(0);
  EXPECT_TRUE(sim.windowInfoPort().isVisible(window));
  EXPECT_TRUE(lists.trayed().at(0).free);
  EXPECT_EQ(lists.trayed().count(), 0);
  EXPECT_EQ(logLines(sim, kAppLog), std::vector<std::string>{"::msgToTrayicon failed."});
}

TEST_F(WindowBookTest, OnlyAnOwnerOfClassExactlyTApplicationComesBackWithItsWindow) {
  const Hwnd exact = addOwnedWindow("TApplication");
  const Hwnd lower = addOwnedWindow("tapplication");
  const Hwnd longer = addOwnedWindow("TApplication2");
  for (const Hwnd window : {exact, lower, longer}) {
    sim.window(sim.window(window).owner).visible = false;
    uifx.minTray(window);
  }
  book.restoreTrayedWindow(0);
  book.unIconizeAll();
  EXPECT_TRUE(sim.windowInfoPort().isVisible(sim.window(exact).owner));
  EXPECT_FALSE(sim.windowInfoPort().isVisible(sim.window(lower).owner));
  EXPECT_FALSE(sim.windowInfoPort().isVisible(sim.window(longer).owner));
  for (const Hwnd window : {exact, lower, longer}) {
    EXPECT_TRUE(sim.windowInfoPort().isVisible(window));
  }
}

TEST_F(WindowBookTest, ShadedWindowsGetTheirHeightBackAtTheEndWithTheirCurrentWidth) {
  const Hwnd first = addWindow("First", Rect{10, 10, 310, 210});
  const Hwnd second = addWindow("Second", Rect{20, 20, 320, 320});
  const Hwnd third = addWindow("Third", Rect{30, 30, 330, 430});
  for (const Hwnd window : {first, second, third}) {
    uifx.shade(window);
  }
  destroy(second);
  ASSERT_EQ(lists.shaded().count(), 2);
  EXPECT_EQ(lists.shaded().at(1).hwnd, first);
  EXPECT_EQ(lists.shaded().at(2).hwnd, third);

  sim.window(third).rect = Rect{30, 30, 530, 57};  // widened by hand
  sim.placementCalls.clear();
  book.unShadeAll();
  EXPECT_EQ(sim.window(first).rect, (Rect{10, 10, 310, 210}));
  EXPECT_EQ(sim.window(third).rect, (Rect{30, 30, 530, 430}));
  ASSERT_EQ(sim.placementCalls.size(), 2U);
  EXPECT_EQ(sim.placementCalls[1].kind, sim::Placement::Resize);
  EXPECT_EQ(lists.shaded().count(), 2);
}

TEST_F(WindowBookTest, AWindowDestroyedWhileHiddenInAnyListIsForgottenAndNeverShownAgain) {
  TTrayForm menu{sim, sim, sim, sim, sim, sim, lists, journal, settings, log};
  uifx.setMenu(menu);
  const Hwnd keeper = addWindow("Keeper");
  const Hwnd shaded = addWindow("Shaded");
  const Hwnd trayed = addWindow("Trayed");
  const Hwnd menued = addWindow("Menued");
  const Hwnd stretched = addWindow("Stretched");
  uifx.shade(keeper);
  uifx.minTray(keeper);
  uifx.shade(shaded);
  uifx.minTray(trayed);
  uifx.minMenu(menued);
  uifx.maxV(stretched);

  sim.files.erase(kAppLog);
  for (const Hwnd window : {shaded, trayed, menued, stretched}) {
    destroy(window, &menu);
  }

  EXPECT_EQ(lists.shaded().count(), 1);
  EXPECT_EQ(lists.shaded().at(1).hwnd, keeper);
  EXPECT_EQ(lists.trayed().count(), 1);
  EXPECT_EQ(lists.trayed().at(0).hwnd, keeper);
  EXPECT_TRUE(lists.trayed().at(1).free);
  EXPECT_FALSE(hasIcon(1));
  EXPECT_EQ(lists.menu().count(), 0);
  EXPECT_EQ(sim.listBoxPort().listCount(menu.control(IDC_LISTBOX1)), 0);
  EXPECT_EQ(lists.stretched(Axis::Vertical).count(), 0);

  // At the end only the keeper is touched.
  sim.placementCalls.clear();
  book.unShadeAll();
  book.unIconizeAll();
  menu.showAllWindows();
  ASSERT_EQ(sim.placementCalls.size(), 1U);
  EXPECT_EQ(sim.placementCalls[0].window, keeper);

  const std::vector<std::string> forOneWindow{
      "Called removeShadedHwnd()", "Exited removeShadedHwnd.", "Called removeIconizedHwnd()",
      "Exited removeIconizedHwnd()", "Called removeStretchedWindow()"};
  const std::vector<std::string> lines = logLines(sim, kAppLog);
  ASSERT_GE(lines.size(), forOneWindow.size() + 1);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5), forOneWindow);
  EXPECT_EQ(lines[5], "Exited removeStretchedWindow()");
}

TEST_F(WindowBookTest, AWindowStretchedBothWaysLosesBothRecordsWhenDestroyed) {
  const Hwnd other = addWindow("Other");
  const Hwnd window = addWindow("Both", Rect{100, 100, 600, 400});
  for (const Hwnd w : {other, window}) {
    uifx.maxV(w);
    uifx.maxH(w);
  }
  sim.files.erase(kAppLog);
  destroy(window);
  ASSERT_EQ(lists.stretched(Axis::Vertical).count(), 1);
  ASSERT_EQ(lists.stretched(Axis::Horizontal).count(), 1);
  EXPECT_EQ(lists.stretched(Axis::Vertical).at(0).hwnd, other);
  EXPECT_EQ(lists.stretched(Axis::Horizontal).at(0).hwnd, other);
  EXPECT_EQ(logLines(sim, kAppLog).back(), "Called removeStretchedWindow()");

  // A new window that gets the old handle is stretched, not shrunk to the
  // dead window's width.
  sim::SimWindow reborn;
  reborn.rect = Rect{0, 0, 200, 100};
  sim.addWindow(reborn, window);
  uifx.maxH(window);
  EXPECT_EQ(sim.window(window).rect, (Rect{0, 0, 1024, 100}));

  // A window in neither list still gets its exit line.
  sim.files.erase(kAppLog);
  book.removeStretchedWindow(Hwnd{0x999});
  EXPECT_EQ(logLines(sim, kAppLog), (std::vector<std::string>{"Called removeStretchedWindow()",
                                                              "Exited removeStretchedWindow()"}));
}

// A journal left by a crash of this session names each window by handle,
// process, the process's start and class; only a window that matches all
// of them is touched, only at a height that fits the screen, and a journal of
// another session or start of the system is not applied at all.
TEST_F(WindowBookTest, AStartGivesBackOnlyToTheSameWindowsAtASaneHeightOfThisSession) {
  sim::SimWindow shaded;
  shaded.rect = Rect{100, 100, 600, 127};
  shaded.processId = 77;
  const Hwnd same = sim.addWindow(shaded);
  const Hwnd reused = sim.addWindow(shaded);
  const Hwnd absurd = sim.addWindow(shaded);
  sim.processStarts[77] = 5000;
  const auto record = [](Hwnd window, std::uint64_t started, std::int32_t height) {
    return JournalRecord{Change::Shaded, window, 77, started, "SimWindow", height, Hwnd{}, {}};
  };
  const StoredJournal crashed{
      sim.session,
      sim.systemStart + 30,
      {record(same, 5000, 400), record(reused, 4999, 400), record(absurd, 5000, 0x7FFFFFFF)}};
  const auto store = [&](const StoredJournal& stored) {
    sim.setRegString(RegRoot::CurrentUser, kJournalKeyPath, kJournalValue, journalText(stored));
  };

  for (const StoredJournal& other :
       {StoredJournal{sim.session + 1, sim.systemStart, crashed.records},
        StoredJournal{sim.session, sim.systemStart - 3600, crashed.records}}) {
    store(other);
    EXPECT_TRUE(journal.load().empty());
    EXPECT_TRUE(journal.records().empty());
  }
  EXPECT_EQ(logLines(sim, "applog.txt").size(), 2U);

  store(crashed);
  sim.placementCalls.clear();
  book.giveBack(journal.load());
  EXPECT_EQ(sim.window(same).rect.height(), 400);
  EXPECT_EQ(sim.window(reused).rect.height(), 27) << "a new process under the same id";
  EXPECT_EQ(sim.window(absurd).rect.height(), 27);
  EXPECT_NE(sim.files["applog.txt"].find("height of a shaded window is out of range"),
            std::string::npos);
  EXPECT_TRUE(sim.placementCalls.empty()) << "sized within the window's own limits";
  EXPECT_TRUE(journal.records().empty());

  // More records than the lists hold: the newest that fit are kept.
  StoredJournal flood{sim.session, sim.systemStart, {}};
  for (std::uint32_t i = 1; i <= 1000; ++i) {
    flood.records.push_back(record(handleOfBits<Hwnd>(0x90000 + i), 0, 400));
  }
  store(flood);
  const std::vector<JournalRecord> kept = journal.load();
  ASSERT_EQ(kept.size(), static_cast<std::size_t>(kMaxShadedWindows));
  EXPECT_EQ(kept.back().window, flood.records.back().window);
}

}  // namespace
}  // namespace strennix
