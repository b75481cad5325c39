// A long seeded run of the whole program on the simulated desktop: timer
// ticks, title-bar clicks on every button, destroyed and new windows, tray
// icon and tray menu clicks, saves, hides and the final exit. After every step
// the program's lists are compared with a small model of what they must hold,
// kept by the test from what it asked for and what it saw on the desktop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/app.h"
#include "eligibility/namefromwindow.h"
#include "platform/sim/simdesktop.h"
#include "platform/winconst.h"
#include "resources/resource.h"
#include "tests/support/defaultsettings.h"
#include "tests/unit/simsupport.h"
#include "traymenu/traymenu.h"

namespace strennix {
namespace {

constexpr const char* kRunKey = R"(Software\Microsoft\Windows\CurrentVersion\Run)";
constexpr std::uint32_t kSeed = 0x5EED2026;
constexpr int kTicks = 100000;
constexpr int kMinTitleClicks = 10000;

// The button geometry stored below.
constexpr int kXOffset = 58;
constexpr int kYOffset = 6;
constexpr int kXStretch = 16;
constexpr int kYStretch = 14;
// A taskbar at the top: stretched windows must land inside the work area.
constexpr Rect kWorkArea{0, 30, 1024, 768};

constexpr std::uint32_t kWmMouseMove = 0x0200;
constexpr std::uint32_t kOwnIconId = 1006;
constexpr std::size_t kTipLength = 63;
constexpr std::size_t kMenuTitleLength = 254;
constexpr std::size_t kTitleLength = 259;

constexpr const char* kShadeRefusal =
    "You are trying to shade to many windows(45+). The operation failed.";
constexpr const char* kTrayRefusal = "You can not add more icons to the tray.";
constexpr const char* kIconRefusal =
    "Windows did not take the tray icon. The window stays where it is.";
constexpr const char* kMenuRefusal =
    "You are trying to tray to many windows(45+). The operation failed.";

// Slot k of the button row, counted from the right with all six buttons on.
enum class Button { Top = 1, ToIcon, Shade, ToMenu, VMax, HMax };

// How the process names are looked up while the soak runs: the platform is
// asked afresh on every lookup, so the soak switches it in phases.
enum class Lookup { Psapi, Toolhelp, Perflib };

// From this tick on, the file-name list is on or off (switched through the
// settings form) and the names are looked up so. Name lookups are the
// costliest part of a redraw, so the list is on for a sixth of the ticks.
struct Phase {
  int tick;
  bool names;
  Lookup lookup;
};
constexpr Phase kPhases[] = {{0, true, Lookup::Psapi},        {4000, false, Lookup::Psapi},
                             {30000, true, Lookup::Toolhelp}, {34000, false, Lookup::Toolhelp},
                             {60000, true, Lookup::Perflib},  {64000, false, Lookup::Psapi},
                             {96000, true, Lookup::Psapi}};

// Decides which events the generator prefers for a while, so that every
// limit is reached and lists also drain again. It never changes the model.
enum class Mood { Mixed, ShadeMany, MenuMany, Drain };

constexpr const char* kClassNames[] = {"Notepad", "WordPadClass", "SimWindow", "TEditorForm"};
constexpr const char* kExcludedClass = "ExcludedClass";

// What the soak decided about a window when it made it.
struct Target {
  Hwnd owner{};
  bool ownerFollows = false;  // the owner's class is exactly "TApplication"
  bool excludedClass = false;
  bool toolWindow = false;
  bool popup = false;
  bool blockedProcess = false;  // its process is listed in files.txt
  IconHandle expectedIcon{};
  bool topmost = false;
};

struct TrayIcon {
  Hwnd window{};
  IconHandle icon{};
  std::string tip;
};

// What each list of the program must hold.
struct Model {
  std::vector<std::pair<Hwnd, std::string>> menu;  // oldest first
  std::map<std::uint32_t, TrayIcon> trayed;        // by slot
  std::vector<std::pair<Hwnd, int>> shaded;        // in order of rolling up
  std::map<Hwnd, int> vStretched;
  std::map<Hwnd, int> hStretched;
  std::vector<std::string> boxes;  // refusal texts, in order
  bool menuStay = true;
  bool mainVisible = false;
  bool trayFormVisible = false;
  bool runEntry = false;

  [[nodiscard]] bool inMenu(Hwnd window) const {
    return std::any_of(menu.begin(), menu.end(),
                       [window](const auto& e) { return e.first == window; });
  }
  [[nodiscard]] bool inTray(Hwnd window) const {
    return std::any_of(trayed.begin(), trayed.end(),
                       [window](const auto& e) { return e.second.window == window; });
  }
  [[nodiscard]] bool hidden(Hwnd window) const { return inMenu(window) || inTray(window); }
  [[nodiscard]] int shadedPosition(Hwnd window) const {
    for (std::size_t i = 0; i < shaded.size(); ++i) {
      if (shaded[i].first == window) {
        return static_cast<int>(i);
      }
    }
    return -1;
  }
  [[nodiscard]] std::uint32_t lowestFreeSlot() const {
    std::uint32_t slot = 0;
    while (trayed.contains(slot)) {
      ++slot;
    }
    return slot;
  }
};

struct Stats {
  int ticks = 0;
  int titleClicks = 0;
  int clicksByButton[7] = {};
  int misses = 0;
  int destroyed = 0;
  int created = 0;
  int reusedHandles = 0;
  int trayIconMessages = 0;
  int trayRestores = 0;
  int menuDoubleClicks = 0;
  int menuRestores = 0;
  int ownIconMessages = 0;
  int saves = 0;
  int hides = 0;
  int shellRestarts = 0;
  int strayMessages = 0;
  int shellRefusals = 0;
  int nestedEvents = 0;
  int shadeRefusals = 0;
  int trayRefusals = 0;
  int menuRefusals = 0;
  int maxShaded = 0;
  int maxMenu = 0;
  int maxTrayed = 0;
};

std::string repeated(const std::string& text, std::size_t length) {
  std::string result;
  while (result.size() < length) {
    result += text;
  }
  return result.substr(0, length);
}

std::string lower(std::string text) {
  for (char& c : text) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return text;
}

class SoakTest : public testsupport::ProgramTest {
 protected:
  SoakTest() : rng(kSeed) {
    sim.monitors[0].workArea = kWorkArea;
    sim.libraries["hook.dll"] = {"MouseProc", "CBTProc"};
    storeSettings();
    sim.files["classes.txt"] = std::string(kExcludedClass) + "\r\n";
    sim.files["files.txt"] = "blocked.exe\r\n";
    sim.processes[100] = sim::SimProcess{"C:\\Apps\\notepad.exe", "notepad.exe", false};
    sim.processes[101] = sim::SimProcess{"C:\\Tools\\blocked.exe", "blocked.exe", false};
    sim.processes[102] = sim::SimProcess{"C:\\Sys\\locked.exe", "locked.exe", true};
    // A counter list without "Process": every performance-data lookup opens
    // and closes this key and answers "unknown".
    const std::string counters = std::string("1\0System\0\0", 10);
    sim.setRegValue(RegRoot::LocalMachine, kPerflibKey, "Counter", win::kRegMultiSz,
                    std::vector<std::uint8_t>(counters.begin(), counters.end()));
  }

