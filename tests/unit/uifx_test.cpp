// The six window actions, run against the simulated desktop: what a user
// sees happen to the window, the lists the program keeps, the messages and
// the log lines.
#include "actions/uifx.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/simdesktop.h"
#include "platform/winconst.h"
#include "tests/unit/simsupport.h"

namespace strennix {
namespace {

constexpr Rect kWorkArea{0, 0, 1024, 738};
constexpr const char* kShadeLimit =
    "You are trying to shade to many windows(45+). The operation failed.";
constexpr const char* kTrayLimit = "You can not add more icons to the tray.";
// Every refusal comes to the front, not behind the window it is about.
constexpr std::uint32_t kRefusalFlags =
    win::kMbIconInformation | win::kMbOk | win::kMbSetForeground | win::kMbTopmost;
constexpr const char* kMenuLimit =
    "You are trying to tray to many windows(45+). The operation failed.";

using testsupport::logLines;

class RecordingMenu : public MenuList {
 public:
  void addTitle(const std::string& title) override { titles.push_back(title); }
  std::vector<std::string> titles;
};

class UifxTest : public testsupport::WindowActionsTest {
 protected:
  UifxTest() { uifx.setMenu(menu); }

  Hwnd addWindow(Rect rect, const std::string& title = "Editor") {
    sim::SimWindow window;
    window.rect = rect;
    window.title = title;
    return sim.addWindow(window);
  }

  Hwnd addOwnedWindow(const std::string& ownerClass) {
    sim::SimWindow owner;
    owner.className = ownerClass;
    owner.rect = Rect{};
    sim::SimWindow window;
    window.owner = sim.addWindow(owner);
    window.title = "Owned";
    return sim.addWindow(window);
  }

  [[nodiscard]] std::vector<std::string> uifxLog() const { return logLines(sim, kUifxLog); }

