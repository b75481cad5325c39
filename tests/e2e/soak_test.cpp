// A minute of random real clicks on the buttons painted into six windows (on
// a busy machine longer, until every action ran), while the program redraws
// them on every window ten times a second: once
// every window is back, the program holds exactly the GDI and USER objects it
// held before, still takes messages and still shows its tray icon alone.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/titlebar.h"

namespace strennix::e2e {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kSoakTime = 60s;
// A busy machine fits fewer clicks into a minute: the clicks then go on until
// every action ran twice and windows came back both ways, up to this long.
constexpr auto kSoakLimit = 6min;
// The clicks are drawn from this seed; STRENNIX_SOAK_SEED replays another.
constexpr std::uint32_t kDefaultSeed = 1729;

constexpr std::uint32_t kWsExTopmost = 0x00000008;
constexpr std::uint32_t kWsMaximize = 0x01000000;
constexpr int kMaxTrayed = 4;
// The taskbar's right end, where the notification area is.
constexpr Rect kTrayArea{904, 728, 1024, 768};
// Wine 8 keeps one bitmap in a process each time it shows a window whose
// class icon is monochrome, as the program's icon is: a thirty-line program
// that shows and hides such a window does the same, and keeps nothing with a
// colour icon. So every show of the tray menu leaves one bitmap behind.
constexpr int kWineBitmapType = 0x09;
constexpr long kWineBitmapsPerMenuShow = 1;

// The six buttons in slot order, counted from the right.
enum Action { kTop, kToIcon, kShade, kToMenu, kVMax, kHMax, kActions };
constexpr const char* kActionNames[kActions] = {"top", "toicon", "shade", "tomenu", "vmax", "hmax"};

// What the program holds, as `testdriver guiresources` counts it: through
// GetGuiResources, or, where Wine does not implement it, the entries of the
// process's GDI handle table by type and the process's windows.
struct GuiObjects {
  long gdi = -1;
  long user = -1;
  std::map<int, long> gdiByType;
  bool operator==(const GuiObjects&) const = default;
};

std::string countsText(const GuiObjects& objects) {
  std::string text = "GDI " + std::to_string(objects.gdi);
  if (!objects.gdiByType.empty()) {
    text += " (";
    for (const auto& [type, count] : objects.gdiByType) {
      char field[24] = {};
      std::snprintf(field, sizeof field, "%s%02x:%ld", text.back() == '(' ? "" : " ", type, count);
      text += field;
    }
    text += ")";
  }
  return text + ", USER " + std::to_string(objects.user);
}

struct GuiObjectsReading {
  std::optional<GuiObjects> objects;
  bool fromWineTable = false;
  std::string line;  // the driver's
};

// "key=value ... note=free text" as `testdriver guiresources` prints it.
std::map<std::string, std::string> keyValues(const std::string& line) {
  std::map<std::string, std::string> values;
  const auto note = line.find(" note=");
  std::istringstream in(line.substr(0, note));
  for (std::string field; in >> field;) {
    if (const auto equals = field.find('='); equals != std::string::npos) {
      values[field.substr(0, equals)] = field.substr(equals + 1);
    }
  }
  return values;
}

// "01:11,04:7,...": counts by type, the type in hex.
std::map<int, long> countsByType(const std::string& text) {
  std::map<int, long> counts;
  std::istringstream in(text);
  for (std::string field; std::getline(in, field, ',');) {
    int type = 0;
    long count = 0;
    if (std::sscanf(field.c_str(), "%x:%ld", &type, &count) == 2) {
      counts[type] = count;
    }
  }
  return counts;
}

GuiObjectsReading parseGuiObjects(const std::string& line) {
  auto values = keyValues(line);
  const auto number = [&values](const std::string& key) {
    return values.contains(key) ? std::strtol(values[key].c_str(), nullptr, 10) : -1L;
  };
  GuiObjectsReading reading{std::nullopt, false, line};
  if (number("gdi") > 0 && number("user") > 0) {
    reading.objects = GuiObjects{number("gdi"), number("user"), {}};
  } else if (number("gditable") > 0 && number("windows") > 0) {
    reading.objects =
        GuiObjects{number("gditable"), number("windows"), countsByType(values["gdibytype"])};
    reading.fromWineTable = true;
  }
  return reading;
}

bool contains(const Rect& rect, const ScreenPoint& point) {
  return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
         point.y < rect.bottom;
}

class GuiObjectSoakTest : public EditionTest<TitleBarDesktop> {
 protected:
  enum class Hidden { kNo, kTray, kMenu };