  void storeSettings() {
    writeSettings(testsupport::firstStartSettings({{"Classes", "1"},
                                                   {"Names", "1"},
                                                   {"Priority", "9"},
                                                   {"DrawOn", "<all>"},
                                                   {testsupport::kInstallPath, "C:\\Apps\\"}}));
    // The Run key exists, as on every Windows installation.
    sim.setRegString(RegRoot::CurrentUser, kRunKey, "Other", "C:\\Other\\other.exe");
  }

  void start() {
    ProgramTest::start(boxes.ports());
    pinIcon = sim.uiPort().loadIcon(IDI_BUTTON_PIN);
    pinnedIcon = sim.uiPort().loadIcon(IDI_BUTTON_PINNED);
    listBox = tray->control(IDC_LISTBOX1);
  }

  std::uint32_t next() { return static_cast<std::uint32_t>(rng()); }
  std::uint32_t random(std::uint32_t bound) { return next() % bound; }
  bool chance(std::uint32_t percent) { return random(100) < percent; }

  // ---- The desktop's windows ------------------------------------------------

  std::string randomTitle() {
    static const std::string kTitles[] = {"Editor",
                                          "editor",
                                          "Untitled - Notepad",
                                          "",
                                          "Report.doc",
                                          "Report.doc - WordPad",
                                          "Caf\xE9 Men\xFC",
                                          repeated("A long caption that goes on ", 300)};
    std::string title = kTitles[random(std::size(kTitles))];
    if (chance(40)) {
      title += " " + std::to_string(random(30));
    }
    return title;
  }

  void addTarget(std::optional<Hwnd> handle = std::nullopt) {
    sim::SimWindow window;
    const int width = 160 + static_cast<int>(random(600));
    const int height =
        chance(5) ? 12 + static_cast<int>(random(16)) : 28 + static_cast<int>(random(500));
    const int left = static_cast<int>(random(1024 - 100)) - 50;
    const int top = 30 + static_cast<int>(random(400));
    window.rect = Rect{left, top, left + width, top + height};
    window.title = randomTitle();
    window.hung = chance(10);
    Target target;
    const std::uint32_t roll = random(100);
    target.excludedClass = roll < 5;
    target.toolWindow = roll >= 5 && roll < 9;
    target.popup = roll >= 9 && roll < 12;
    window.className =
        target.excludedClass ? kExcludedClass : kClassNames[random(std::size(kClassNames))];
    window.exStyle = target.toolWindow ? win::kWsExToolWindow : 0;
    window.style = target.popup ? (win::kWsPopup | 0x00C00000) : 0x00CF0000;
    const std::uint32_t process = random(10);
    window.processId = process < 5 ? 100 : process < 7 ? 101 : process < 9 ? 102 : 555;
    target.blockedProcess = window.processId == 101;
    giveIcon(window, target);
    if (chance(30)) {
      sim::SimWindow owner;
      owner.rect = Rect{0, 0, 0, 0};
      owner.style = win::kWsPopup;
      const std::uint32_t kind = random(4);
      owner.className = kind < 2 ? "TApplication" : kind == 2 ? "tapplication" : "TApplicationX";
      target.owner = sim.addWindow(owner);
      target.ownerFollows = kind < 2;
      window.owner = target.owner;
    }
    const Hwnd added = handle ? sim.addWindow(window, *handle) : sim.addWindow(window);
    targets[added] = target;
    ++stats.created;
  }

  // One source of an icon at most, so that the icon a tray icon must show
  // is plain: a window that does not answer has only its class icons.
  void giveIcon(sim::SimWindow& window, Target& target) {
    const IconHandle icon{0x7000 + std::uintptr_t{random(0x100)} * 4};
    switch (random(6)) {
      case 0:
        window.smallIcon = icon;
        target.expectedIcon = window.hung ? IconHandle{} : icon;
        break;
      case 1:
        window.classSmallIcon = icon;
        target.expectedIcon = icon;
        break;
      case 2:
        window.bigIcon = icon;
        target.expectedIcon = window.hung ? IconHandle{} : icon;
        break;
      case 3:
        window.classIcon = icon;
        target.expectedIcon = icon;
        break;
      case 4:
        window.dragIcon = icon;
        target.expectedIcon = window.hung ? IconHandle{} : icon;
        break;
      default:
        target.expectedIcon = IconHandle{};
        break;
    }
  }

