// The whole program on the simulated desktop under the faults that really
// happen: windows that die between a click and its handling, windows that do
// not answer, a missing or incomplete hook library, a settings key that cannot
// be opened, list and language files that cannot be read, and stray messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/app.h"
#include "platform/sim/simdesktop.h"
#include "platform/winconst.h"
#include "resources/resource.h"
#include "tests/support/defaultsettings.h"
#include "tests/unit/simsupport.h"
#include "traymenu/traymenu.h"

namespace strennix {
namespace {

constexpr const char* kKey = R"(Software\Corvane inc.\Strennix)";
constexpr const char* kRunKey = R"(Software\Microsoft\Windows\CurrentVersion\Run)";
constexpr Rect kEditorRect{100, 50, 740, 450};

// Slot k of the button row, counted from the right, with all six buttons on.
enum Slot { kTop = 1, kToIcon, kShade, kToMenu, kVMax, kHMax };

// A point inside slot k of the row of a window with this rectangle (default
// geometry: offsets 58 and 6, buttons 16 x 14).
Point slotPoint(const Rect& rect, int k) { return {rect.right - 58 - 16 * k + 8, rect.top + 12}; }

class FaultsTest : public testsupport::ProgramTest {
 protected:
  FaultsTest() {
    sim.libraries["hook.dll"] = {"MouseProc", "CBTProc"};
    storeDefaults();
  }

  // Settings as the first start leaves them, so that the form starts hidden.
  void storeDefaults() {
    writeSettings(testsupport::firstStartSettings({{testsupport::kInstallPath, "C:\\Apps\\"}}));
    sim.setRegString(RegRoot::CurrentUser, kRunKey, "Other", "C:\\Other\\other.exe");
  }

  // Starts as the entry point does: an error raised on the way is shown in
  // the error box and the program does not run.
  void startOrShowError() {
    try {
      start();
      application.run(*form);
    } catch (const std::exception& error) {
      application.showException(error);
    }
  }

  Hwnd addTarget(const std::string& title, Rect rect = kEditorRect) {
    sim::SimWindow window;
    window.rect = rect;
    window.title = title;
    window.smallIcon = IconHandle{0x7000};
    const Hwnd handle = sim.addWindow(window);
    sim.setForeground(handle);
    return handle;
  }

  // A title-bar click on slot k of the window, as the hook reports it.
  void click(Hwnd window, int k) {
    sim.setForeground(window);
    clickAt(slotPoint(sim.window(window).rect, k));
  }
  void clickAt(Point point) { testsupport::hookClick(sim, form->handle(), point); }
  void reportDestroyed(Hwnd window) {
    sim.post(form->handle(), win::kStrnxDestroy, handleBits(window), 0);
  }

  // Everything a fault could spoil, as text: the window lists, the tray
  // icons, the menu's items, the settings values and the given windows.
  std::string state(const std::vector<Hwnd>& windows) {
    const WindowLists& lists = program->lists();
    std::ostringstream text;
    text << "menu:";
    for (int i = 1; i <= lists.menu().count(); ++i) {
      text << ' ' << handleBits(lists.menu().at(i).hwnd) << '"' << lists.menu().at(i).title << '"';
    }
    text << "\ntrayed " << lists.trayed().count() << ':';
    for (std::size_t slot = 0; slot < static_cast<std::size_t>(kTraySlots); ++slot) {
      if (!lists.trayed().at(slot).free) {
        text << ' ' << slot << '=' << handleBits(lists.trayed().at(slot).hwnd);
      }
    }
    text << "\nshaded:";
    for (int i = 1; i <= lists.shaded().count(); ++i) {
      text << ' ' << handleBits(lists.shaded().at(i).hwnd) << '/' << lists.shaded().at(i).height;
    }
    text << "\nstretched:";
    for (const StretchedWindow& record : lists.stretched(Axis::Vertical)) {
      text << " v" << handleBits(record.hwnd) << '/' << record.savedSize;
    }
    for (const StretchedWindow& record : lists.stretched(Axis::Horizontal)) {
      text << " h" << handleBits(record.hwnd) << '/' << record.savedSize;
    }
    text << "\nicons:";
    for (const auto& [key, icon] : sim.trayIcons) {
      text << ' ' << handleBits(key.first) << '/' << key.second << '/' << handleBits(icon.icon)
           << '"' << icon.tip << '"';
    }
    text << "\nitems:";
    for (const std::string& item : sim.controlState(tray->handle(), IDC_LISTBOX1).items) {
      text << " \"" << item << '"';
    }
    text << "\nsettings:";
    for (const std::string& name : sim.regValueNames(RegRoot::CurrentUser, kKey)) {
      const auto value = sim.regValue(RegRoot::CurrentUser, kKey, name);
      text << ' ' << name << '=' << std::string(value->data.begin(), value->data.end());
    }
    text << "\nwindows:";
    for (const Hwnd window : windows) {
      const Rect r = sim.window(window).rect;
      text << ' ' << handleBits(window) << (sim.windowInfoPort().isVisible(window) ? "+" : "-")
           << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom << '/'
           << sim.window(window).exStyle;
    }
    return text.str();
  }

  // The log file's messages without their time stamps.
  std::vector<std::string> logLines(const std::string& file) {
    const std::string prefix = ctimeText(sim.now) + "   ";
    std::vector<std::string> lines;
    std::istringstream text(sim.files[file]);
    for (std::string line; std::getline(text, line);) {
      lines.push_back(line.rfind(prefix, 0) == 0 ? line.substr(prefix.size()) : line);
    }
    return lines;
  }

  // The program killed: it ends without its end sequence, and the shell
  // drops the icons of its window.
  void kill() {
    program.reset();
    form = nullptr;
    tray = nullptr;
    sim.trayIcons.clear();
  }

  // An empty journal of the simulated session and system start.
  static constexpr const char* kEmptyJournal = "Strennix journal 2 1 13000000000\n";