  // A target window and what the program keeps about it.
  struct Target {
    std::uint32_t hwnd = 0;
    std::string title;
    Hidden hidden = Hidden::kNo;
    bool shaded = false;  // in the program's list of rolled-up windows
  };

  struct Tally {
    int clicks[kActions] = {};
    int covered = 0;
    int fromTray = 0;
    int fromMenu = 0;
    int menuShows = 0;
  };

  GuiObjectsReading readGuiObjects() {
    return parseGuiObjects(splitLines(driver({"guiresources", "--class", "TStrennix"})).at(0));
  }

  GuiObjects readCounts() {
    const GuiObjectsReading reading = readGuiObjects();
    if (!reading.objects) {
      throw std::runtime_error("the GUI object counts went away: " + reading.line);
    }
    return *reading.objects;
  }

  // Counts that three readings in a row agree on: a reading taken while a
  // tick draws also counts that tick's device context and brush.
  GuiObjects settledCounts(const std::string& when) {
    std::vector<GuiObjects> readings;
    waitFor(
        [&] {
          readings.push_back(readCounts());
          const auto n = readings.size();
          return n >= 3 && readings[n - 1] == readings[n - 2] && readings[n - 2] == readings[n - 3];
        },
        "the program's GUI object counts to settle " + when);
    return readings.back();
  }

  WindowInfo current(const Target& target) {
    return findWindow(Window::byHandle(target.hwnd)).value_or(WindowInfo{});
  }

  WindowInfo waitForState(const Target& target, const std::function<bool(const WindowInfo&)>& check,
                          const std::string& what) {
    return expectEventually([&] { return current(target); },
                            [&](const WindowInfo& info) { return info.hwnd != 0 && check(info); },
                            "\"" + target.title + "\" " + what);
  }

  // How many columns of plain taskbar there are left of the program's own
  // icon: the cells of windows' tray icons widen the stretch (Wine shows them
  // without a picture) or break it (with one).
  [[nodiscard]] int plainTaskbarLeftOfOwnIcon(const Screen& screen) const {
    const Rgb plain = screen.at(ownIcon_.x, ownIcon_.y);  // the icon's transparent corner
    int x = ownIcon_.x - 1;
    for (; x >= 0; --x) {
      for (int y = ownIcon_.y; y < ownIcon_.y + 16; ++y) {
        if (screen.at(x, y) != plain) {
          return ownIcon_.x - 1 - x;
        }
      }
    }
    return ownIcon_.x;
  }

  // The tray as at the start: the program's icon where it was, and no other
  // icon beside it.
  bool trayAsAtStart(int plainColumns) {
    const Screen screen = grab();
    const std::optional<ScreenPoint> own = findProgramTrayIcon(screen, kTrayArea);
    return own.has_value() && own->x == ownIcon_.x && own->y == ownIcon_.y &&
           plainTaskbarLeftOfOwnIcon(screen) == plainColumns;
  }

  // What the clicks are to show at the least: every action twice, and
  // windows back from the tray and from the menu.
  [[nodiscard]] bool everythingRan() const {
    return std::all_of(std::begin(tally_.clicks), std::end(tally_.clicks),
                       [](int clicks) { return clicks >= 2; }) &&
           tally_.fromTray >= 1 && tally_.fromMenu >= 1;
  }

  std::uint32_t draw(std::size_t bound) {
    return static_cast<std::uint32_t>(random_()) % static_cast<std::uint32_t>(bound);
  }

  // Successive clicks alternate between points six pixels apart: two on one
  // spot could make a double-click on the caption, which maximizes the window.
  ScreenPoint buttonPoint(const WindowInfo& window, Action action) {
    const ScreenPoint corner = slotCorner(window, action + 1);
    alternate_ = !alternate_;
    return {corner.x + (alternate_ ? 5 : 11), window.rect.top + 13};
  }