  RecordingMenu menu;
};

TEST(StretchRectTest, StretchTakesTheShareOfTheWorkAreaCentredOnItsAxis) {
  const Rect window{10, 20, 110, 220};
  EXPECT_EQ(calcVMaxRect(window, 100, kWorkArea), (Rect{10, 0, 110, 738}));
  EXPECT_EQ(calcVMaxRect(window, 50, kWorkArea), (Rect{10, 184, 110, 553}));
  EXPECT_EQ(calcVMaxRect(window, 33, Rect{0, 0, 800, 1000}), (Rect{10, 335, 110, 665}));
  EXPECT_EQ(calcVMaxRect(window, 0, kWorkArea), (Rect{10, 369, 110, 369}));
  EXPECT_EQ(calcHMaxRect(window, 100, kWorkArea), (Rect{0, 20, 1024, 220}));
  EXPECT_EQ(calcHMaxRect(window, 33, kWorkArea), (Rect{343, 20, 680, 220}));
}

TEST(StretchRectTest, AWorkAreaBelowATopOrRightOfALeftTaskbarIsNotCovered) {
  const Rect window{10, 20, 110, 220};
  const Rect belowTopBar{0, 40, 1024, 768};
  EXPECT_EQ(calcVMaxRect(window, 100, belowTopBar), (Rect{10, 40, 110, 768}));
  EXPECT_EQ(calcVMaxRect(window, 50, belowTopBar), (Rect{10, 222, 110, 586}));
  const Rect rightOfLeftBar{60, 0, 1024, 768};
  EXPECT_EQ(calcHMaxRect(window, 100, rightOfLeftBar), (Rect{60, 20, 1024, 220}));
  EXPECT_EQ(calcHMaxRect(window, 50, rightOfLeftBar), (Rect{301, 20, 783, 220}));
}

TEST_F(UifxTest, MaxVStretchesAndTheSecondClickGivesTheHeightBackCentred) {
  settings.vMaxPercentage = 50;
  const Hwnd window = addWindow(Rect{100, 100, 600, 400});

  uifx.maxV(window);
  EXPECT_EQ(sim.window(window).rect, (Rect{100, 184, 600, 553}));
  ASSERT_EQ(lists.stretched(Axis::Vertical).count(), 1);
  EXPECT_EQ(lists.stretched(Axis::Vertical).at(0).savedSize, 300);

  // Resized by hand, it is still listed: the click restores, it does not stretch.
  sim.window(window).rect = Rect{50, 10, 650, 700};
  uifx.maxV(window);
  EXPECT_EQ(sim.window(window).rect, (Rect{50, 219, 650, 519}));
  EXPECT_EQ(lists.stretched(Axis::Vertical).count(), 0);
  EXPECT_EQ(uifxLog(), (std::vector<std::string>{"Called maxV", "Exited maxV", "Called maxV"}));
}

TEST_F(UifxTest, StretchingBothWaysAndRestoringBothLeavesTheFormerSizeCentred) {
  const Hwnd window = addWindow(Rect{100, 100, 600, 400});
  uifx.maxV(window);
  uifx.maxH(window);
  EXPECT_EQ(sim.window(window).rect, (Rect{0, 0, 1024, 738}));
  uifx.maxV(window);
  uifx.maxH(window);
  EXPECT_EQ(sim.window(window).rect, (Rect{262, 219, 762, 519}));
  EXPECT_EQ(lists.stretched(Axis::Vertical).count(), 0);
  EXPECT_EQ(lists.stretched(Axis::Horizontal).count(), 0);
  EXPECT_EQ(uifxLog(), (std::vector<std::string>{"Called maxV", "Exited maxV", "Called maxH",
                                                 "Called maxV", "Called maxH"}));
}

TEST_F(UifxTest, StretchAndRestoreStayInsideAWorkAreaThatDoesNotStartAtZero) {
  sim.monitors[0].workArea = Rect{0, 40, 1024, 768};
  const Hwnd window = addWindow(Rect{100, 100, 600, 400});
  uifx.maxV(window);
  EXPECT_EQ(sim.window(window).rect, (Rect{100, 40, 600, 768}));
  uifx.maxV(window);
  EXPECT_EQ(sim.window(window).rect, (Rect{100, 254, 600, 554}));

  sim.monitors[0].workArea = Rect{60, 0, 1024, 768};
  settings.hMaxPercentage = 50;
  uifx.maxH(window);
  EXPECT_EQ(sim.window(window).rect, (Rect{301, 254, 783, 554}));
  uifx.maxH(window);
  EXPECT_EQ(sim.window(window).rect, (Rect{292, 254, 792, 554}));
}

// A second monitor right of the primary one, 1280 x 1024 with a taskbar.
TEST_F(UifxTest, StretchAndRestoreUseTheWorkAreaOfTheMonitorTheWindowIsOn) {
  sim.monitors.push_back(Monitor{Rect{1024, 0, 2304, 1024}, Rect{1024, 0, 2304, 994}});
  const Hwnd window = addWindow(Rect{1100, 100, 1600, 400});
  uifx.maxV(window);
  EXPECT_EQ(sim.window(window).rect, (Rect{1100, 0, 1600, 994}));
  uifx.maxH(window);
  EXPECT_EQ(sim.window(window).rect, (Rect{1024, 0, 2304, 994}));
  uifx.maxV(window);
  uifx.maxH(window);
  EXPECT_EQ(sim.window(window).rect, (Rect{1414, 347, 1914, 647}));

  // Across both, the window belongs to the one it overlaps most.
  const Hwnd across = addWindow(Rect{900, 100, 1400, 400});
  uifx.maxV(across);
  EXPECT_EQ(sim.window(across).rect, (Rect{900, 0, 1400, 994}));
}

TEST_F(UifxTest, ShadeRollsUpAWindowOf28PixelsAndDownAgain) {
  const Hwnd window = addWindow(Rect{30, 40, 530, 68});
  uifx.shade(window);
  EXPECT_EQ(sim.window(window).rect, (Rect{30, 40, 530, 67}));
  ASSERT_EQ(sim.setWindowPosCalls.size(), 1U);
  const sim::SetWindowPosCall& call = sim.setWindowPosCalls[0];
  EXPECT_EQ(call.flags, 0x0406U);
  EXPECT_EQ(call.cx, 500);
  EXPECT_EQ(call.cy, 27);
  ASSERT_EQ(lists.shaded().count(), 1);
  EXPECT_EQ(lists.shaded().at(1).hwnd, window);
  EXPECT_EQ(lists.shaded().at(1).height, 28);

  uifx.shade(window);
  EXPECT_EQ(sim.window(window).rect, (Rect{30, 40, 530, 68}));
  EXPECT_EQ(lists.shaded().count(), 0);
  EXPECT_EQ(uifxLog(), (std::vector<std::string>{"Called shade", "Exited shade", "Called shade",
                                                 "Exited shade"}));
}

TEST_F(UifxTest, AnUnlistedWindowOf27PixelsCountsAsRolledUpAndIsLeftAlone) {
  const Hwnd window = addWindow(Rect{30, 40, 530, 67});
  uifx.shade(window);
  EXPECT_EQ(sim.window(window).rect, (Rect{30, 40, 530, 67}));
  EXPECT_TRUE(sim.setWindowPosCalls.empty());
  EXPECT_EQ(lists.shaded().count(), 0);
  EXPECT_EQ(uifxLog(), (std::vector<std::string>{"Called shade", "Exited shade"}));
}

TEST_F(UifxTest, RollingDownOneOfSeveralKeepsTheOthersInOrder) {
  std::vector<Hwnd> windows;
  for (int i = 0; i < 4; ++i) {
    windows.push_back(addWindow(Rect{0, 0, 300, 200 + i}));
    uifx.shade(windows.back());
  }
  uifx.shade(windows[1]);
  EXPECT_EQ(sim.window(windows[1]).rect.height(), 201);
  ASSERT_EQ(lists.shaded().count(), 3);
  EXPECT_EQ(lists.shaded().at(1).hwnd, windows[0]);
  EXPECT_EQ(lists.shaded().at(2).hwnd, windows[2]);
  EXPECT_EQ(lists.shaded().at(3).hwnd, windows[3]);
  EXPECT_EQ(lists.shaded().at(3).height, 203);
  EXPECT_EQ(lists.shaded().at(4).hwnd, Hwnd{});
}

TEST_F(UifxTest, The46thShadedWindowIsRefusedAndAHandEnlargedOneAtTheLimitToo) {
  std::vector<Hwnd> windows;
  for (int i = 0; i < 45; ++i) {
    windows.push_back(addWindow(Rect{0, 0, 300, 200}));
    uifx.shade(windows.back());
  }
  const Hwnd extra = addWindow(Rect{0, 0, 300, 200});
  uifx.shade(extra);
  EXPECT_EQ(sim.window(extra).rect.height(), 200);
  EXPECT_EQ(lists.shaded().count(), 45);
  ASSERT_EQ(sim.messageBoxes.size(), 1U);
  EXPECT_EQ(sim.messageBoxes[0].owner, Hwnd{});
  EXPECT_EQ(sim.messageBoxes[0].text, kShadeLimit);
  EXPECT_EQ(sim.messageBoxes[0].caption, "Strennix");
  EXPECT_EQ(sim.messageBoxes[0].flags, kRefusalFlags);

  // A listed window enlarged by hand is refused too while the list is full.
  sim.window(windows[7]).rect = Rect{0, 0, 300, 250};
  uifx.shade(windows[7]);
  EXPECT_EQ(sim.window(windows[7]).rect.height(), 250);
  EXPECT_EQ(lists.shaded().at(8).height, 200);
  EXPECT_EQ(sim.messageBoxes.size(), 2U);

  // Below the limit it rolls up again and its entry takes the new height.
  uifx.shade(windows[0]);
  EXPECT_EQ(lists.shaded().count(), 44);
  uifx.shade(windows[7]);
  EXPECT_EQ(sim.window(windows[7]).rect.height(), 27);
  EXPECT_EQ(lists.shaded().count(), 44);
  EXPECT_EQ(lists.shaded().at(7).hwnd, windows[7]);
  EXPECT_EQ(lists.shaded().at(7).height, 250);

  uifx.shade(extra);
  EXPECT_EQ(sim.window(extra).rect.height(), 27);
  EXPECT_EQ(lists.shaded().count(), 45);
  EXPECT_EQ(sim.messageBoxes.size(), 2U);
}

TEST_F(UifxTest, RefusalsAreTranslatedFromTheLanguageFile) {
  lang.setLanguage(0x0407);
  lang.setLanguageFolder("lang");
  sim.files["lang\\0x07.lang"] =
      "# Strennix, Deutsch\r\n"
      "<begin_en>You can not add more icons to the tray.</end_en><begin>Kein Platz im "
      "Infobereich.</end>\r\n"
      "<begin_en>You are trying to shade to many windows(45+). The operation "
      "failed.</end_en><begin>Zu viele eingerollte Fenster.</end>\r\n"
      "<begin_en>You are trying to tray to many windows(45+). The operation "
      "failed.</end_en><begin>Zu viele Fenster im Menue.</end>\r\n";
  for (std::uint32_t slot = 0; slot < kMaxTrayedWindows; ++slot) {
    lists.addTrayed(slot, handleOfBits<Hwnd>(0x900 + slot), Hwnd{});
  }
  for (std::uint32_t other = 0xA00; lists.shaded().count() < kMaxShadedWindows; ++other) {
    lists.addShaded(handleOfBits<Hwnd>(other), 100);
  }
  for (std::uint32_t other = 0xB00; lists.menu().count() < kMaxMenuWindows; ++other) {
    lists.addMenu(handleOfBits<Hwnd>(other), Hwnd{}, "Other");
  }
  const Hwnd window = addWindow(Rect{0, 0, 300, 200});

  uifx.minTray(window);
  uifx.shade(window);
  uifx.minMenu(window);

  ASSERT_EQ(sim.messageBoxes.size(), 3U);
  EXPECT_EQ(sim.messageBoxes[0].text, "Kein Platz im Infobereich.");
  EXPECT_EQ(sim.messageBoxes[1].text, "Zu viele eingerollte Fenster.");
  EXPECT_EQ(sim.messageBoxes[2].text, "Zu viele Fenster im Menue.");
  EXPECT_TRUE(sim.windowPort().isVisible(window));
  EXPECT_EQ(sim.window(window).rect.height(), 200);
}

TEST_F(UifxTest, MinTrayHidesTheWindowBehindAnIconWithItsPictureAndTitle) {
  const std::string title(70, 'T');
  const Hwnd window = addWindow(Rect{0, 0, 300, 200}, title);
  sim.window(window).smallIcon = IconHandle{0x4441};

  uifx.minTray(window);

  EXPECT_FALSE(sim.windowPort().isVisible(window));
  EXPECT_EQ(lists.trayed().count(), 1);
  EXPECT_FALSE(lists.trayed().at(0).free);
  EXPECT_EQ(lists.trayed().at(0).hwnd, window);
  ASSERT_EQ(sim.notifyCalls.size(), 2U);
  EXPECT_EQ(sim.notifyCalls[0].operation, win::kNimAdd);
  EXPECT_EQ(sim.notifyCalls[1].operation, win::kNimModify);
  const NotifyIconData& icon = sim.trayIcons.at({mainWindow, 0});
  EXPECT_EQ(icon.icon, IconHandle{0x4441});
  EXPECT_EQ(icon.tip, std::string(63, 'T'));
  EXPECT_EQ(icon.callbackMessage, win::kWmAsTray);
  EXPECT_EQ(uifxLog(), (std::vector<std::string>{"Called minTray", "Exited minTray"}));
}

TEST_F(UifxTest, TheFifthTrayWindowIsRefusedAndAFreedSlotIsReusedLowestFirst) {
  std::vector<Hwnd> windows;
  for (int i = 0; i < 5; ++i) {
    windows.push_back(addWindow(Rect{0, 0, 300, 200}, "Window " + std::to_string(i)));
    uifx.minTray(windows.back());
  }
  EXPECT_TRUE(sim.windowPort().isVisible(windows[4]));
  EXPECT_EQ(lists.trayed().count(), 4);
  EXPECT_TRUE(lists.trayed().at(4).free);
  EXPECT_EQ(sim.trayIcons.size(), 4U);
  ASSERT_EQ(sim.messageBoxes.size(), 1U);
  EXPECT_EQ(sim.messageBoxes[0].text, kTrayLimit);
  EXPECT_EQ(sim.messageBoxes[0].flags, kRefusalFlags);

  // As if slots 0 and 2 had been given back: the next window takes slot 0.
  lists.removeTrayed(0);
  lists.removeTrayed(2);
  sim.trayIcons.erase({mainWindow, 0});
  uifx.minTray(windows[4]);
  EXPECT_EQ(lists.trayed().at(0).hwnd, windows[4]);
  EXPECT_FALSE(lists.trayed().at(0).free);
  EXPECT_TRUE(lists.trayed().at(2).free);
  EXPECT_EQ(lists.trayed().count(), 3);
  EXPECT_EQ(sim.trayIcons.at({mainWindow, 0}).tip, "Window 4");
}

TEST_F(UifxTest, AWindowStaysVisibleWithItsOwnerAndTheUserIsToldWhenTheShellRefusesItsIcon) {
  const Hwnd window = addOwnedWindow("TApplication");
  const Hwnd owner = sim.window(window).owner;
  sim.refuseTrayAdds = true;

  uifx.minTray(window);

  EXPECT_TRUE(sim.windowPort().isVisible(window));
  EXPECT_TRUE(sim.windowPort().isVisible(owner));
  EXPECT_EQ(lists.trayed().count(), 0);
  for (const TrayedWindow& slot : lists.trayed()) {
    EXPECT_TRUE(slot.free);
  }
  EXPECT_EQ(logLines(sim, kAppLog), std::vector<std::string>{"::msgToTrayicon failed."});
  EXPECT_EQ(uifxLog(), (std::vector<std::string>{"Called minTray", "Exited minTray"}));
  ASSERT_EQ(sim.messageBoxes.size(), 1U);
  EXPECT_EQ(sim.messageBoxes[0].text,
            "Windows did not take the tray icon. The window stays where it is.");
  EXPECT_EQ(sim.messageBoxes[0].flags, kRefusalFlags);

  sim.refuseTrayAdds = false;
  uifx.minTray(window);
  EXPECT_FALSE(sim.windowPort().isVisible(window));
  EXPECT_FALSE(sim.windowPort().isVisible(owner));
  EXPECT_EQ(lists.trayed().at(0).hwnd, window);
}

TEST_F(UifxTest, OnlyAnOwnerOfClassExactlyTApplicationIsHiddenWithTheWindow) {
  for (const char* ownerClass : {"TApplication", "tapplication", "TAPPLICATION", "TApplicationX"}) {
    SCOPED_TRACE(ownerClass);
    const Hwnd trayed = addOwnedWindow(ownerClass);
    const Hwnd menued = addOwnedWindow(ownerClass);
    uifx.minTray(trayed);
    uifx.minMenu(menued);
    const bool hidden = std::string(ownerClass) == "TApplication";
    EXPECT_EQ(sim.windowPort().isVisible(sim.window(trayed).owner), !hidden);
    EXPECT_EQ(sim.windowPort().isVisible(sim.window(menued).owner), !hidden);
    EXPECT_FALSE(sim.windowPort().isVisible(trayed));
    EXPECT_FALSE(sim.windowPort().isVisible(menued));
  }
}

TEST_F(UifxTest, WindowIconComesFromTheFirstSourceThatAnswers) {
  const Hwnd window = addWindow(Rect{0, 0, 300, 200});
  sim::SimWindow& w = sim.window(window);
  w.smallIcon = IconHandle{0x11};
  w.classSmallIcon = IconHandle{0x22};
  w.bigIcon = IconHandle{0x33};
  w.classIcon = IconHandle{0x44};
  w.dragIcon = IconHandle{0x55};
  EXPECT_EQ(uifx.getWindowIcon(window), IconHandle{0x11});
  w.smallIcon = IconHandle{};
  EXPECT_EQ(uifx.getWindowIcon(window), IconHandle{0x22});
  w.classSmallIcon = IconHandle{};
  EXPECT_EQ(uifx.getWindowIcon(window), IconHandle{0x33});
  w.bigIcon = IconHandle{};
  EXPECT_EQ(uifx.getWindowIcon(window), IconHandle{0x44});
  w.classIcon = IconHandle{};
  EXPECT_EQ(uifx.getWindowIcon(window), IconHandle{0x55});
  w.dragIcon = IconHandle{};
  EXPECT_EQ(uifx.getWindowIcon(window), IconHandle{});
}

TEST_F(UifxTest, AHungWindowGivesOnlyItsClassIconsAndItsTrayIconShowsTheProgramsIcon) {
  const Hwnd window = addWindow(Rect{0, 0, 300, 200}, "Busy");
  sim::SimWindow& w = sim.window(window);
  w.hung = true;
  w.smallIcon = IconHandle{0x11};
  w.bigIcon = IconHandle{0x33};
  w.dragIcon = IconHandle{0x55};
  EXPECT_EQ(uifx.getWindowIcon(window), IconHandle{});
  w.classIcon = IconHandle{0x44};
  EXPECT_EQ(uifx.getWindowIcon(window), IconHandle{0x44});

  w.classIcon = IconHandle{0};
  uifx.minTray(window);
  EXPECT_FALSE(sim.windowPort().isVisible(window));
  const NotifyIconData& icon = sim.trayIcons.at({mainWindow, 0});
  EXPECT_EQ(icon.icon, IconHandle{0x7001}) << "the program's icon instead of an empty cell";
  EXPECT_EQ(icon.tip, "Busy");
}

TEST_F(UifxTest, MinMenuHidesTheWindowAndListsItsTitle) {
  const std::string longTitle(300, 'L');
  const Hwnd plain = addWindow(Rect{0, 0, 300, 200}, longTitle);
  const Hwnd untitled = addWindow(Rect{0, 0, 300, 200}, "");

  uifx.minMenu(plain);
  uifx.minMenu(untitled);

  EXPECT_FALSE(sim.windowPort().isVisible(plain));
  EXPECT_FALSE(sim.windowPort().isVisible(untitled));
  ASSERT_EQ(lists.menu().count(), 2);
  EXPECT_EQ(lists.menu().at(1).hwnd, plain);
  EXPECT_EQ(lists.menu().at(1).title, std::string(254, 'L'));
  EXPECT_EQ(lists.menu().at(2).hwnd, untitled);
  EXPECT_EQ(lists.menu().at(2).title, "");
  EXPECT_EQ(menu.titles, (std::vector<std::string>{std::string(254, 'L'), ""}));
  EXPECT_EQ(uifxLog(), (std::vector<std::string>{"Called minMenu", "Exited minMenu",
                                                 "Called minMenu", "Exited minMenu"}));
}

// A forged click can name a window that is hidden already: it keeps its one
// slot or item, so that it comes back once and no slot is lost.
TEST_F(UifxTest, AHiddenWindowIsNeverHiddenASecondTime) {
  const Hwnd trayed = addWindow(Rect{0, 0, 300, 200}, "Trayed");
  const Hwnd menued = addWindow(Rect{0, 0, 300, 200}, "Menu");
  uifx.minTray(trayed);
  uifx.minMenu(menued);
  for (const Hwnd window : {trayed, menued}) {
    uifx.minTray(window);
    uifx.minMenu(window);
  }
  EXPECT_EQ(lists.trayed().count(), 1);
  EXPECT_EQ(sim.trayIcons.size(), 1U);
  EXPECT_EQ(lists.menu().count(), 1);
  EXPECT_EQ(menu.titles, (std::vector<std::string>{"Menu"}));
}

TEST_F(UifxTest, The46thMenuWindowIsRefusedWithItsMessage) {
  for (int i = 0; i < 45; ++i) {
    uifx.minMenu(addWindow(Rect{0, 0, 300, 200}));
  }
  const Hwnd extra = addWindow(Rect{0, 0, 300, 200}, "Extra");
  uifx.minMenu(extra);
  EXPECT_TRUE(sim.windowPort().isVisible(extra));
  EXPECT_EQ(lists.menu().count(), 45);
  EXPECT_EQ(menu.titles.size(), 45U);
  ASSERT_EQ(sim.messageBoxes.size(), 1U);
  EXPECT_EQ(sim.messageBoxes[0].text, kMenuLimit);
  EXPECT_EQ(sim.messageBoxes[0].caption, "Strennix");
  EXPECT_EQ(sim.messageBoxes[0].owner, Hwnd{});
}

TEST_F(UifxTest, MinMenuBeforeTheMenuExistsLeavesTheWindowAlone) {
  Uifx early{sim, sim, lang, lists, journal, icons, settings, log};
  const Hwnd window = addWindow(Rect{0, 0, 300, 200});
  early.minMenu(window);
  EXPECT_TRUE(sim.windowPort().isVisible(window));
  EXPECT_EQ(lists.menu().count(), 0);
  EXPECT_EQ(uifxLog(), (std::vector<std::string>{"Called minMenu", "Exited minMenu"}));
}

TEST_F(UifxTest, ToggleTopmostTwiceGivesTheFormerStateBackWithoutMovingTheWindow) {
  const Hwnd window = addWindow(Rect{10, 20, 310, 220});
  uifx.toggleTopmost(window);
  EXPECT_NE(sim.window(window).exStyle & win::kWsExTopmost, 0U);
  uifx.toggleTopmost(window);
  EXPECT_EQ(sim.window(window).exStyle & win::kWsExTopmost, 0U);
  EXPECT_EQ(sim.window(window).rect, (Rect{10, 20, 310, 220}));
  ASSERT_EQ(sim.setWindowPosCalls.size(), 2U);
  EXPECT_EQ(sim.setWindowPosCalls[0].insertAfter, win::kHwndTopmost);
  EXPECT_EQ(sim.setWindowPosCalls[1].insertAfter, win::kHwndNoTopmost);
  for (const sim::SetWindowPosCall& call : sim.setWindowPosCalls) {
    EXPECT_EQ(call.flags, win::kSwpNoMove | win::kSwpNoSize);
  }
  EXPECT_EQ(uifxLog(), (std::vector<std::string>{"Called toggleTopmost", "Exited toggleTopmost",
                                                 "Called toggleTopmost", "Exited toggleTopmost"}));
  EXPECT_TRUE(sim.everythingReleased());
}

TEST_F(UifxTest, TraceLinesAreWrittenOnlyWithLoggingOn) {
  log.loggingMode = false;
  const Hwnd window = addWindow(Rect{0, 0, 300, 200});
  uifx.shade(window);
  uifx.maxV(window);
  EXPECT_TRUE(uifxLog().empty());
}

}  // namespace
}  // namespace strennix