  [[nodiscard]] std::optional<std::string> storedJournal() const {
    return sim.regString(RegRoot::CurrentUser, kJournalKeyPath, kJournalValue);
  }

  void exitAndCheckNothingLeaks() {
    sim.click(form->handle(), IDC_BTNQUIT);
    EXPECT_TRUE(sim.quitRequested);
    EXPECT_TRUE(sim.trayIcons.empty());
    program.reset();
    EXPECT_TRUE(sim.everythingReleased());
  }
};

TEST_F(FaultsTest,
       AClickHandledAfterItsWindowIsGoneDoesNothingAndItsLateDestructionChangesNothing) {
  start();
  const Hwnd shaded = addTarget("Shaded");
  click(shaded, kShade);
  const Hwnd trayed = addTarget("Trayed");
  click(trayed, kToIcon);
  const Hwnd menued = addTarget("Menu");
  click(menued, kToMenu);
  const Hwnd other = addTarget("Other", Rect{300, 300, 900, 700});
  const std::vector<Hwnd> survivors = {shaded, trayed, menued, other};

  // Clicked on each button, then closed before the clicks are handled: the
  // system names no foreground window, the dead one, or another window.
  for (int k = kTop; k <= kHMax; ++k) {
    const Hwnd victim = addTarget("Victim");
    const Point point = slotPoint(kEditorRect, k);
    const std::string before = state(survivors);
    sim.destroyWindow(victim);
    for (const Hwnd foreground : {Hwnd{0}, victim, other}) {
      sim.setForeground(foreground);
      clickAt(point);
      EXPECT_EQ(state(survivors), before)
          << "slot " << k << ", foreground " << handleBits(foreground);
    }
    reportDestroyed(victim);
    EXPECT_EQ(state(survivors), before) << "slot " << k;
  }

  // A window with records of its own loses exactly those when its death is
  // reported after the late click; a second report changes nothing.
  const Hwnd stretched = addTarget("Stretched");
  click(stretched, kVMax);
  click(stretched, kHMax);
  click(stretched, kShade);
  const Point late = slotPoint(sim.window(stretched).rect, kShade);
  ASSERT_EQ(program->lists().shaded().count(), 2);
  const std::string before = state(survivors);
  sim.destroyWindow(stretched);
  clickAt(late);
  reportDestroyed(stretched);
  const std::string after = state(survivors);
  reportDestroyed(stretched);
  EXPECT_EQ(state(survivors), after);
  EXPECT_EQ(program->lists().shaded().count(), 1);
  EXPECT_TRUE(program->lists().stretched(Axis::Vertical).count() == 0);
  EXPECT_TRUE(program->lists().stretched(Axis::Horizontal).count() == 0);
  EXPECT_NE(after, before);
  EXPECT_TRUE(sim.messageBoxes.empty());

  exitAndCheckNothingLeaks();
  EXPECT_EQ(sim.window(shaded).rect, kEditorRect);
  EXPECT_TRUE(sim.windowInfoPort().isVisible(trayed));
  EXPECT_TRUE(sim.windowInfoPort().isVisible(menued));
}

// With no foreground window every window query answers zeros, which pass the
// eligibility filter; the row of the empty rectangle lies left of the screen,
// where a monitor on the left (or a stray message) can put a click.
TEST_F(FaultsTest, AClickWithNoForegroundWindowListsNoWindowThatDoesNotExist) {
  start();
  const Hwnd dead = addTarget("Dead");
  sim.destroyWindow(dead);
  for (const Hwnd foreground : {Hwnd{0}, dead}) {
    sim.setForeground(foreground);
    for (int k = kTop; k <= kHMax; ++k) {
      clickAt(slotPoint(Rect{}, k));
    }
  }
  EXPECT_EQ(program->lists().menu().count(), 0);
  EXPECT_EQ(program->lists().trayed().count(), 0);
  EXPECT_EQ(program->lists().shaded().count(), 0);
  EXPECT_TRUE(program->lists().stretched(Axis::Vertical).count() == 0);
  EXPECT_TRUE(program->lists().stretched(Axis::Horizontal).count() == 0);
  EXPECT_EQ(sim.trayIcons.size(), 1U) << "only the program's own icon";
  EXPECT_EQ(sim.listBoxPort().listCount(tray->control(IDC_LISTBOX1)), 0);
}

// Its own icon cannot be asked for, so the tray icon shows the program's. A
// click on the icon waits for nothing: while the program does not answer, the
// icon stays, and once it answers again the window comes back.
TEST_F(FaultsTest, AWindowThatDoesNotAnswerGoesToTheTrayAndComesBackOnceItAnswers) {
  start();
  sim::SimWindow window;
  window.rect = kEditorRect;
  window.title = "Busy";
  window.hung = true;
  // What it would answer if it answered; its class has no icons.
  window.smallIcon = IconHandle{0x7000};
  window.bigIcon = IconHandle{0x7004};
  window.dragIcon = IconHandle{0x7008};
  const Hwnd busy = sim.addWindow(window);

  click(busy, kToIcon);

  EXPECT_FALSE(sim.windowInfoPort().isVisible(busy));
  ASSERT_EQ(program->lists().trayed().count(), 1);
  EXPECT_EQ(program->lists().trayed().at(0).hwnd, busy);
  const IconHandle programIcon = sim.uiPort().loadIcon(IDI_APPLICATION_ICON);
  ASSERT_EQ(sim.trayIcons.count({form->handle(), 0U}), 1U);
  EXPECT_EQ(sim.trayIcons.at({form->handle(), 0U}).icon, programIcon);
  EXPECT_EQ(sim.trayIcons.at({form->handle(), 0U}).tip, "Busy");

  // A restarted shell gets the icon back, with the same picture.
  sim.trayIcons.clear();
  sim.post(form->handle(), sim.uiPort().registerWindowMessage("TaskbarCreated"), 0, 0);
  ASSERT_EQ(sim.trayIcons.count({form->handle(), 0U}), 1U);
  EXPECT_EQ(sim.trayIcons.at({form->handle(), 0U}).icon, programIcon);

  const auto leftRelease = static_cast<std::int32_t>(win::kWmLButtonUp);
  sim.post(form->handle(), win::kWmAsTray, 0, leftRelease);
  EXPECT_FALSE(sim.windowInfoPort().isVisible(busy));
  EXPECT_EQ(sim.trayIcons.count({form->handle(), 0U}), 1U);
  sim.window(busy).hung = false;
  sim.post(form->handle(), win::kWmAsTray, 0, leftRelease);
  EXPECT_TRUE(sim.windowInfoPort().isVisible(busy));
  EXPECT_EQ(program->lists().trayed().count(), 0);
  exitAndCheckNothingLeaks();
}

TEST_F(FaultsTest, WithoutTheHookLibraryTheProgramRunsAndItsLogSaysWhatFailed) {
  sim.libraries.erase("hook.dll");
  sim.commandLine.emplace_back("--debug");
  startOrShowError();

  ASSERT_TRUE(form);
  EXPECT_TRUE(sim.messageBoxes.empty());
  EXPECT_EQ(logLines(kSetupHookLog),
            (std::vector<std::string>{
                "DLL not found. Fatal error", "MouseProc not found. Fatal error.",
                "MouseHook not valid. Fatal error.", "CBTProc not found. Fatal error.",
                "CBTHook not valid. Fatal error."}));
  EXPECT_EQ(sim.regDword(RegRoot::CurrentUser, kKey, "mH"), 0U);
  EXPECT_EQ(sim.regDword(RegRoot::CurrentUser, kKey, "cbtH"), 0U);
  EXPECT_EQ(sim.trayIcons.count({form->handle(), 1006U}), 1U);
  EXPECT_EQ(sim.timers.at({form->handle(), IDT_TIMER1}), 600U);
  EXPECT_EQ(sim.messageLoopRuns, 1);

  // Everything but the hooks works: a reported click is still handled.
  const Hwnd editor = addTarget("Editor");
  click(editor, kShade);
  EXPECT_EQ(sim.window(editor).rect.height(), 27);

  sim.files.erase(kSetupHookLog);
  exitAndCheckNothingLeaks();
  EXPECT_EQ(logLines(kSetupHookLog),
            (std::vector<std::string>{"Didn't unhook mouse. Severe error.",
                                      "Didn't unhook CBT. Severe error."}));
  EXPECT_EQ(sim.window(editor).rect, kEditorRect);
}

TEST_F(FaultsTest, UnderWow64WithoutTheHelperTheProgramRunsAndItsLogSaysSo) {
  sim.wow64 = true;
  sim.commandLine.emplace_back("--debug");
  startOrShowError();

  ASSERT_TRUE(form);
  EXPECT_TRUE(sim.messageBoxes.empty());
  EXPECT_EQ(logLines(kSetupHookLog), (std::vector<std::string>{"Couldn't start strennix64.exe. "
                                                               "64-bit windows get no hooks."}));
  EXPECT_EQ(sim.hooks.size(), 2U);
  const Hwnd editor = addTarget("Editor");
  click(editor, kShade);
  EXPECT_EQ(sim.window(editor).rect.height(), 27);
  exitAndCheckNothingLeaks();
}

// The mirror image: the 64-bit program installs hook64.dll's hooks and
// starts strennix32.exe, which a machine without 32-bit programs cannot run.
TEST_F(FaultsTest, The64BitProgramWithoutItsHelperHooksWithItsOwnLibraryAndItsLogSaysSo) {
  sim.program64Bit = true;
  sim.libraries.erase("hook.dll");
  sim.libraries["hook64.dll"] = {"MouseProc", "CBTProc"};
  sim.commandLine.emplace_back("--debug");
  startOrShowError();

  ASSERT_TRUE(form);
  EXPECT_TRUE(sim.messageBoxes.empty());
  EXPECT_EQ(logLines(kSetupHookLog), (std::vector<std::string>{"Couldn't start strennix32.exe. "
                                                               "32-bit windows get no hooks."}));
  EXPECT_EQ(sim.hooks.size(), 2U);
  const Hwnd editor = addTarget("Editor");
  click(editor, kShade);
  EXPECT_EQ(sim.window(editor).rect.height(), 27);
  exitAndCheckNothingLeaks();
}

TEST_F(FaultsTest, AHookLibraryWithoutOneExportGivesTheOtherHookAlone) {
  sim.libraries["hook.dll"] = {"MouseProc"};
  sim.commandLine.emplace_back("--debug");
  startOrShowError();

  ASSERT_TRUE(form);
  ASSERT_EQ(sim.hooks.size(), 1U);
  EXPECT_EQ(sim.hooks[0].hookId, win::kWhMouse);
  EXPECT_EQ(logLines(kSetupHookLog), (std::vector<std::string>{"CBTProc not found. Fatal error.",
                                                               "CBTHook not valid. Fatal error."}));
  EXPECT_EQ(sim.regDword(RegRoot::CurrentUser, kKey, "mH"), handleBits(sim.hooks[0].handle));
  EXPECT_EQ(sim.regDword(RegRoot::CurrentUser, kKey, "cbtH"), 0U);
  EXPECT_EQ(sim.modules.open(), 1) << "the library stays loaded for its mouse hook";

  sim.files.erase(kSetupHookLog);
  exitAndCheckNothingLeaks();
  EXPECT_TRUE(sim.hooks.empty());
  EXPECT_EQ(logLines(kSetupHookLog),
            (std::vector<std::string>{"Didn't unhook CBT. Severe error."}));
}

TEST_F(FaultsTest, AHookLibraryWithoutMouseProcGivesTheCbtHookAlone) {
  sim.libraries["hook.dll"] = {"CBTProc"};
  sim.commandLine.emplace_back("--debug");
  startOrShowError();

  ASSERT_TRUE(form);
  ASSERT_EQ(sim.hooks.size(), 1U);
  EXPECT_EQ(sim.hooks[0].hookId, win::kWhCbt);
  EXPECT_EQ(logLines(kSetupHookLog),
            (std::vector<std::string>{"MouseProc not found. Fatal error.",
                                      "MouseHook not valid. Fatal error."}));
  sim.files.erase(kSetupHookLog);
  exitAndCheckNothingLeaks();
  EXPECT_EQ(logLines(kSetupHookLog),
            (std::vector<std::string>{"Didn't unhook mouse. Severe error."}));
}

// The first-start test finds no "Version" in a key it cannot open, so the
// defaults are due, and the first of them cannot be written.
TEST_F(FaultsTest, AnUnopenableSettingsKeyStopsTheStartWithItsErrorAndWritesNothing) {
  sim.unopenableKeys.insert(kKey);
  const std::vector<std::string> names = sim.regValueNames(RegRoot::CurrentUser, kKey);
  std::vector<std::string> values;
  values.reserve(names.size());
  for (const std::string& name : names) {
    values.push_back(*sim.regString(RegRoot::CurrentUser, kKey, name));
  }

  startOrShowError();

  EXPECT_FALSE(form);
  ASSERT_EQ(sim.messageBoxes.size(), 1U);
  EXPECT_EQ(sim.messageBoxes[0].text, "Failed to set data for 'Version'");
  EXPECT_EQ(sim.messageBoxes[0].caption, "Strennix");
  EXPECT_EQ(sim.messageBoxes[0].flags, win::kMbIconStop);
  EXPECT_EQ(sim.messageLoopRuns, 0);
  EXPECT_TRUE(sim.hooks.empty());
  EXPECT_TRUE(sim.trayIcons.empty());
  EXPECT_TRUE(sim.timers.empty());
  EXPECT_EQ(sim.regValueNames(RegRoot::CurrentUser, kKey), names);
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(sim.regString(RegRoot::CurrentUser, kKey, names[i]), values[i]) << names[i];
  }
  EXPECT_EQ(sim.regValueNames(RegRoot::CurrentUser, kRunKey), (std::vector<std::string>{"Other"}));
  EXPECT_TRUE(sim.everythingReleased());
}

TEST_F(FaultsTest, AKeyThatCannotBeOpenedLaterFailsTheSaveAndTheProgramKeepsItsState) {
  start();
  const Hwnd editor = addTarget("Editor");
  click(editor, kShade);
  const Hwnd menued = addTarget("Menu");
  click(menued, kToMenu);
  const std::string before = state({editor, menued});
  const Settings settings = program->settings();
  sim.unopenableKeys.insert(kKey);

  sim.click(form->handle(), IDC_BTNSAVE);

  ASSERT_EQ(sim.messageBoxes.size(), 1U);
  EXPECT_EQ(sim.messageBoxes[0].text, "Failed to set data for 'Buttons'");
  EXPECT_EQ(sim.messageBoxes[0].flags, win::kMbIconStop);
  sim.unopenableKeys.clear();
  EXPECT_EQ(state({editor, menued}), before);
  EXPECT_EQ(program->settings().numberOfButtons, settings.numberOfButtons);
  EXPECT_EQ(program->settings().priority, settings.priority);
  EXPECT_EQ(program->settings().menuStay, settings.menuStay);
  click(editor, kShade);
  EXPECT_EQ(sim.window(editor).rect, kEditorRect) << "the program goes on";
  exitAndCheckNothingLeaks();
}

TEST_F(FaultsTest, UnreadableListFilesLeaveTheListsAsTheyWereAndTheReloadGoesOn) {
  sim.setRegString(RegRoot::CurrentUser, kKey, "Classes", "1");
  sim.setRegString(RegRoot::CurrentUser, kKey, "Names", "1");
  sim.files["classes.txt"] = "ExcludedClass\r\n";
  sim.files["files.txt"] = "blocked.exe\r\n";
  TStrennix& main = start();
  ASSERT_EQ(program->exclusions().excludedClasses, (std::vector<std::string>{"ExcludedClass"}));
  ASSERT_EQ(program->exclusions().excludedNames, (std::vector<std::string>{"blocked.exe"}));

  // The files are changed and then locked; a value the form does not show is
  // changed by hand.
  sim.files["classes.txt"] = "OtherClass\r\n";
  sim.files["files.txt"] = "other.exe\r\n";
  sim.unreadableFiles = {"classes.txt", "files.txt"};
  sim.setRegString(RegRoot::CurrentUser, kKey, "ButtonXOffset", "40");
  sim.click(main.handle(), IDC_BTNSAVE);

  EXPECT_TRUE(sim.messageBoxes.empty());
  EXPECT_EQ(program->exclusions().excludedClasses, (std::vector<std::string>{"ExcludedClass"}));
  EXPECT_EQ(program->exclusions().excludedNames, (std::vector<std::string>{"blocked.exe"}));
  EXPECT_EQ(program->settings().buttonXOffset, 40)
      << "the settings after the lists were loaded too";

  // The old class list is still in force.
  sim::SimWindow window;
  window.className = "ExcludedClass";
  const Hwnd excluded = sim.addWindow(window);
  sim.setForeground(excluded);
  sim.tick(main.handle(), IDT_TIMER1);
  EXPECT_TRUE(sim.draws.empty());
  exitAndCheckNothingLeaks();
}

TEST_F(FaultsTest, AnUnreadableListFileAtStartLeavesItsListEmptyAndTheStartGoesOn) {
  sim.setRegString(RegRoot::CurrentUser, kKey, "Classes", "1");
  sim.files["classes.txt"] = "ExcludedClass\r\n";
  sim.unreadableFiles.insert("classes.txt");
  startOrShowError();
  ASSERT_TRUE(form);
  EXPECT_TRUE(sim.messageBoxes.empty());
  EXPECT_TRUE(program->exclusions().excludedClasses.empty());
  EXPECT_TRUE(program->settings().excludingClasses);
  EXPECT_EQ(sim.messageLoopRuns, 1);
  exitAndCheckNothingLeaks();
}

TEST_F(FaultsTest, AnUnreadableLanguageFileLeavesTheEnglishCaptionsAndMessages) {
  sim.setRegDword(RegRoot::CurrentUser, kKey, "lang", 0x0407);
  sim.files["lang\\0x07.lang"] =
      "<begin_en>Shade</end_en><begin>Aufrollen</end>\r\n"
      "<begin_en>You can not add more icons to the tray.</end_en><begin>Voll.</end>\r\n";
  sim.unreadableFiles.insert("lang\\0x07.lang");
  TStrennix& main = start();
  EXPECT_EQ(sim.formControlsPort().text(main.control(IDC_CHKSHADE)), "Shade");
  EXPECT_EQ(sim.formControlsPort().text(main.control(IDC_BTNSAVE)), "Save changes");

  for (int i = 0; i < 5; ++i) {
    click(addTarget("Editor " + std::to_string(i)), kToIcon);
  }
  EXPECT_EQ(program->lists().trayed().count(), 4);
  ASSERT_EQ(sim.messageBoxes.size(), 1U);
  EXPECT_EQ(sim.messageBoxes[0].text, "You can not add more icons to the tray.");
  exitAndCheckNothingLeaks();
}

// A refusal box holds its action while the program goes on handling ticks,
// clicks and destructions: room made while it is open can be taken at once,
// and no window may drop out of the lists.
TEST_F(FaultsTest, HandlersThatRunWhileARefusalBoxIsOpenLoseNoWindow) {
  testsupport::NestingBoxes boxes(sim);
  TStrennix& main = start(boxes.ports());
  std::vector<Hwnd> shaded;
  for (int i = 0; i < 45; ++i) {
    shaded.push_back(addTarget("Shaded " + std::to_string(i), Rect{10 * i, 50, 600 + 10 * i, 450}));
    click(shaded.back(), kShade);
  }
  const Hwnd refused = addTarget("Refused");
  const Hwnd late = addTarget("Late");
  boxes.whileNextOpen([&] {
    sim.tick(main.handle(), IDT_TIMER1);
    sim.destroyWindow(shaded[2]);
    reportDestroyed(shaded[2]);
    click(shaded[4], kShade);
    click(late, kShade);
  });
  click(refused, kShade);

  EXPECT_EQ(sim.messageBoxes.size(), 1U);
  EXPECT_EQ(sim.window(refused).rect.height(), 400);
  EXPECT_EQ(sim.window(shaded[4]).rect.height(), 400);
  EXPECT_EQ(sim.window(late).rect.height(), 27);
  std::vector<Hwnd> expected = shaded;
  expected.erase(expected.begin() + 4);
  expected.erase(expected.begin() + 2);
  expected.push_back(late);
  ASSERT_EQ(program->lists().shaded().count(), 44);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(program->lists().shaded().at(i + 1).hwnd, expected[i]) << "position " << i + 1;
  }