  // The state change that shows that the click reached the action.
  static bool acted(Action action, const WindowInfo& before, const WindowInfo& after) {
    switch (action) {
      case kTop:
        return after.topmost != before.topmost;
      case kToIcon:
      case kToMenu:
        return !after.visible;
      case kShade:
        return after.rect.height() != before.rect.height();
      case kVMax:
        return after.rect.top != before.rect.top || after.rect.height() != before.rect.height();
      case kHMax:
        return after.rect.left != before.rect.left || after.rect.width() != before.rect.width();
      default:
        return false;
    }
  }

  // A click on a random button of the window, brought to the foreground
  // first. A button that another window covers is not clicked.
  void clickRandomButton(Target& target) {
    setForeground(Window::byHandle(target.hwnd));
    const WindowInfo before = waitForState(
        target, [](const WindowInfo& info) { return info.visible && info.foreground; },
        "to be the foreground window");
    std::vector<Action> choices = {kTop, kToIcon, kShade, kToMenu, kVMax, kHMax};
    if (static_cast<int>(trayOrder_.size()) == kMaxTrayed) {
      // A fifth would be refused with a message box.
      std::erase(choices, kToIcon);
    }
    if (before.rect.height() <= kShadedHeight && !target.shaded) {
      // The program leaves alone a low window that it did not roll up.
      std::erase(choices, kShade);
    }
    const Action action = choices[draw(choices.size())];
    const ScreenPoint point = buttonPoint(before, action);
    for (const WindowInfo& window : listWindows(true)) {  // the top of the z-order first
      if (window.hwnd == target.hwnd) {
        break;
      }
      if (contains(window.rect, point)) {
        ++tally_.covered;
        return;
      }
    }

    click(point.x, point.y);
    const WindowInfo after = waitForState(
        target, [&](const WindowInfo& info) { return acted(action, before, info); },
        std::string("to take the click on its ") + kActionNames[action] + " button");
    ASSERT_EQ(after.style & kWsMaximize, 0u)
        << target.title << " was maximized: a double-click on its caption";
    ++tally_.clicks[action];
    if (action == kToIcon) {
      target.hidden = Hidden::kTray;
      trayOrder_.push_back(&target);
    } else if (action == kToMenu) {
      target.hidden = Hidden::kMenu;
    } else if (action == kShade) {
      target.shaded = before.rect.height() > kShadedHeight;
    }
  }

  // A click on the window's tray icon brings it back.
  void restoreFromTray(Target& target) {
    const auto cell = std::find(trayOrder_.begin(), trayOrder_.end(), &target);
    const int index = static_cast<int>(cell - trayOrder_.begin()) + 1;
    click(ownIcon_.x + 8 - index * kTrayCell, ownIcon_.y + 8);
    waitForState(
        target, [](const WindowInfo& info) { return info.visible && info.foreground; },
        "to come back from its tray icon");
    trayOrder_.erase(cell);
    target.hidden = Hidden::kNo;
    ++tally_.fromTray;
  }

  // The right button on the program's own icon shows the tray menu.
  void showTrayMenu() {
    click(ownIcon_.x + 8, ownIcon_.y + 8, 3);
    waitFor([this] { return findWindow(trayMenu_).value_or(WindowInfo{}).foreground; },
            "the tray menu to show in the foreground");
    ++tally_.menuShows;
  }

  void waitUntilTrayMenuHides() {
    waitFor([this] { return !findWindow(trayMenu_).value_or(WindowInfo{.visible = true}).visible; },
            "the tray menu to hide");
  }

  // The screen rectangle of the title in the tray menu's list.
  std::optional<Rect> menuItem(const std::string& title) {
    const std::string items =
        driver({"items", "--class", "TTrayForm", "--id", std::to_string(IDC_LISTBOX1)});
    for (const std::string& line : splitLines(items)) {
      Rect rect;
      int index = 0;
      int selected = 0;
      int consumed = 0;
      if (std::sscanf(line.c_str(), "index=%d rect=%d,%d,%d,%d selected=%d text=%n", &index,
                      &rect.left, &rect.top, &rect.right, &rect.bottom, &selected,
                      &consumed) == 6 &&
          consumed > 0 && line.substr(static_cast<std::size_t>(consumed)) == title) {
        return rect;
      }
    }
    return std::nullopt;
  }