  [[nodiscard]] bool eligible(const Target& target) const {
    // Without psapi the names come from the performance data, which here
    // knows no process: every name is "unknown" and no file is excluded.
    const bool nameExcluded = namesOn && target.blockedProcess && lookup != Lookup::Perflib;
    return !target.excludedClass && !target.toolWindow && !target.popup && !nameExcluded;
  }

  [[nodiscard]] std::vector<Hwnd> visibleTargets() const {
    std::vector<Hwnd> result;
    for (const auto& [handle, target] : targets) {
      if (!model.hidden(handle) && handle != busyWindow) {
        result.push_back(handle);
      }
    }
    return result;
  }

  // Any window but the one whose action holds a refusal box open.
  Hwnd anyTarget() {
    auto it = targets.begin();
    std::advance(it, random(static_cast<std::uint32_t>(targets.size())));
    return it->first == busyWindow ? Hwnd{} : it->first;
  }

  void setLookup(Lookup next) {
    lookup = next;
    sim.osVersion = next == Lookup::Toolhelp ? OsVersion{4, 10, 2222, 1} : OsVersion{6, 1, 7601, 2};
    if (next == Lookup::Perflib) {
      sim.libraries.erase("psapi.dll");
    } else {
      sim.libraries["psapi.dll"] = {"EnumProcessModules", "GetModuleBaseNameA"};
    }
  }

  // ---- Events ---------------------------------------------------------------

  void tick() {
    sim.draws.clear();
    sim.tick(form->handle(), IDT_TIMER1);
    ++stats.ticks;
    checkDraws();
  }

  void clickTitleBar() {
    ++stats.titleClicks;
    const std::uint32_t where = random(100);
    if (where < 4) {
      strayClick(form->handle());
      return;
    }
    if (where < 6) {
      strayClick(tray->handle());
      return;
    }
    if (where < 8) {
      strayClick(sim.windowPort().desktopWindow());
      return;
    }
    if (where < 10) {
      strayClick(Hwnd{});
      return;
    }
    const std::vector<Hwnd> visible = visibleTargets();
    if (visible.empty()) {
      return;
    }
    const Hwnd window = visible[random(static_cast<std::uint32_t>(visible.size()))];
    sim.setForeground(window);
    const Rect rect = sim.window(window).rect;
    if (chance(12)) {
      missButtons(rect);
      return;
    }
    const Button button = chooseButton(window);
    const int k = static_cast<int>(button);
    const int x =
        rect.right - kXOffset - k * kXStretch + 1 + static_cast<int>(random(kXStretch - 1));
    const int y = rect.top + kYOffset + 1 + static_cast<int>(random(kYStretch - 2));
    const bool refuseIcon = button == Button::ToIcon && chance(5);
    sim.refuseTrayAdds = refuseIcon;
    const Rect before = rect;
    const bool acts = eligible(targets.at(window));
    const char* refusal = acts ? refusalFor(button, before, refuseIcon) : nullptr;
    const Hwnd outerBusy = busyWindow;
    if (refusal != nullptr) {
      model.boxes.emplace_back(refusal);
      busyWindow = window;
    }
    lastEvent = "button " + std::to_string(k) + " of window " + std::to_string(handleBits(window));
    sim.post(form->handle(), win::kStrnxNcLButtonUp, static_cast<std::uint32_t>(x), y);
    sim.refuseTrayAdds = false;
    busyWindow = outerBusy;
    ++stats.clicksByButton[k];
    if (refusal != nullptr) {
      ASSERT_EQ(sim.window(window).rect, before);
      return;
    }
    if (acts) {
      expectAction(button, window, before);
    }
  }

  // The limits are tested before anything else; the refusal box opens
  // before the click's handling ends, so it is expected before the click.
  const char* refusalFor(Button button, const Rect& before, bool refuseIcon) {
    if (button == Button::ToIcon && model.trayed.size() == 4) {
      ++stats.trayRefusals;
      return kTrayRefusal;
    }
    if (button == Button::ToIcon && refuseIcon) {
      ++stats.shellRefusals;
      return kIconRefusal;
    }
    if (button == Button::Shade && before.height() >= 28 && model.shaded.size() == 45) {
      ++stats.shadeRefusals;
      return kShadeRefusal;
    }
    if (button == Button::ToMenu && model.menu.size() == 45) {
      ++stats.menuRefusals;
      return kMenuRefusal;
    }
    return nullptr;
  }

  // While a refusal box is open: a few of the events that can reach the
  // program then, none on the window whose action waits for the box.
  void eventsWhileBoxIsOpen() {
    if (chance(40)) {
      return;
    }
    for (int n = 1 + static_cast<int>(random(3)); n > 0; --n) {
      ++stats.nestedEvents;
      switch (random(7)) {
        case 0:
          tick();
          break;
        case 1:
        case 2:
          clickTitleBar();
          break;
        case 3:
          destroyTarget();
          break;
        case 4:
          clickTrayIcon();
          break;
        case 5:
          doubleClickMenu();
          break;
        default:
          createTarget();
          break;
      }
    }
  }

  Button chooseButton(Hwnd window) {
    const bool open = sim.window(window).rect.height() > 27;
    switch (mood) {
      case Mood::ShadeMany:
        if (open && chance(85)) {
          return Button::Shade;
        }
        if (!open) {
          return chance(50) ? Button::Top : Button::VMax;
        }
        break;
      case Mood::MenuMany:
        if (chance(60)) {
          return Button::ToMenu;
        }
        break;
      case Mood::Drain:
        if (!open && chance(70)) {
          return Button::Shade;
        }
        if (chance(50)) {
          return chance(50) ? Button::VMax : Button::HMax;
        }
        break;
      case Mood::Mixed:
        break;
    }
    return static_cast<Button>(1 + random(6));
  }