  // The same for the tray menu: one window restored from it and one
  // destroyed, then another hidden, while the 46th is refused.
  std::vector<Hwnd> menued;
  for (int i = 0; i < 45; ++i) {
    menued.push_back(addTarget("Menu " + std::to_string(i + 10)));
    click(menued.back(), kToMenu);
  }
  const Hwnd lateMenu = addTarget("Late menu");
  boxes.whileNextOpen([&] {
    sim::SimControl& list = sim.controlState(tray->handle(), IDC_LISTBOX1);
    list.selected = 0;
    sim.doubleClick(tray->handle(), IDC_LISTBOX1);
    sim.destroyWindow(menued[7]);
    reportDestroyed(menued[7]);
    click(lateMenu, kToMenu);
  });
  click(addTarget("One too many"), kToMenu);

  EXPECT_TRUE(sim.windowInfoPort().isVisible(menued[0])) << "\"Menu 10\" sorts first";
  EXPECT_FALSE(sim.windowInfoPort().isVisible(lateMenu));
  ASSERT_EQ(program->lists().menu().count(), 44);
  EXPECT_EQ(program->lists().menu().at(44).hwnd, lateMenu);
  EXPECT_EQ(sim.listBoxPort().listCount(tray->control(IDC_LISTBOX1)), 44);
  for (int i = 1; i <= 44; ++i) {
    EXPECT_FALSE(sim.windowInfoPort().isVisible(program->lists().menu().at(i).hwnd))
        << "position " << i;
  }

