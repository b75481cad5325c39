// The settings window of the real program under Wine, operated with real
// mouse clicks: saving ticked boxes into the registry, the log-on start-up
// entry, a German language file, the list file opened in Notepad, and the
// begin and end of the program (a hidden second start, Hide, Exit).
#include <algorithm>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/titlebar.h"

namespace strennix::e2e {
namespace {

// The settings form has a fixed single border and a caption around a client
// area of 307 x 370 pixels.
constexpr int kClientWidth = 307;
constexpr int kClientHeight = 370;

const char* const kDefaultExStyles = "<WS_EX_DLGMODALFRAME><WS_EX_TOOLWINDOW><WS_EX_TRANSPARENT>";

// The settings form's captions from lang/0x07.lang, in its ANSI code page
// (Windows-1252).
std::map<int, std::string> germanCaptions() {
  return {
      {IDC_BTNEDITCLASSES, "Bearbeiten..."},
      {IDC_BTNEDITNAMES, "Bearbeiten..."},
      {IDC_BTNHIDE, "Strnx verbergen"},
      {IDC_BTNQUIT, "Strnx beenden"},
      {IDC_BTNSAVE, "Speichern"},
      {IDC_CHKCLASSES, "Klassen"},
      {IDC_CHKHMAX, "Horizontal maximieren"},
      {IDC_CHKMENUSTAY, "Men\xFC bleibt offen"},
      {IDC_CHKMINICON, "Als Symbol"},
      {IDC_CHKMINMENU, "Ins Men\xFC minimieren"},
      {IDC_CHKMSGBOX, "Meldungen/Dialoge"},
      {IDC_CHKNAMES, "Dateien"},
      {IDC_CHKSHADE, "Aufrollen"},
      {IDC_CHKSTART, "Mit Windows starten"},
      {IDC_CHKTOOL, "Werkzeugfenster"},
      {IDC_CHKTOP, "Im Vordergrund"},
      {IDC_CHKTRANSP, "Transparente Fenster"},
      {IDC_CHKVMAX, "Vertikal maximieren"},
      {IDC_GROUPBUTTONS, std::string("Schaltfl\xE4") + "chen:"},
      {IDC_GROUPEXCLUDE, "Nicht erweitern..."},
      {IDC_GRPDRAWON, "Zeichnen auf..."},
      {IDC_GRPMENU, "Men\xFCoptionen:"},
      {IDC_GRPPRIORITY, "Priorit\xE4t:"},
      {IDC_LBLSORT, "Sortieren:"},
      {IDC_RDBTNALLWINDOWS, "...allen Fenstern."},
      {IDC_RDBTNALPHA, "Name"},
      {IDC_RDBTNFOREGROUND, "...nur Vordergrundfenster."},
      {IDC_RDBTNTIME, "Zeit"},
      // Not translated.
      {IDC_LABEL1, "Corvane inc."},
  };
}

class SettingsWindowTest : public EditionTest<TitleBarDesktop> {
 protected:
  // The screen point in the middle of a control of the settings form, as the
  // user would aim at it.
  ScreenPoint centreOf(int id) {
    const auto form = findWindow(mainForm);
    if (!form) {
      throw std::runtime_error("the settings form does not exist");
    }
    const std::vector<ControlInfo> controls = children(mainForm);
    const auto find = [&](int wanted) {
      for (const ControlInfo& info : controls) {
        if (info.id == wanted) {
          return info;
        }
      }
      throw std::runtime_error("the settings form has no control " + std::to_string(wanted));
    };
    const int border = (form->rect.width() - kClientWidth) / 2;
    ScreenPoint origin{form->rect.left + border, form->rect.bottom - border - kClientHeight};
    const ControlInfo target = find(id);
    for (int parent = target.parentId; parent != 0;) {
      const ControlInfo outer = find(parent);
      origin.x += outer.rect.left;
      origin.y += outer.rect.top;
      parent = outer.parentId;
    }
    return {origin.x + (target.rect.left + target.rect.right) / 2,
            origin.y + (target.rect.top + target.rect.bottom) / 2};
  }

  void clickOn(int id) {
    const ScreenPoint point = centreOf(id);
    click(point.x, point.y);
  }

  ControlInfo controlOf(int id) {
    auto info = control(mainForm, id);
    if (!info) {
      throw std::runtime_error("the settings form has no control " + std::to_string(id));
    }
    return *info;
  }

  bool isChecked(int id) { return controlOf(id).checked.value_or(false); }