  // A point just outside the row (its left column, top or bottom row, the
  // column right of it) or far away: nothing may happen.
  void missButtons(const Rect& rect) {
    const int left = rect.right - kXOffset - 6 * kXStretch;
    const int midY = rect.top + kYOffset + kYStretch / 2;
    const Point points[] = {{left, midY},
                            {rect.right - kXOffset, midY},
                            {rect.right - kXOffset - 20, rect.top + kYOffset},
                            {rect.right - kXOffset - 20, rect.top + kYOffset + kYStretch - 1},
                            {rect.left + 5, rect.top + 5},
                            {rect.right - 10, rect.bottom - 10}};
    const Point point = points[random(std::size(points))];
    sim.post(form->handle(), win::kStrnxNcLButtonUp, static_cast<std::uint32_t>(point.x), point.y);
    ++stats.misses;
  }

  // A click reported while the foreground window is the program's own, the
  // desktop, or none at all: arbitrary points, nothing may happen.
  void strayClick(Hwnd foreground) {
    sim.setForeground(foreground);
    const auto x = static_cast<std::int32_t>(next());
    const std::int32_t y =
        chance(50) ? static_cast<std::int32_t>(next()) : static_cast<std::int32_t>(random(30)) - 10;
    const std::int32_t nearX = -static_cast<std::int32_t>(random(200));
    const auto px = static_cast<std::uint32_t>(chance(50) ? x : nearX);
    lastEvent = "stray click at " + std::to_string(static_cast<std::int32_t>(px)) + "," +
                std::to_string(y) + " with foreground " + std::to_string(handleBits(foreground));
    sim.post(form->handle(), win::kStrnxNcLButtonUp, px, y);
    ++stats.strayMessages;
  }

  void expectAction(Button button, Hwnd window, const Rect& before) {
    const Rect after = sim.window(window).rect;
    Target& target = targets.at(window);
    switch (button) {
      case Button::Top:
        target.topmost = !target.topmost;
        ASSERT_EQ(after, before);
        break;
      case Button::ToIcon:
        expectTrayed(window);
        break;
      case Button::Shade:
        expectShade(window, before, after);
        break;
      case Button::ToMenu:
        expectMenu(window);
        break;
      case Button::VMax:
        expectStretch(model.vStretched, window, before.height(), [&] {
          ASSERT_EQ(after.top, kWorkArea.top);
          ASSERT_EQ(after.height(), kWorkArea.height());
        });
        ASSERT_EQ(after.left, before.left);
        ASSERT_EQ(after.width(), before.width());
        break;
      case Button::HMax:
        expectStretch(model.hStretched, window, before.width(), [&] {
          ASSERT_EQ(after.left, kWorkArea.left);
          ASSERT_EQ(after.width(), kWorkArea.width());
        });
        ASSERT_EQ(after.top, before.top);
        ASSERT_EQ(after.height(), before.height());
        break;
    }
  }

  void expectTrayed(Hwnd window) {
    const std::string title = sim.window(window).title.substr(0, kTitleLength);
    // A window without an icon of its own shows the program's.
    const IconHandle own = targets.at(window).expectedIcon;
    const IconHandle icon = own != IconHandle{} ? own : sim.uiPort().loadIcon(IDI_APPLICATION_ICON);
    model.trayed[model.lowestFreeSlot()] = TrayIcon{window, icon, title.substr(0, kTipLength)};
  }

  void expectShade(Hwnd window, const Rect& before, const Rect& after) {
    const int position = model.shadedPosition(window);
    if (before.height() >= 28) {
      if (position >= 0) {
        model.shaded[static_cast<std::size_t>(position)].second = before.height();
      } else {
        model.shaded.emplace_back(window, before.height());
      }
      ASSERT_EQ(after, (Rect{before.left, before.top, before.right, before.top + 27}));
      return;
    }
    if (position < 0) {
      ASSERT_EQ(after, before);
      return;
    }
    const int height = model.shaded[static_cast<std::size_t>(position)].second;
    model.shaded.erase(model.shaded.begin() + position);
    ASSERT_EQ(after, (Rect{before.left, before.top, before.right, before.top + height}));
  }

  void expectMenu(Hwnd window) {
    model.menu.emplace_back(window, sim.window(window).title.substr(0, kMenuTitleLength));
  }

  template <class CheckStretched>
  void expectStretch(std::map<Hwnd, int>& list, Hwnd window, int size, CheckStretched check) {
    const Rect after = sim.window(window).rect;
    const auto found = list.find(window);
    if (found == list.end()) {
      list[window] = size;
      check();
      return;
    }
    const int saved = found->second;
    list.erase(found);
    const bool vertical = &list == &model.vStretched;
    ASSERT_EQ(vertical ? after.height() : after.width(), saved);
  }

  void destroyTarget() {
    if (targets.empty()) {
      return;
    }
    const Hwnd window = anyTarget();
    if (window == Hwnd{}) {
      return;
    }
    const Target target = targets.at(window);
    sim.destroyWindow(window);
    forget(window);
    freeHandles.push_back(window);
    sim.post(form->handle(), win::kStrnxDestroy, handleBits(window), 0);
    if (target.owner != Hwnd{}) {
      sim.destroyWindow(target.owner);
      sim.post(form->handle(), win::kStrnxDestroy, handleBits(target.owner), 0);
    }
    ++stats.destroyed;
  }

  void forget(Hwnd window) {
    targets.erase(window);
    std::erase_if(model.menu, [window](const auto& e) { return e.first == window; });
    std::erase_if(model.trayed, [window](const auto& e) { return e.second.window == window; });
    std::erase_if(model.shaded, [window](const auto& e) { return e.first == window; });
    model.vStretched.erase(window);
    model.hStretched.erase(window);
  }

  void createTarget() {
    // Now and then the system hands a destroyed window's handle to a new one.
    if (!freeHandles.empty() && chance(25)) {
      const std::size_t index = random(static_cast<std::uint32_t>(freeHandles.size()));
      const Hwnd handle = freeHandles[index];
      freeHandles.erase(freeHandles.begin() + static_cast<std::ptrdiff_t>(index));
      addTarget(handle);
      ++stats.reusedHandles;
      return;
    }
    addTarget();
  }