  // A double-click on the window's title in the tray menu brings it back;
  // without "<stay>" the menu hides itself then.
  void restoreFromMenu(Target& target) {
    showTrayMenu();
    const std::optional<Rect> item = menuItem(target.title);
    ASSERT_TRUE(item.has_value()) << "\"" << target.title << "\" is not in the tray menu";
    const ScreenPoint title = centre(*item);
    doubleClick(title.x, title.y);
    waitForState(
        target, [](const WindowInfo& info) { return info.visible && info.foreground; },
        "to come back from the tray menu");
    waitUntilTrayMenuHides();
    target.hidden = Hidden::kNo;
    ++tally_.fromMenu;
  }

  void restore(Target& target) {
    if (target.hidden == Hidden::kTray) {
      restoreFromTray(target);
    } else if (target.hidden == Hidden::kMenu) {
      restoreFromMenu(target);
    }
  }

  // Mostly a click on a shown window; now and then a hidden window brought
  // back, and always when none is shown.
  void step() {
    std::vector<Target*> shown;
    std::vector<Target*> hidden;
    for (Target& target : targets_) {
      (target.hidden == Hidden::kNo ? shown : hidden).push_back(&target);
    }
    if (!hidden.empty() && (shown.empty() || draw(4) == 0)) {
      restore(*hidden[draw(hidden.size())]);
      return;
    }
    clickRandomButton(*shown[draw(shown.size())]);
  }

  // Six windows in two rows, three with an icon of their own. One stays on
  // top from the start, so that both pictures of the pin are drawn before
  // the counts are first taken.
  void openTargets() {
    const std::vector<ScreenPoint> corners = {{20, 40},  {360, 40},  {700, 40},
                                              {20, 330}, {360, 330}, {700, 330}};
    for (std::size_t i = 0; i < corners.size(); ++i) {
      const std::string title = std::string("Soak ") + static_cast<char>('A' + i);
      const Rect rect{corners[i].x, corners[i].y, corners[i].x + 300, corners[i].y + 200};
      const OpenedWindow opened = openWindow({.title = title,
                                              .exStyle = i == 1 ? kWsExTopmost : 0u,
                                              .rect = rect,
                                              .icon = i % 2 == 0});
      targets_.push_back({opened.hwnd, title});
    }
    waitFor(
        [&] {
          const Screen screen = grab();
          return std::all_of(targets_.begin(), targets_.end(), [&](const Target& target) {
            const WindowInfo info = current(target);
            return info.visible && allButtonsShown(screen, info, info.topmost);
          });
        },
        "the buttons on all six windows");
  }