  // Waits until each of these check boxes and radio buttons shows its state.
  void expectChecks(const std::map<int, bool>& expected) {
    expectEventually(
        [&] {
          std::map<int, bool> shown;
          for (const ControlInfo& info : children(mainForm)) {
            if (expected.contains(info.id)) {
              shown[info.id] = info.checked.value_or(false);
            }
          }
          return shown;
        },
        expected, "the checks by control ID");
  }

  // Clicks a check box or radio button and waits until it shows the state.
  void clickToState(int id, bool checked) {
    clickOn(id);
    expectChecks({{id, checked}});
  }

  void expectEnabled(int id, bool enabled) {
    expectEventually([&] { return controlOf(id).enabled; }, enabled,
                     "whether control " + std::to_string(id) + " is enabled");
  }

  // Presses "Save changes" and returns the settings dump that the save
  // writes with --log, once it is complete.
  VariableDump save() {
    return dumpAfter([this] { clickOn(IDC_BTNSAVE); }, "\"Save changes\"");
  }

  // The settings key's text values as they stand (other types by their type).
  std::map<std::string, std::string> storedSettings() {
    std::map<std::string, std::string> texts;
    for (const auto& [name, value] : regValues(kSettingsKey)) {
      texts[name] = value.type == "REG_SZ" ? value.data : value.type;
    }
    return texts;
  }

  // Waits until each of these controls shows its text.
  void expectTexts(const std::map<int, std::string>& expected) {
    expectEventually(
        [&] {
          std::map<int, std::string> shown;
          for (const ControlInfo& info : children(mainForm)) {
            if (expected.contains(info.id)) {
              shown[info.id] = info.text;
            }
          }
          return shown;
        },
        expected, "the texts by control ID");
  }

  // Waits until the settings key holds these text values.
  void expectStored(const std::map<std::string, std::string>& expected) {
    std::map<std::string, RegValue> values;
    for (const auto& [name, data] : expected) {
      values[name] = {"REG_SZ", data};
    }
    expectRegValues(kSettingsKey, values);
  }

  void expectLogLine(const std::string& file, const std::string& message) {
    expectEventually([&] { return hasLogLine(splitLines(readFile(file)), message); }, true,
                     "whether " + file + " has the line \"" + message + "\"");
  }

  std::optional<ScreenPoint> trayIcon() { return findProgramTrayIcon(grab(), kTrayArea); }

  bool trayIconShown() { return trayIcon().has_value(); }

  void doubleClickTrayIcon() {
    std::optional<ScreenPoint> icon;
    waitFor(
        [&] {
          icon = trayIcon();
          return icon.has_value();
        },
        "the program's icon in the notification area");
    doubleClick(icon->x + kTrayIconSize / 2, icon->y + kTrayIconSize / 2);
  }