  void clickTrayIcon() {
    ++stats.trayIconMessages;
    std::uint32_t id = 0;
    if (!model.trayed.empty() && chance(75)) {
      auto it = model.trayed.begin();
      std::advance(it, random(static_cast<std::uint32_t>(model.trayed.size())));
      id = it->first;
    } else {
      const std::uint32_t ids[] = {random(25), 0xFFFFFFFFU, 20U, 0x80000000U, kOwnIconId};
      id = ids[random(std::size(ids))];
    }
    const std::uint32_t messages[] = {
        win::kWmLButtonUp, win::kWmLButtonUp,     win::kWmLButtonUp, win::kWmLButtonDown,
        win::kWmRButtonUp, win::kWmLButtonDblClk, kWmMouseMove,      next()};
    const std::uint32_t message = messages[random(std::size(messages))];
    sim.post(form->handle(), win::kWmAsTray, id, static_cast<std::int32_t>(message));
    const auto found = model.trayed.find(id);
    if (message != win::kWmLButtonUp || found == model.trayed.end()) {
      return;
    }
    const Hwnd window = found->second.window;
    if (sim.window(window).hung) {
      return;  // the icon stays until the window answers
    }
    model.trayed.erase(found);
    ++stats.trayRestores;
    ASSERT_EQ(sim.windowPort().foregroundWindow(), window);
  }

  void doubleClickMenu() {
    ++stats.menuDoubleClicks;
    if (!model.trayFormVisible) {
      rightClickOwnIcon();
    }
    sim::SimControl& list = sim.controlState(tray->handle(), IDC_LISTBOX1);
    const int count = static_cast<int>(list.items.size());
    list.selected = count == 0 || chance(5) ? -1 : static_cast<int>(random(count));
    const std::string text = list.selected < 0 ? std::string() : list.items[list.selected];
    const bool restores = list.selected >= 0;
    lastEvent = "menu double click on \"" + text + "\"";
    sim.doubleClick(tray->handle(), IDC_LISTBOX1);
    if (!restores) {
      return;
    }
    // The oldest window listed under exactly this title comes back.
    const auto found = std::find_if(model.menu.begin(), model.menu.end(),
                                    [&text](const auto& e) { return e.second == text; });
    ASSERT_NE(found, model.menu.end()) << "an item without its window: \"" << text << "\"";
    const Hwnd window = found->first;
    if (!model.menuStay) {
      model.trayFormVisible = false;
    }
    if (sim.window(window).hung) {
      return;  // listed until the window answers
    }
    model.menu.erase(found);
    ++stats.menuRestores;
    ASSERT_EQ(sim.windowPort().foregroundWindow(), window);
  }

  void rightClickOwnIcon() {
    sim.cursor = Point{static_cast<int>(random(1024)), static_cast<int>(random(768))};
    sim.post(form->handle(), win::kWmTray, kOwnIconId,
             static_cast<std::int32_t>(win::kWmRButtonUp));
    model.trayFormVisible = true;
    ASSERT_EQ(sim.windowPort().foregroundWindow(), tray->handle());
  }

  void clickOwnIcon() {
    ++stats.ownIconMessages;
    switch (random(4)) {
      case 0:
        sim.post(form->handle(), win::kWmTray, kOwnIconId,
                 static_cast<std::int32_t>(win::kWmLButtonDblClk));
        model.mainVisible = true;
        ASSERT_EQ(sim.windowPort().foregroundWindow(), form->handle());
        break;
      case 1:
        rightClickOwnIcon();
        break;
      default: {
        const std::uint32_t others[] = {win::kWmLButtonUp, win::kWmLButtonDown, kWmMouseMove,
                                        next()};
        std::uint32_t message = others[random(std::size(others))];
        if (message == win::kWmLButtonDblClk || message == win::kWmRButtonUp) {
          message = win::kWmLButtonUp;
        }
        sim.post(form->handle(), win::kWmTray, next(), static_cast<std::int32_t>(message));
        break;
      }
    }
  }

  void doubleClickMenuCaption() {
    const bool onCaption = chance(70);
    sim.post(tray->handle(), win::kWmNcLButtonDblClk,
             onCaption ? static_cast<std::uint32_t>(win::kHtCaption) : 1 + random(20) + 2, 0);
    if (onCaption) {
      model.menuStay = !model.menuStay;
    }
  }

  void pressEscapeInMenu() {
    sim.keyUp(tray->handle(), chance(50) ? IDC_LISTBOX1 : 0, win::kVkEscape);
    model.trayFormVisible = false;
  }

  void save() {
    ++stats.saves;
    if (chance(50)) {
      model.runEntry = !model.runEntry;
      sim.controlState(form->handle(), IDC_CHKSTART).checked = model.runEntry;
    }
    sim.click(form->handle(), IDC_BTNSAVE);
    // The reload takes "Menu" again, which the form wrote with "<stay>".
    model.menuStay = true;
    ASSERT_EQ(sim.regString(RegRoot::CurrentUser, kRunKey, "Strennix").has_value(), model.runEntry);
    ASSERT_EQ(sim.regString(RegRoot::CurrentUser, kRunKey, "Other"), "C:\\Other\\other.exe");
  }

  void switchNames(bool on) {
    sim.controlState(form->handle(), IDC_CHKNAMES).checked = on;
    sim.click(form->handle(), IDC_CHKNAMES);
    ASSERT_EQ(sim.formControlsPort().enabled(form->control(IDC_BTNEDITNAMES)), on);
    save();
    namesOn = on;
    ASSERT_EQ(program->settings().excludingNames, on);
  }

  void hide() {
    ++stats.hides;
    sim.click(form->handle(), IDC_BTNHIDE);
    model.mainVisible = false;
  }