  exitAndCheckNothingLeaks();
  for (const Hwnd window : expected) {
    EXPECT_EQ(sim.window(window).rect.height(), 400);
  }
  EXPECT_TRUE(sim.windowInfoPort().isVisible(lateMenu));
  for (const Hwnd window : menued) {
    EXPECT_TRUE(window == menued[7] || sim.windowInfoPort().isVisible(window));
  }
}

// Every private number, and the numbers around them, with arbitrary
// parameters. Only the combinations with a meaning are left out: a click on
// an eligible window, the destruction of a listed window and a left release
// on an occupied tray slot.
TEST_F(FaultsTest, StrayPrivateMessagesWithArbitraryParametersChangeNothing) {
  TStrennix& main = start();
  const Hwnd shaded = addTarget("Shaded");
  click(shaded, kShade);
  const Hwnd trayed = addTarget("Trayed");
  click(trayed, kToIcon);
  const Hwnd menued = addTarget("Menu");
  click(menued, kToMenu);
  const Hwnd stretched = addTarget("Stretched");
  click(stretched, kVMax);
  click(stretched, kHMax);
  const Hwnd dead = addTarget("Dead");
  sim.destroyWindow(dead);
  const std::vector<Hwnd> windows = {shaded, trayed, menued, stretched};
  const std::set<Hwnd> listed(windows.begin(), windows.end());
  const std::string before = state(windows);
  sim.setForeground(main.handle());
  const bool formsVisible = sim.windowInfoPort().isVisible(main.handle()) ||
                            sim.windowInfoPort().isVisible(tray->handle());

  std::mt19937 random(0xFA17);
  const std::uint32_t edges[] = {0, 1, 19, 20, 1006, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
  const Hwnd foregrounds[] = {Hwnd{}, dead, main.handle(), tray->handle(),
                              sim.desktopPort().desktopWindow()};
  const std::uint32_t messages[] = {win::kStrnxDestroy,
                                    win::kStrnxNcLButtonUp,
                                    win::kStrnxCaptionChange,
                                    win::kStrnxButtonDown,
                                    win::kStrnxButtonUp,
                                    win::kStrnxUncovered,
                                    win::kWmAsTray,
                                    win::kWmTray,
                                    0x8064,
                                    0x8069,
                                    0x8000,
                                    0x80FF,
                                    0xBFFF};
  int sent = 0;
  for (const std::uint32_t message : messages) {
    for (int i = 0; i < 3000; ++i) {
      const auto wParam = static_cast<std::uint32_t>(i < 64 ? edges[i % 8] : random());
      const auto lParam = static_cast<std::int32_t>(i < 64 ? edges[(i / 8) % 8]
                                                           : static_cast<std::uint32_t>(random()));
      if (message == win::kStrnxDestroy && listed.contains(handleOfBits<Hwnd>(wParam))) {
        continue;
      }
      if (message == win::kWmAsTray && wParam == 0 &&
          static_cast<std::uint32_t>(lParam) == win::kWmLButtonUp) {
        continue;
      }
      if (message == win::kWmTray && (static_cast<std::uint32_t>(lParam) == win::kWmLButtonDblClk ||
                                      static_cast<std::uint32_t>(lParam) == win::kWmRButtonUp)) {
        continue;
      }
      sim.setForeground(foregrounds[random() % std::size(foregrounds)]);
      const bool handled = sim.post(main.handle(), message, wParam, lParam);
      EXPECT_EQ(handled,
                (message >= win::kStrnxDestroy && message <= win::kWmTray) ||
                    (message >= win::kStrnxCaptionChange && message <= win::kStrnxUncovered))
          << message;
      ++sent;
    }
  }

  EXPECT_GT(sent, 25000);
  EXPECT_EQ(state(windows), before);
  EXPECT_EQ(sim.windowInfoPort().isVisible(main.handle()) ||
                sim.windowInfoPort().isVisible(tray->handle()),
            formsVisible);
  EXPECT_TRUE(sim.messageBoxes.empty());
  EXPECT_EQ(sim.registryKeys.open(), 0);
  exitAndCheckNothingLeaks();
  EXPECT_TRUE(sim.windowInfoPort().isVisible(trayed));
  EXPECT_TRUE(sim.windowInfoPort().isVisible(menued));
  EXPECT_EQ(sim.window(shaded).rect, kEditorRect);
}

// A window of a program with higher rights: the system refuses every change.
TEST_F(FaultsTest, AnActionTheSystemRefusesBooksNothingAndIsLoggedOnce) {
  sim.commandLine.emplace_back("--debug");
  start();
  const Hwnd elevated = addTarget("Elevated");
  sim.window(elevated).refusesChanges = true;
  const std::string before = state({elevated});
  for (const int k : {kTop, kToIcon, kShade, kToMenu, kVMax, kHMax}) {
    click(elevated, k);
  }

  EXPECT_EQ(state({elevated}), before);
  EXPECT_TRUE(program->journal().records().empty());
  EXPECT_EQ(storedJournal(), std::nullopt);
  EXPECT_EQ(sim.trayIcons.size(), 1U) << "the program's own icon alone";
  EXPECT_EQ(
      logLines(kUifxLog),
      (std::vector<std::string>{
          "The system refused changing stay on top.", "The system refused hiding to a tray icon.",
          "The system refused shading.", "The system refused hiding to the tray menu.",
          "The system refused maximizing vertically.",
          "The system refused maximizing horizontally."}));
}

TEST_F(FaultsTest, AStartGivesBackWhatAnExitWouldAfterAKilledRunAndNothingElse) {
  start();
  const Hwnd shaded = addTarget("Shaded");
  click(shaded, kShade);
  const Hwnd trayed = addTarget("Trayed");
  click(trayed, kToIcon);
  const Hwnd menued = addTarget("Menu");
  click(menued, kToMenu);
  const Rect before{200, 100, 600, 300};
  const Hwnd stretched = addTarget("Stretched", before);
  click(stretched, kVMax);
  click(stretched, kHMax);
  click(stretched, kTop);
  ASSERT_EQ(sim.window(stretched).rect, (Rect{0, 0, 1024, 738}));
  ASSERT_NE(sim.window(stretched).exStyle & win::kWsExTopmost, 0U);

  kill();
  ASSERT_EQ(sim.window(shaded).rect.height(), 27);
  ASSERT_FALSE(sim.windowInfoPort().isVisible(trayed));
  start();

  EXPECT_EQ(sim.window(shaded).rect, kEditorRect);
  EXPECT_TRUE(sim.windowInfoPort().isVisible(trayed));
  EXPECT_TRUE(sim.windowInfoPort().isVisible(menued));
  // A crash ends like an Exit, which leaves stretched and topmost windows so.
  EXPECT_EQ(sim.window(stretched).rect, (Rect{0, 0, 1024, 738}));
  EXPECT_NE(sim.window(stretched).exStyle & win::kWsExTopmost, 0U);
  EXPECT_TRUE(program->journal().records().empty());
  EXPECT_EQ(storedJournal(), kEmptyJournal);
  EXPECT_TRUE(sim.messageBoxes.empty());
  exitAndCheckNothingLeaks();
}

TEST_F(FaultsTest, ADamagedJournalIsIgnoredWithALogLineAndClearedAndTheStartGoesOn) {
  sim.commandLine.emplace_back("--debug");
  const Hwnd editor = addTarget("Editor", Rect{100, 50, 740, 77});
  const std::string damaged[] = {
      "",
      "Strennix journal 2\n",
      "Strennix journal 1\nS 2001 0 400 0 0 0 0 0 SimWindow\n",
      "Strennix journal 2 1 13000000000\nS 2001",
      "Strennix journal 2 1 13000000000\nX 2001 0 0 400 0 0 0 0 0 SimWindow\n",
      "Strennix journal 2 1 13000000000\nS 2001 0 0 4OO 0 0 0 0 0 SimWindow\n",
      "Strennix journal 2 1 13000000000\nS 0 0 0 400 0 0 0 0 0 SimWindow\n"};
  for (const std::string& text : damaged) {
    sim.setRegString(RegRoot::CurrentUser, kJournalKeyPath, kJournalValue, text);
    sim.files.clear();
    start();
    EXPECT_EQ(sim.window(editor).rect.height(), 27) << text;
    EXPECT_TRUE(sim.messageBoxes.empty());
    EXPECT_EQ(sim.messageLoopRuns, 0);
    EXPECT_NE(sim.files["applog.txt"].find("   Journal of changed windows is damaged, ignored.\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(storedJournal(), kEmptyJournal);
    EXPECT_EQ(sim.trayIcons.count({form->handle(), 1006U}), 1U);
    kill();
  }
  sim.setRegDword(RegRoot::CurrentUser, kJournalKeyPath, kJournalValue, 7);
  start();
  EXPECT_EQ(storedJournal(), kEmptyJournal);
  EXPECT_TRUE(sim.messageBoxes.empty());
  exitAndCheckNothingLeaks();
}

// Handles are reused: a journaled handle that now names a window of another
// class or process, or no window, is left alone and its record dropped.
TEST_F(FaultsTest, AJournaledHandleThatNowNamesAnotherWindowOrNoneIsNeverTouched) {
  start();
  const Hwnd gone = addTarget("Gone");
  click(gone, kToIcon);
  const Hwnd reused = addTarget("Reused");
  click(reused, kShade);
  const Hwnd otherProcess = addTarget("Other process");
  click(otherProcess, kToMenu);
  kill();

  sim.destroyWindow(gone);
  sim.destroyWindow(reused);
  sim::SimWindow stranger;
  stranger.className = "Stranger";
  stranger.rect = Rect{100, 50, 740, 77};
  sim.addWindow(stranger, reused);
  sim::SimWindow sameClass = sim.window(otherProcess);
  sim.destroyWindow(otherProcess);
  sameClass.processId = 4242;
  sim.addWindow(sameClass, otherProcess);
  start();

  EXPECT_EQ(sim.window(reused).rect.height(), 27);
  EXPECT_FALSE(sim.windowInfoPort().isVisible(otherProcess));
  EXPECT_EQ(sim.placementCalls.size(), 1U) << "only the shade click of the first run";
  EXPECT_TRUE(program->journal().records().empty());
  EXPECT_EQ(storedJournal(), kEmptyJournal);
  exitAndCheckNothingLeaks();
}

// WM_QUERYENDSESSION is only answered; WM_ENDSESSION for an ending session
// gives the windows back, and the program ends. Nothing that comes later
// changes a window.
TEST_F(FaultsTest, TheEndOfTheSessionGivesTheWindowsBackOnceAndLaterMessagesChangeNothing) {
  sim.commandLine.emplace_back("--log");
  start();
  const Hwnd shaded = addTarget("Shaded");
  click(shaded, kShade);
  const Hwnd trayed = addTarget("Trayed");
  click(trayed, kToIcon);
  const Hwnd menued = addTarget("Menu");
  click(menued, kToMenu);

  EXPECT_TRUE(sim.post(form->handle(), win::kWmQueryEndSession, 0, 0));
  EXPECT_EQ(sim.lastMessageResult, 1);
  sim.post(form->handle(), win::kWmEndSession, 0, 0);
  EXPECT_FALSE(sim.windowInfoPort().isVisible(trayed))
      << "a session that goes on keeps its hidden windows";
  EXPECT_FALSE(sim.quitRequested);

  sim.post(form->handle(), win::kWmEndSession, 1, 0);
  EXPECT_EQ(sim.window(shaded).rect, kEditorRect);
  EXPECT_TRUE(sim.windowInfoPort().isVisible(trayed));
  EXPECT_TRUE(sim.windowInfoPort().isVisible(menued));
  EXPECT_TRUE(sim.hooks.empty());
  EXPECT_TRUE(sim.trayIcons.empty());
  EXPECT_TRUE(sim.quitRequested);

  const Hwnd late = addTarget("Late");
  click(late, kToMenu);
  click(late, kShade);
  sim.post(form->handle(), win::kWmTray, 1006, static_cast<std::int32_t>(win::kWmLButtonDblClk));
  sim.post(form->handle(), sim.uiPort().registerWindowMessage("TaskbarCreated"), 0, 0);
  EXPECT_TRUE(sim.windowInfoPort().isVisible(late));
  EXPECT_EQ(sim.window(late).rect, kEditorRect);
  EXPECT_FALSE(sim.windowInfoPort().isVisible(form->handle()));
  EXPECT_TRUE(sim.trayIcons.empty());

  exitAndCheckNothingLeaks();
  const std::vector<std::string> setup = logLines(kSetupAppLog);
  EXPECT_EQ(std::count(setup.begin(), setup.end(), "Called endApp"), 1);
}

TEST_F(FaultsTest, AMessageLoopEndedFromElsewhereOrByAnErrorStillGivesTheWindowsBack) {
  start();
  const Hwnd quit = addTarget("Quit");
  click(quit, kToIcon);
  form->run();
  EXPECT_TRUE(sim.windowInfoPort().isVisible(quit));
  EXPECT_TRUE(sim.trayIcons.empty());
  EXPECT_TRUE(sim.hooks.empty());
  kill();

  start();
  const Hwnd failed = addTarget("Failed");
  click(failed, kToMenu);
  sim.whileMessageLoopRuns = [] { throw StrennixError("Out of memory"); };
  form->run();
  ASSERT_EQ(sim.messageBoxes.size(), 1U);
  EXPECT_EQ(sim.messageBoxes[0].text, "Out of memory.");
  EXPECT_TRUE(sim.windowInfoPort().isVisible(failed));
  EXPECT_TRUE(sim.trayIcons.empty());
  EXPECT_TRUE(program->journal().records().empty());
}

// At the end a window whose program has stopped answering is not waited
// for: the others come back, it stays in the journal, and a later start
// gives it back once it answers again.
TEST_F(FaultsTest, AtTheEndAHungWindowIsSkippedAndALaterStartGivesItBackOnceItAnswers) {
  start();
  const Hwnd hung = addTarget("Hung");
  click(hung, kToIcon);
  const Hwnd shadedHung = addTarget("Shaded and hung");
  click(shadedHung, kShade);
  const Hwnd menued = addTarget("Menu");
  click(menued, kToMenu);
  const Hwnd trayed = addTarget("Trayed");
  click(trayed, kToIcon);
  sim.window(hung).hung = true;
  sim.window(shadedHung).hung = true;

  exitAndCheckNothingLeaks();
  EXPECT_TRUE(sim.windowInfoPort().isVisible(menued));
  EXPECT_TRUE(sim.windowInfoPort().isVisible(trayed));
  EXPECT_FALSE(sim.windowInfoPort().isVisible(hung));
  EXPECT_EQ(sim.window(shadedHung).rect.height(), 27);

  start();
  EXPECT_FALSE(sim.windowInfoPort().isVisible(hung)) << "still hung: kept for the next start";
  EXPECT_EQ(program->journal().records().size(), 2U);
  kill();

  sim.window(hung).hung = false;
  sim.window(shadedHung).hung = false;
  start();
  EXPECT_TRUE(sim.windowInfoPort().isVisible(hung));
  EXPECT_EQ(sim.window(shadedHung).rect, kEditorRect);
  EXPECT_EQ(storedJournal(), kEmptyJournal);
  exitAndCheckNothingLeaks();
}

// A destroy report is believed only once the window is gone: a forged (or
// vetoed) report forgets nothing. Windows that die unreported, or whose
// handle is handed to another window, leave the lists at the next tick and
// are never touched again.
TEST_F(FaultsTest, OnlyWindowsThatAreReallyGoneAreForgottenAndNoneIsTouchedAfterwards) {
  start();
  const Hwnd forged = addTarget("Forged");
  click(forged, kToIcon);
  reportDestroyed(forged);
  EXPECT_EQ(program->lists().trayed().count(), 1);
  EXPECT_EQ(sim.trayIcons.count({form->handle(), 0U}), 1U);

  const Hwnd unreported = addTarget("Unreported");
  click(unreported, kToIcon);
  const Hwnd handedOn = addTarget("Handed on");
  click(handedOn, kToMenu);
  sim.destroyWindow(unreported);
  sim.destroyWindow(handedOn);
  sim::SimWindow stranger;
  stranger.className = "Stranger";
  stranger.visible = false;
  sim.addWindow(stranger, handedOn);
  reportDestroyed(handedOn);
  EXPECT_EQ(program->lists().menu().count(), 0) << "its handle names another window now";
  sim.tick(form->handle(), IDT_TIMER1);
  EXPECT_EQ(program->lists().trayed().count(), 1);
  EXPECT_EQ(sim.trayIcons.count({form->handle(), 1U}), 0U);

  exitAndCheckNothingLeaks();
  EXPECT_TRUE(sim.windowInfoPort().isVisible(forged));
  EXPECT_FALSE(sim.windowInfoPort().isVisible(handedOn));
}

// A program that owns its windows by a hidden "TApplication" window gets
// that window back when the hidden window is closed.
TEST_F(FaultsTest, AnApplicationOwnerHiddenWithADestroyedWindowIsShownAgain) {
  start();
  sim::SimWindow owner;
  owner.className = "TApplication";
  const Hwnd application = sim.addWindow(owner);
  for (const Slot slot : {kToIcon, kToMenu}) {
    sim::SimWindow window;
    window.rect = kEditorRect;
    window.owner = application;
    const Hwnd hidden = sim.addWindow(window);
    click(hidden, slot);
    ASSERT_FALSE(sim.windowInfoPort().isVisible(application));
    sim.destroyWindow(hidden);
    reportDestroyed(hidden);
    EXPECT_TRUE(sim.windowInfoPort().isVisible(application)) << slot;
  }
  exitAndCheckNothingLeaks();
}

TEST_F(FaultsTest, TheOwnIconIsTriedAgainUntilTheShellTakesItAndALostWindowIconShowsItsWindow) {
  sim.refuseTrayAdds = true;
  start();
  sim.tick(form->handle(), IDT_TIMER1);
  EXPECT_TRUE(sim.trayIcons.empty());
  sim.refuseTrayAdds = false;
  sim.tick(form->handle(), IDT_TIMER1);
  ASSERT_EQ(sim.trayIcons.count({form->handle(), 1006U}), 1U);
  EXPECT_EQ(sim.trayIcons.at({form->handle(), 1006U}).tip, "Strennix");

  const Hwnd trayed = addTarget("Trayed");
  click(trayed, kToIcon);
  sim.trayIcons.clear();
  sim.refuseTrayAdds = true;
  sim.post(form->handle(), sim.uiPort().registerWindowMessage("TaskbarCreated"), 0, 0);
  EXPECT_TRUE(sim.windowInfoPort().isVisible(trayed));
  EXPECT_EQ(program->lists().trayed().count(), 0);
  sim.refuseTrayAdds = false;
  exitAndCheckNothingLeaks();
}

}  // namespace
}  // namespace strennix