  // The first start shows the form with the defaults.
  WineProcess& firstStart(const std::vector<std::string>& arguments,
                          const std::filesystem::path& directory = {}) {
    WineProcess& strennix = startStrennix(arguments, directory);
    waitForVisibleWindow(mainForm);
    return strennix;
  }
};

TEST_P(SettingsWindowTest, SecondStartStaysHiddenWithOnlyItsTrayIcon) {
  WineProcess& first = firstStart({});
  ASSERT_EQ(closeStrennix(first), 0);
  waitFor([this] { return !trayIconShown(); }, "the first run's tray icon to go");

  WineProcess& second = startStrennix({"--log"});
  // Poll until the program is up, its loop runs and its timer has ticked;
  // the form must not show at any moment of it.
  int visibleSightings = 0;
  waitFor(
      [&] {
        for (const WindowInfo& window : listWindows(true)) {
          visibleSightings += window.className == "TStrennix" ? 1 : 0;
        }
        return hasLogLine(splitLines(readFile("setupapplog.txt")), "Exited beginApp.") &&
               hasLogLine(splitLines(readFile("applog.txt")), "Timer event handled") &&
               responds(mainForm);
      },
      "the hidden program to run its timer");
  waitFor([this] { return trayIconShown(); }, "the program's tray icon");

  EXPECT_EQ(visibleSightings, 0);
  const auto form = findWindow(mainForm);
  ASSERT_TRUE(form.has_value());
  EXPECT_FALSE(form->visible);
  const auto trayMenu = findWindow(Window::byClass("TTrayForm"));
  ASSERT_TRUE(trayMenu.has_value());
  EXPECT_FALSE(trayMenu->visible);
  EXPECT_TRUE(second.running());

  const auto setupLog = splitLines(readFile("setupapplog.txt"));
  EXPECT_TRUE(hasLogLine(setupLog, "  Hiding form.")) << readFile("setupapplog.txt");
  EXPECT_FALSE(hasLogLine(setupLog, "  First time starting, showing form and setting defaults."));
  screenshot("hidden-second-start.png");

  EXPECT_EQ(closeStrennix(second), 0);
}

TEST_P(SettingsWindowTest, SavingTheClickedControlsWritesTheRegistryAndReloadsTheProgram) {
  writeFile("classes.txt", "Notepad\r\n");
  WineProcess& strennix = firstStart({"--log"});
  // The user adds a tag by hand that the form has no box for.
  regAdd(kSettingsKey, "ExcludeExStyles",
         "<WS_EX_DLGMODALFRAME><WS_EX_TOOLWINDOW><WS_EX_TOPMOST><WS_EX_TRANSPARENT>");
  ASSERT_FALSE(controlOf(IDC_BTNEDITCLASSES).enabled);
  const int oldPriority = controlOf(IDC_TRACKPRIORITY).position.value_or(-1);
  ASSERT_EQ(oldPriority, 4);

  clickToState(IDC_CHKSHADE, false);
  clickToState(IDC_CHKTOOL, false);
  clickToState(IDC_CHKCLASSES, true);
  expectEnabled(IDC_BTNEDITCLASSES, true);
  clickToState(IDC_RDBTNALLWINDOWS, true);
  expectChecks({{IDC_RDBTNFOREGROUND, false}});
  // A click on the channel right of the thumb moves it towards the click.
  const ControlInfo track = controlOf(IDC_TRACKPRIORITY);
  const ScreenPoint trackCentre = centreOf(IDC_TRACKPRIORITY);
  click(trackCentre.x + track.rect.width() / 2 - 12, trackCentre.y - track.rect.height() / 2 + 10);
  int priority = oldPriority;
  waitFor(
      [&] {
        priority = controlOf(IDC_TRACKPRIORITY).position.value_or(oldPriority);
        return priority != oldPriority;
      },
      "the priority track bar to move");
  EXPECT_GT(priority, oldPriority);
  EXPECT_LE(priority, 9);

  // Nothing reached the registry or the program before the save.
  auto stored = storedSettings();
  EXPECT_EQ(stored["Buttons"], "<hmax><vmax><top><shade><toicon><tomenu>");
  EXPECT_EQ(stored["Classes"], "0");
  EXPECT_FALSE(hasLogLine(splitLines(readFile("filecontrollog.txt")), "Classes were read"));

  const VariableDump saved = save();
  expectStored({{"Buttons", "<vmax><hmax><top><tomenu><toicon>"},
                {"ExcludeExStyles", "<WS_EX_DLGMODALFRAME><WS_EX_TOPMOST><WS_EX_TRANSPARENT>"},
                {"Classes", "1"},
                {"Names", "0"},
                {"Menu", "<stay><alpha>"},
                {"DrawOn", "<all>"},
                {"Priority", std::to_string(priority)}});

  // The running program took the saved settings.
  EXPECT_EQ(saved.at("usingShade"), "0");
  EXPECT_EQ(saved.at("usingVMax"), "1");
  EXPECT_EQ(saved.at("numberOfButtons"), "5");
  EXPECT_EQ(saved.at("excludingClasses"), "1");
  EXPECT_EQ(saved.at("drawOnAll"), "1");
  EXPECT_EQ(saved.at("priority"), std::to_string(priority));
  EXPECT_EQ(saved.at("excludeExStyles"), std::to_string(0x01 | 0x08 | 0x20));
  expectLogLine("filecontrollog.txt", "Classes were read");

  // The reload leaves the form as the user set it.
  expectChecks({{IDC_CHKSHADE, false},
                {IDC_CHKTOOL, false},
                {IDC_CHKCLASSES, true},
                {IDC_RDBTNALLWINDOWS, true}});
  expectEnabled(IDC_BTNEDITCLASSES, true);
  expectEventually([&] { return controlOf(IDC_TRACKPRIORITY).position; },
                   std::optional<int>(priority), "the priority track bar's position");

  // A second save changes nothing: no tag doubled, no button counted twice.
  const VariableDump again = save();
  expectStored({{"ExcludeExStyles", "<WS_EX_DLGMODALFRAME><WS_EX_TOPMOST><WS_EX_TRANSPARENT>"},
                {"Buttons", "<vmax><hmax><top><tomenu><toicon>"}});
  EXPECT_EQ(again.at("numberOfButtons"), "5");

  EXPECT_EQ(closeStrennix(strennix), 0);
}

TEST_P(SettingsWindowTest, ASaveThatFailsOnAHandEditedValueShowsTheErrorAndTheProgramGoesOn) {
  WineProcess& strennix = firstStart({"--log"});
  regAdd(kSettingsKey, "ButtonXOffset", "abc");
  clickToState(IDC_CHKSHADE, false);

  clickOn(IDC_BTNSAVE);
  expectEventually([this] { return dialogText("Strennix"); },
                   std::optional<std::string>("'abc' is not a valid integer value."),
                   "the text of the error box of the failed save");
  screenshot("save-error.png");
  pressDialogButton("Strennix", "ok");
  waitFor([this] { return !dialogText("Strennix").has_value(); }, "the error box to close");

  // The values written before the failing reload stay written, and the
  // program runs on: once the value is mended, the next save goes through.
  expectStored({{"Buttons", "<vmax><hmax><top><tomenu><toicon>"}});
  EXPECT_TRUE(strennix.running());
  EXPECT_TRUE(responds(mainForm));
  regAdd(kSettingsKey, "ButtonXOffset", "40");
  const VariableDump saved = save();
  EXPECT_EQ(saved.at("buttonXOffset"), "40");
  EXPECT_EQ(saved.at("usingShade"), "0");

  EXPECT_EQ(closeStrennix(strennix), 0);
}

// The path is quoted: the working directory's path holds no blank, but an
// installation under "Program Files" does. A missing Run key is created.
TEST_P(SettingsWindowTest, RunAtStartupWritesTheQuotedPathAndUntickingRemovesIt) {
  regAdd(kRunKey, "OtherTool", "C:\\other.exe");
  regDeleteKey(kRunKey);
  WineProcess& strennix = firstStart({"--log"});
  ASSERT_FALSE(isChecked(IDC_CHKSTART));

  clickToState(IDC_CHKSTART, true);
  save();
  expectEventually([this] { return regQuery(kRunKey, "Strennix"); },
                   std::optional<RegValue>(
                       RegValue{"REG_SZ", "\"" + windowsPath(workFile("strennix.exe")) + "\""}),
                   "the quoted run entry");
  expectChecks({{IDC_CHKSTART, true}});

  clickToState(IDC_CHKSTART, false);
  save();
  expectEventually([this] { return regQuery(kRunKey, "Strennix"); }, std::optional<RegValue>(),
                   "the run entry");
  expectChecks({{IDC_CHKSTART, false}});
  // The other settings were saved as they stood.
  expectStored({{"Buttons", "<vmax><hmax><shade><top><tomenu><toicon>"},
                {"ExcludeExStyles", kDefaultExStyles}});

  EXPECT_EQ(closeStrennix(strennix), 0);
}

TEST_P(SettingsWindowTest, LanguageValueSevenShowsTheGermanCaptions) {
  ASSERT_TRUE(fileExists("lang/0x07.lang"));
  regAdd(kSettingsKey, "lang", "7", "REG_DWORD");

  WineProcess& strennix = firstStart({});
  expectTexts(germanCaptions());
  expectEventually([this] { return findWindow(mainForm).value_or(WindowInfo{}).title; },
                   std::string("Strennix"), "the title of the settings form");
  screenshot("settings-window-german.png");

  EXPECT_EQ(closeStrennix(strennix), 0);
}

// A start from the log-on entry runs in another directory.
TEST_P(SettingsWindowTest, StartedFromAnotherFolderTheLanguageFileBesideTheProgramIsUsed) {
  ASSERT_TRUE(fileExists("lang/0x07.lang"));
  regAdd(kSettingsKey, "lang", "7", "REG_DWORD");
  std::filesystem::create_directory(workFile("elsewhere"));

  WineProcess& strennix = firstStart({}, workFile("elsewhere"));
  expectTexts(germanCaptions());
  screenshot("settings-window-german-from-another-folder.png");

  EXPECT_EQ(closeStrennix(strennix), 0);
}

// A hidden start makes no control windows (that is most of a start's time);
// what the start gave the controls shows when the window is first opened.
TEST_P(SettingsWindowTest,
       SettingsOpenedFromTheTrayAfterAHiddenStartShowTheStoredSettingsInGerman) {
  ASSERT_TRUE(fileExists("lang/0x07.lang"));
  writeDefaultSettings({{"Buttons", "<vmax><shade>"},
                        {"Names", "1"},
                        {"Menu", "<stay>"},
                        {"Priority", "7"},
                        {"DrawOn", "<all>"}});
  regAdd(kSettingsKey, "lang", "7", "REG_DWORD");
  startHidden();
  EXPECT_TRUE(children(mainForm).empty());

  doubleClickTrayIcon();
  waitForVisibleWindow(mainForm);

  expectChecks({{IDC_CHKVMAX, true},
                {IDC_CHKHMAX, false},
                {IDC_CHKSHADE, true},
                {IDC_CHKTOP, false},
                {IDC_CHKNAMES, true},
                {IDC_CHKCLASSES, false},
                {IDC_CHKMENUSTAY, true},
                {IDC_RDBTNTIME, true},
                {IDC_RDBTNALPHA, false},
                {IDC_RDBTNALLWINDOWS, true},
                {IDC_RDBTNFOREGROUND, false}});
  expectEnabled(IDC_BTNEDITNAMES, true);
  expectEnabled(IDC_BTNEDITCLASSES, false);
  expectEventually([&] { return controlOf(IDC_TRACKPRIORITY).position; }, std::optional<int>(7),
                   "the priority track bar's position");
  expectTexts(
      {{IDC_CHKSHADE, "Aufrollen"}, {IDC_BTNSAVE, "Speichern"}, {IDC_LABEL1, "Corvane inc."}});
  screenshot("settings-opened-after-a-hidden-start.png");

  // The link's hint, made with the controls, shows under the mouse.
  const ScreenPoint link = centreOf(IDC_LABEL1);
  const std::uint32_t form = findWindow(mainForm).value_or(WindowInfo{}).hwnd;
  mouseMove(link.x, link.y);
  waitFor(
      [&] {
        const auto windows = listWindows(true);
        return std::any_of(windows.begin(), windows.end(), [&](const WindowInfo& window) {
          return window.className == "tooltips_class32" && window.owner == form;
        });
      },
      "the hint of the link");
}

TEST_P(SettingsWindowTest, HideKeepsTheProgramRunningAndExitEndsItWithCodeZero) {
  WineProcess& strennix = firstStart({"--debug"});
  waitFor([this] { return trayIconShown(); }, "the program's tray icon");

  clickOn(IDC_BTNHIDE);
  waitFor([this] { return !findWindow(mainForm).value_or(WindowInfo{}).visible; },
          "the settings form to hide");
  EXPECT_TRUE(responds(mainForm));
  EXPECT_TRUE(strennix.running());
  EXPECT_TRUE(trayIconShown());

  // A double-click on the tray icon brings the form back.
  doubleClickTrayIcon();
  waitForVisibleWindow(mainForm);

  clickOn(IDC_BTNQUIT);
  EXPECT_EQ(strennix.waitForExit(), 0);
  const auto applog = splitLines(readFile("applog.txt"));
  ASSERT_FALSE(applog.empty());
  EXPECT_EQ(logMessage(applog.back()), "Terminating application.") << applog.back();
  waitFor([this] { return !trayIconShown(); }, "the program's tray icon to go");
}

TEST_P(SettingsWindowTest, EditButtonOfClassesOpensTheListFileInNotepad) {
  writeFile("classes.txt", "Notepad\r\nSciTEWindow\r\n");
  WineProcess& strennix = firstStart({});
  ASSERT_FALSE(controlOf(IDC_BTNEDITCLASSES).enabled);

  clickToState(IDC_CHKCLASSES, true);
  expectEnabled(IDC_BTNEDITCLASSES, true);
  clickOn(IDC_BTNEDITCLASSES);
  // Notepad asks whether to create a file it does not find: its title shows
  // that it opened the existing file of the working directory.
  const WindowInfo notepad = waitForVisibleWindow(Window::byClass("Notepad"));
  expectEventually(
      [&] { return findWindow(Window::byHandle(notepad.hwnd)).value_or(WindowInfo{}).title; },
      std::string("classes.txt - Notepad"), "Notepad's title");
  screenshot("notepad-classes.png");
  for (const WindowInfo& window : listWindows(true)) {
    EXPECT_NE(window.className, "#32770") << window.title;
  }

  closeWindow(Window::byHandle(notepad.hwnd));
  waitFor([&] { return !findWindow(Window::byHandle(notepad.hwnd)).has_value(); },
          "Notepad to close");
  EXPECT_TRUE(responds(mainForm));
  EXPECT_EQ(closeStrennix(strennix), 0);
}

STRENNIX_TEST_EDITIONS(SettingsWindowTest, runnableEditions());

}  // namespace
}  // namespace strennix::e2e