  // The shell restarts: its notification area is empty until the program
  // answers "TaskbarCreated".
  void restartShell() {
    ++stats.shellRestarts;
    if (chance(70)) {
      sim.trayIcons.clear();
    }
    sim.post(form->handle(), sim.uiPort().registerWindowMessage("TaskbarCreated"), 0, 0);
    for (auto& [slot, icon] : model.trayed) {
      icon.tip = sim.window(icon.window).title.substr(0, kTitleLength).substr(0, kTipLength);
    }
  }

  void retitle() {
    if (const Hwnd window = targets.empty() ? Hwnd{} : anyTarget(); window != Hwnd{}) {
      sim.window(window).title = randomTitle();
    }
  }

  // Destruction reports of windows in no list, and of handles that name no
  // window at all: nothing may change.
  void strayDestroy() {
    ++stats.strayMessages;
    const Hwnd handles[] = {
        Hwnd{next()},   Hwnd{},         sim.windowPort().desktopWindow(),
        form->handle(), tray->handle(), freeHandles.empty() ? Hwnd{} : freeHandles.back()};
    sim.post(form->handle(), win::kStrnxDestroy, handleBits(handles[random(std::size(handles))]),
             static_cast<std::int32_t>(next()));
  }

  // Enough windows to fill the lists to their limits in the moods that aim
  // for them, fewer otherwise: every tick redraws every window.
  [[nodiscard]] std::size_t wantedWindows() const {
    return mood == Mood::ShadeMany || mood == Mood::MenuMany ? 60 : 28;
  }

  void randomEvent() {
    const std::uint32_t roll = random(1000);
    lastEvent = "event " + std::to_string(roll);
    if (roll < 600) {
      clickTitleBar();
    } else if (roll < 640) {
      destroyTarget();
    } else if (roll < 700) {
      if (targets.size() < wantedWindows()) {
        createTarget();
      } else {
        destroyTarget();
      }
    } else if (roll < 780) {
      clickTrayIcon();
    } else if (roll < 860) {
      if (mood != Mood::MenuMany || chance(10)) {
        doubleClickMenu();
      }
    } else if (roll < 880) {
      clickOwnIcon();
    } else if (roll < 890) {
      doubleClickMenuCaption();
    } else if (roll < 900) {
      pressEscapeInMenu();
    } else if (roll < 910) {
      save();
    } else if (roll < 920) {
      hide();
    } else if (roll < 925) {
      restartShell();
    } else if (roll < 960) {
      retitle();
    } else {
      strayDestroy();
    }
  }

  // ---- Checks ---------------------------------------------------------------

  // Every eligible window, hidden or not, gets its six buttons, front window
  // first; the pin shows whether the window is topmost.
  void checkDraws() {
    std::size_t next = 0;
    for (const Hwnd window : sim.zOrder()) {
      const auto target = targets.find(window);
      if (target == targets.end() || !eligible(target->second)) {
        continue;
      }
      ASSERT_LE(next + 6, sim.draws.size()) << "no buttons on window " << handleBits(window);
      for (std::size_t k = 0; k < 6; ++k) {
        ASSERT_EQ(sim.draws[next + k].window, window);
      }
      ASSERT_EQ(sim.draws[next].icon, target->second.topmost ? pinnedIcon : pinIcon);
      next += 6;
    }
    ASSERT_EQ(next, sim.draws.size()) << "buttons on a window that must have none";
  }

  void checkModel() {
    const WindowLists& lists = program->lists();
    // Tray menu windows, oldest first; position 0 never used.
    ASSERT_EQ(lists.menu().count(), static_cast<int>(model.menu.size()));
    ASSERT_LE(lists.menu().count(), 45);
    ASSERT_EQ(lists.menu().at(0).hwnd, Hwnd{});
    for (std::size_t i = 0; i < model.menu.size(); ++i) {
      ASSERT_EQ(lists.menu().at(i + 1).hwnd, model.menu[i].first);
      ASSERT_EQ(lists.menu().at(i + 1).title, model.menu[i].second);
    }
    checkMenuItems();
    // Tray-icon windows by slot.
    ASSERT_EQ(lists.trayed().count(), static_cast<int>(model.trayed.size()));
    ASSERT_LE(lists.trayed().count(), 4);
    for (std::uint32_t slot = 0; slot < kTraySlots; ++slot) {
      const auto found = model.trayed.find(slot);
      ASSERT_EQ(lists.trayed().at(slot).free, found == model.trayed.end()) << "slot " << slot;
      if (found != model.trayed.end()) {
        ASSERT_EQ(lists.trayed().at(slot).hwnd, found->second.window);
      }
    }
    checkTrayIcons();
    // Shaded windows in order of rolling up, with their heights.
    ASSERT_EQ(lists.shaded().count(), static_cast<int>(model.shaded.size()));
    ASSERT_LE(lists.shaded().count(), 45);
    ASSERT_EQ(lists.shaded().at(0).hwnd, Hwnd{});
    for (std::size_t i = 0; i < model.shaded.size(); ++i) {
      ASSERT_EQ(lists.shaded().at(i + 1).hwnd, model.shaded[i].first);
      ASSERT_EQ(lists.shaded().at(i + 1).height, model.shaded[i].second);
    }
    checkStretched(lists.stretched(Axis::Vertical), model.vStretched);
    checkStretched(lists.stretched(Axis::Horizontal), model.hStretched);
    checkWindows();
    checkForms();
    checkBoxesAndHandles();
    stats.maxShaded = std::max(stats.maxShaded, lists.shaded().count());
    stats.maxMenu = std::max(stats.maxMenu, lists.menu().count());
    stats.maxTrayed = std::max(stats.maxTrayed, lists.trayed().count());
  }