  const Window trayMenu_ = Window::byClass("TTrayForm");
  std::vector<Target> targets_;
  std::vector<Target*> trayOrder_;  // the oldest icon first
  ScreenPoint ownIcon_;
  std::mt19937 random_;
  bool alternate_ = false;
  Tally tally_;
};

TEST_P(GuiObjectSoakTest, AMinuteOfRandomClicksLeavesNoGdiOrUserObjectBehind) {
  const char* seedText = std::getenv("STRENNIX_SOAK_SEED");
  const std::uint32_t seed = seedText != nullptr
                                 ? static_cast<std::uint32_t>(std::strtoul(seedText, nullptr, 10))
                                 : kDefaultSeed;
  random_.seed(seed);
  RecordProperty("seed", std::to_string(seed));
  std::printf("soak seed %u (STRENNIX_SOAK_SEED replays it)\n", seed);

  // The fastest redraw, on every window; the tray menu hides after a restore.
  writeDefaultSettings({{"Priority", "9"}, {"DrawOn", "<all>"}, {"Menu", "<alpha>"}});
  startHidden();
  const GuiObjectsReading counted = readGuiObjects();
  if (!counted.objects) {
    GTEST_SKIP() << "No GDI or USER object counts of the program can be read here, so no leak can "
                    "be measured: "
                 << counted.line;
  }
  std::printf("%s\n", counted.line.c_str());
  openTargets();
  std::optional<ScreenPoint> own;
  waitFor(
      [&] {
        own = findProgramTrayIcon(grab(), kTrayArea);
        return own.has_value();
      },
      "the program's icon in the notification area");
  ownIcon_ = *own;

  // What only the first show of a window makes (the caches of Wine's
  // painting, its OLE window for the thread) is made before the counts are
  // taken.
  showTrayMenu();
  pressKeys("Escape");
  waitUntilTrayMenuHides();
  mouseMove(512, 300);
  const GuiObjects baseline = settledCounts("after the first ticks");
  const int plainColumns = plainTaskbarLeftOfOwnIcon(grab("soak-before.png"));
  tally_ = Tally{};

  const auto start = Clock::now();
  const auto goOn = [&] {
    const auto elapsed = Clock::now() - start;
    return elapsed < kSoakLimit && (elapsed < kSoakTime || !everythingRan());
  };
  int steps = 0;
  while (goOn() && !HasFatalFailure()) {
    step();
    ++steps;
  }
  const auto soaked = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start);
  ASSERT_FALSE(HasFatalFailure());
  const GuiObjects afterClicks = readCounts();
  grab("soak-after-clicks.png");

  // Every window back, the way a user brings them back.
  for (Target& target : targets_) {
    restore(target);
    ASSERT_FALSE(HasFatalFailure());
  }
  mouseMove(512, 300);
  for (const Target& target : targets_) {
    EXPECT_TRUE(current(target).visible) << target.title;
  }

  GuiObjects expected = baseline;
  if (counted.fromWineTable) {
    const long wineBitmaps = kWineBitmapsPerMenuShow * tally_.menuShows;
    expected.gdi += wineBitmaps;
    expected.gdiByType[kWineBitmapType] += wineBitmaps;
  }
  // The objects of the last drawing or restore may still be on their way
  // out: the readings until then tell how far off the counts are.
  std::vector<GuiObjects> readings;
  const auto deadline = Clock::now() + kDefaultTimeout;
  do {
    readings.push_back(readCounts());
  } while (readings.back() != expected && Clock::now() < deadline);
  std::string history;
  for (const GuiObjects& reading : readings) {
    history += "\n  " + countsText(reading);
  }

  std::printf("%d steps in %lld s: ", steps, static_cast<long long>(soaked.count()));
  for (int a = 0; a < kActions; ++a) {
    std::printf("%s %d, ", kActionNames[a], tally_.clicks[a]);
  }
  std::printf("covered %d; back from the tray %d, from the menu %d; menu shown %d times\n",
              tally_.covered, tally_.fromTray, tally_.fromMenu, tally_.menuShows);
  std::printf("baseline   %s\nafter clicks %s\nat the end %s\nexpected   %s\n",
              countsText(baseline).c_str(), countsText(afterClicks).c_str(),
              countsText(readings.back()).c_str(), countsText(expected).c_str());
  RecordProperty("baseline", countsText(baseline));
  RecordProperty("end", countsText(readings.back()));

  EXPECT_EQ(readings.back(), expected)
      << "the program holds other GDI or USER objects than before the clicks:\n  baseline "
      << countsText(baseline) << "\n  expected " << countsText(expected)
      << "\nreadings:" << history;
  // Every action ran, and windows came back both ways.
  for (int a = 0; a < kActions; ++a) {
    EXPECT_GE(tally_.clicks[a], 2) << kActionNames[a];
  }
  EXPECT_GE(tally_.fromTray, 1);
  EXPECT_GE(tally_.fromMenu, 1);

  // Still taking messages, and its own icon alone in the tray.
  EXPECT_TRUE(responds(mainForm));
  waitFor([&] { return trayAsAtStart(plainColumns); },
          "the program's icon alone in the notification area, as before the clicks");
  grab("soak-end.png");
}

STRENNIX_TEST_EDITIONS(GuiObjectSoakTest, runnableEditions());

}  // namespace
}  // namespace strennix::e2e