  // The list shows one item per listed window, sorted by name without regard
  // to case.
  void checkMenuItems() {
    const std::vector<std::string>& items = sim.controlState(tray->handle(), IDC_LISTBOX1).items;
    std::vector<std::string> listed;
    for (const auto& entry : model.menu) {
      listed.push_back(entry.second);
    }
    // Sorting is the costly part; a list and a model that have not changed
    // since the last step were already found to agree.
    if (items == checkedItems && listed == checkedTitles) {
      return;
    }
    checkedItems = items;
    checkedTitles = listed;
    std::vector<std::string> shown = items;
    std::sort(shown.begin(), shown.end());
    std::sort(listed.begin(), listed.end());
    ASSERT_EQ(shown, listed);
    for (std::size_t i = 1; i < items.size(); ++i) {
      ASSERT_LE(lower(items[i - 1]), lower(items[i]));
    }
  }

  void checkTrayIcons() {
    ASSERT_EQ(sim.trayIcons.size(), model.trayed.size() + 1);
    const auto own = sim.trayIcons.find({form->handle(), kOwnIconId});
    ASSERT_NE(own, sim.trayIcons.end());
    ASSERT_EQ(own->second.callbackMessage, win::kWmTray);
    ASSERT_EQ(own->second.tip, "Strennix");
    for (const auto& [slot, expected] : model.trayed) {
      const auto icon = sim.trayIcons.find({form->handle(), slot});
      ASSERT_NE(icon, sim.trayIcons.end()) << "no icon in slot " << slot;
      ASSERT_EQ(icon->second.callbackMessage, win::kWmAsTray);
      ASSERT_EQ(icon->second.icon, expected.icon);
      ASSERT_EQ(icon->second.tip, expected.tip);
    }
  }

  static void checkStretched(const StretchList& records, const std::map<Hwnd, int>& expected) {
    ASSERT_EQ(static_cast<std::size_t>(records.count()), expected.size());
    for (const StretchedWindow& record : records) {
      const auto found = expected.find(record.hwnd);
      ASSERT_NE(found, expected.end()) << "a record of window " << handleBits(record.hwnd);
      ASSERT_EQ(record.savedSize, found->second);
    }
  }

  // A window is hidden exactly while it is in the tray or the menu, and an
  // owner of class "TApplication" goes with it.
  void checkWindows() {
    std::vector<Hwnd> hiddenWindows;
    for (const auto& entry : model.menu) {
      hiddenWindows.push_back(entry.first);
    }
    for (const auto& [slot, icon] : model.trayed) {
      hiddenWindows.push_back(icon.window);
    }
    std::sort(hiddenWindows.begin(), hiddenWindows.end());
    for (const auto& [handle, target] : targets) {
      const bool hidden = std::binary_search(hiddenWindows.begin(), hiddenWindows.end(), handle);
      ASSERT_EQ(sim.windowPort().isVisible(handle), !hidden) << "window " << handleBits(handle);
      const bool topmost = (sim.window(handle).exStyle & win::kWsExTopmost) != 0;
      ASSERT_EQ(topmost, target.topmost);
      if (target.owner != Hwnd{}) {
        ASSERT_EQ(sim.windowPort().isVisible(target.owner), !(hidden && target.ownerFollows));
      }
    }
  }

  void checkForms() {
    ASSERT_EQ(sim.windowPort().isVisible(form->handle()), model.mainVisible);
    ASSERT_EQ(sim.windowPort().isVisible(tray->handle()), model.trayFormVisible);
    ASSERT_EQ(program->settings().menuStay, model.menuStay);
    ASSERT_EQ(program->settings().numberOfButtons, 6);
    ASSERT_EQ(sim.timers.at({form->handle(), IDT_TIMER1}), 100U);
  }

  // Refusals only, each once and in order; and no handle is held between
  // two events but the hook library's.
  void checkBoxesAndHandles() {
    ASSERT_EQ(sim.messageBoxes.size(), model.boxes.size());
    for (; checkedBoxes < model.boxes.size(); ++checkedBoxes) {
      const sim::MessageBoxCall& box = sim.messageBoxes[checkedBoxes];
      ASSERT_EQ(box.text, model.boxes[checkedBoxes]);
      ASSERT_EQ(box.owner, Hwnd{});
      ASSERT_EQ(box.caption, "Strennix");
      ASSERT_EQ(box.flags, win::kMbIconInformation | win::kMbSetForeground | win::kMbTopmost);
    }
    ASSERT_EQ(sim.registryKeys.open(), 0);
    ASSERT_EQ(sim.windowDcs.open(), 0);
    ASSERT_EQ(sim.brushes.open(), 0);
    ASSERT_EQ(sim.processHandles.open(), 0);
    ASSERT_EQ(sim.snapshotHandles.open(), 0);
    ASSERT_EQ(sim.modules.open(), 1) << "only hook.dll stays loaded";
    ASSERT_EQ(sim.strayReleases, 0);
    ASSERT_EQ(sim.hooks.size(), 2U);
  }

  // Taken before the exit: what a window that does not answer must leave in
  // the journal for a later start.
  struct HungAtExit {
    Hwnd window{};
    Change change = Change::Shaded;
  };
  [[nodiscard]] std::vector<HungAtExit> hungAtExit() {
    std::vector<HungAtExit> hung;
    for (const auto& [window, height] : model.shaded) {
      if (sim.window(window).hung) {
        hung.push_back({window, Change::Shaded});
      }
    }
    for (const auto& [slot, icon] : model.trayed) {
      if (sim.window(icon.window).hung) {
        hung.push_back({icon.window, Change::Trayed});
      }
    }
    for (const auto& [window, title] : model.menu) {
      if (sim.window(window).hung) {
        hung.push_back({window, Change::Menu});
      }
    }
    return hung;
  }

  void checkExit(const std::vector<HungAtExit>& hung) {
    const auto isHung = [this](Hwnd window) { return sim.window(window).hung; };
    // Every shaded window has its stored height back, whatever happened to
    // it since, and keeps its width and top-left corner; one that does not
    // answer is not waited for and stays in the journal.
    for (const HungAtExit& entry : hung) {
      ASSERT_NE(program->journal().find(entry.change, entry.window), nullptr)
          << handleBits(entry.window);
    }
    ASSERT_EQ(program->journal().records().size(), hung.size());
    for (const auto& [window, height] : model.shaded) {
      ASSERT_TRUE(isHung(window) || sim.window(window).rect.height() == height)
          << handleBits(window);
    }
    for (const auto& [handle, target] : targets) {
      if (isHung(handle)) {
        continue;
      }
      ASSERT_TRUE(sim.windowPort().isVisible(handle)) << "window " << handleBits(handle);
      if (target.owner != Hwnd{}) {
        ASSERT_TRUE(sim.windowPort().isVisible(target.owner));
      }
    }
    EXPECT_TRUE(sim.trayIcons.empty());
    EXPECT_EQ(program->lists().trayed().count(), 0);
    EXPECT_EQ(sim.listBoxPort().listCount(listBox), 0);
    EXPECT_TRUE(sim.hooks.empty());
    EXPECT_TRUE(sim.quitRequested);
    EXPECT_EQ(sim.messageBoxes.size(), model.boxes.size());
  }

  template <class Event>
  void step(Event event) {
    event();
    checkModel();
  }

  testsupport::NestingBoxes boxes{sim, [this] { eventsWhileBoxIsOpen(); }};
  IconHandle pinIcon{};
  IconHandle pinnedIcon{};
  FormControl listBox;

  std::mt19937 rng;
  std::map<Hwnd, Target> targets;
  std::vector<Hwnd> freeHandles;
  Model model;
  Stats stats;
  Lookup lookup = Lookup::Psapi;
  bool namesOn = true;
  Mood mood = Mood::Mixed;
  Hwnd busyWindow{};
  std::string lastEvent;
  std::vector<std::string> checkedItems;
  std::vector<std::string> checkedTitles;
  std::size_t checkedBoxes = 0;
};

TEST_F(SoakTest, AHundredThousandTicksAndTenThousandClicksKeepEveryListTrueAndLeakNothing) {
  const auto began = std::chrono::steady_clock::now();
  start();
  ASSERT_FALSE(sim.windowPort().isVisible(form->handle()));
  for (int i = 0; i < 40; ++i) {
    addTarget();
  }
  checkModel();
  ASSERT_FALSE(HasFatalFailure());

  const Mood moods[] = {Mood::Mixed, Mood::ShadeMany, Mood::MenuMany, Mood::Drain};
  for (int i = 0; i < kTicks || stats.titleClicks < kMinTitleClicks; ++i) {
    for (const Phase& phase : kPhases) {
      if (phase.tick == i) {
        setLookup(phase.lookup);
        step([this, &phase] { switchNames(phase.names); });
      }
    }
    if (i % 4000 == 0) {
      mood = moods[random(std::size(moods))];
    }
    if (i < kTicks) {
      step([this] { tick(); });
      ASSERT_FALSE(HasFatalFailure()) << "after tick " << i;
    }
    const int events = chance(30) ? 1 + static_cast<int>(random(3)) : 0;
    for (int e = 0; e < events; ++e) {
      step([this] { randomEvent(); });
      ASSERT_FALSE(HasFatalFailure()) << "at step " << i << ": " << lastEvent;
    }
  }

  const std::vector<HungAtExit> hung = hungAtExit();
  sim.click(form->handle(), IDC_BTNQUIT);
  checkExit(hung);
  const auto ranFor = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - began);

  EXPECT_GE(stats.ticks, kTicks);
  EXPECT_GE(stats.titleClicks, kMinTitleClicks);
  for (int k = 1; k <= 6; ++k) {
    EXPECT_GT(stats.clicksByButton[k], 1000) << "button " << k;
  }
  // Every limit was reached and refused, and the lists drained again.
  EXPECT_GT(stats.shadeRefusals, 0);
  EXPECT_GT(stats.trayRefusals, 0);
  EXPECT_GT(stats.menuRefusals, 0);
  EXPECT_EQ(stats.maxShaded, 45);
  EXPECT_EQ(stats.maxMenu, 45);
  EXPECT_EQ(stats.maxTrayed, 4);
  EXPECT_GT(stats.menuRestores, 100);
  EXPECT_GT(stats.trayRestores, 100);
  EXPECT_GT(stats.reusedHandles, 10);
  // All three ways of naming a process were used and gave their handles back.
  EXPECT_GT(sim.processHandles.acquired, 1000);
  EXPECT_GT(sim.snapshotHandles.acquired, 1000);
  EXPECT_GT(sim.registryKeys.acquired, 1000);

  program.reset();
  EXPECT_TRUE(sim.everythingReleased());
  EXPECT_TRUE(sim.timers.empty());

  std::printf(
      "[ soak     ] seed %#x: %d ticks, %d title clicks (%d misses, %d stray), %d destroyed, "
      "%d created (%d reused handles), %d events while a box was open, %d tray-icon messages (%d "
      "restores), %d menu double "
      "clicks (%d restores), %d own-icon messages, %d saves, %d hides, %d shell restarts, "
      "refusals: %d shade, %d tray, %d menu, %d by the shell; peaks %d shaded, %d menu, %d "
      "trayed; %lld ms\n",
      kSeed, stats.ticks, stats.titleClicks, stats.misses, stats.strayMessages, stats.destroyed,
      stats.created, stats.reusedHandles, stats.nestedEvents, stats.trayIconMessages,
      stats.trayRestores, stats.menuDoubleClicks, stats.menuRestores, stats.ownIconMessages,
      stats.saves, stats.hides, stats.shellRestarts, stats.shadeRefusals, stats.trayRefusals,
      stats.menuRefusals, stats.shellRefusals, stats.maxShaded, stats.maxMenu, stats.maxTrayed,
      static_cast<long long>(ranFor.count()));
}

}  // namespace
}  // namespace strennix
