// What the title-bar tests share: a second start of Strennix with the
// first start's settings, plain target windows, screenshots read pixel by
// pixel and compared with the committed text pictures of the icons, and real
// clicks on the painted buttons.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/harness.h"
#include "tests/support/defaultsettings.h"
#include "tools/icongen/icongen.h"

namespace strennix::e2e {

struct ScreenPoint {
  int x = 0;
  int y = 0;
};

// Where the taskbar keeps its notification area: the bottom right of the
// 1024 x 768 desktop; its icons are 16 x 16.
inline constexpr Rect kTrayArea{724, 728, 1024, 768};
inline constexpr int kTrayIconSize = 16;

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  bool operator==(const Rgb&) const = default;
};

// The 16 colours of a 4-bit Windows icon, in palette order.
inline Rgb standardColour(int index) {
  static constexpr std::array<Rgb, 16> kColours = {{{0, 0, 0},
                                                    {128, 0, 0},
                                                    {0, 128, 0},
                                                    {128, 128, 0},
                                                    {0, 0, 128},
                                                    {128, 0, 128},
                                                    {0, 128, 128},
                                                    {192, 192, 192},
                                                    {128, 128, 128},
                                                    {255, 0, 0},
                                                    {0, 255, 0},
                                                    {255, 255, 0},
                                                    {0, 0, 255},
                                                    {255, 0, 255},
                                                    {0, 255, 255},
                                                    {255, 255, 255}}};
  return kColours.at(static_cast<std::size_t>(index));
}

// A committed icon picture, resources/icons/<name>.txt.
inline icongen::IconPicture iconPicture(const std::string& name) {
  std::ifstream in(std::filesystem::path(STRENNIX_ICONS_DIR) / (name + ".txt"));
  std::ostringstream text;
  text << in.rdbuf();
  return icongen::parseIconText(text.str());
}

// The icons of the slots counted from the right, as the default settings
// (all six buttons on) place them; slot 1 shows `pin` or `pinned`.
inline const std::vector<std::string>& slotIcons(bool topmost) {
  static const std::vector<std::string> kUnpinned = {"pin",    "toicon", "shade",
                                                     "tomenu", "vmax",   "hmax"};
  static const std::vector<std::string> kPinned = {"pinned", "toicon", "shade",
                                                   "tomenu", "vmax",   "hmax"};
  return topmost ? kPinned : kUnpinned;
}

// A screenshot as pixels: a binary PPM as ImageMagick writes it, with 8 or
// 16 bits a sample (the high byte of a 16-bit sample is the 8-bit value).
class Screen {
 public:
  static Screen read(const std::filesystem::path& ppm) {
    std::ifstream in(ppm, std::ios::binary);
    Screen screen;
    std::string magic;
    int maximum = 0;
    in >> magic >> screen.width_ >> screen.height_ >> maximum;
    in.get();  // the one blank before the pixels
    if (magic != "P6" || (maximum != 255 && maximum != 65535) || screen.width_ <= 0 ||
        screen.height_ <= 0) {
      throw std::runtime_error("not a binary PPM of 8 or 16 bits: " + ppm.string());
    }
    const std::size_t sampleBytes = maximum == 255 ? 1 : 2;
    const std::size_t samples = static_cast<std::size_t>(screen.width_) * screen.height_ * 3;
    std::vector<std::uint8_t> raw(samples * sampleBytes);
    in.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size()));
    if (!in) {
      throw std::runtime_error("a short PPM: " + ppm.string());
    }
    screen.bytes_.resize(samples);
    for (std::size_t i = 0; i < samples; ++i) {
      screen.bytes_[i] = raw[i * sampleBytes];
    }
    return screen;
  }

  [[nodiscard]] int width() const { return width_; }
  [[nodiscard]] int height() const { return height_; }
  [[nodiscard]] bool contains(int x, int y) const {
    return x >= 0 && y >= 0 && x < width_ && y < height_;
  }
  [[nodiscard]] Rgb at(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width_ + x) * 3;
    return {bytes_[i], bytes_[i + 1], bytes_[i + 2]};
  }

  // Whether every opaque pixel of the picture shows in its own colour with
  // the picture's top-left corner at (x, y).
  [[nodiscard]] bool shows(const icongen::IconPicture& picture, int x, int y) const {
    if (!contains(x, y) || !contains(x + picture.width - 1, y + picture.height - 1)) {
      return false;
    }
    for (int row = 0; row < picture.height; ++row) {
      for (int column = 0; column < picture.width; ++column) {
        const int index = picture.pixels[static_cast<std::size_t>(row) * picture.width + column];
        if (index != icongen::kTransparent && at(x + column, y + row) != standardColour(index)) {
          return false;
        }
      }
    }
    return true;
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> bytes_;
};

// The top-left corner of the program's own tray icon within `area`: the black
// cross of the application icon on a background that is not black (the
// icon's top-left pixel is transparent).
inline std::optional<ScreenPoint> findProgramTrayIcon(const Screen& screen, const Rect& area) {
  const icongen::IconPicture cross = iconPicture("app");
  for (int y = area.top; y + cross.height <= area.bottom; ++y) {
    for (int x = area.left; x + cross.width <= area.right; ++x) {
      if (screen.shows(cross, x, y) && screen.at(x, y) != standardColour(0)) {
        return ScreenPoint{x, y};
      }
    }
  }
  return std::nullopt;
}

class TitleBarDesktop : public WineDesktopTest {
 protected:
  using WineDesktopTest::WineDesktopTest;

  const Window mainForm = Window::byClass("TStrennix");

  // The settings the first start writes, changed by `changes`, so that this
  // start is a second one and the settings window stays hidden.
  // "installPath" only records where the program was installed and is left
  // out.
  void writeDefaultSettings(const std::map<std::string, std::string>& changes = {}) {
    // One import instead of a `reg add` a value: each Wine command costs.
    std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
    text += "[HKEY_CURRENT_USER\\Software\\Corvane inc.\\Strennix]\r\n";
    for (const auto& [name, data] : testsupport::firstStartSettings(changes)) {
      text.append("\"").append(name).append("\"=\"").append(data).append("\"\r\n");
    }
    writeFile("defaults.reg", text);
    WineProcess& import = startProgram("reg", {"import", "defaults.reg"});
    if (import.waitForExit() != 0) {
      throw std::runtime_error("reg import of the default settings failed: " + import.output());
    }
    removeFile("defaults.reg");
  }

  // Runs the action (a press of "Save changes") and returns the dump of the
  // variables that it writes with --log, once it is complete.
  VariableDump dumpAfter(const std::function<void()>& action, const std::string& what) {
    const size_t before = completeDumps(splitLines(readFile("applog.txt"))).size();
    action();
    std::vector<VariableDump> dumps;
    waitFor(
        [&] {
          dumps = completeDumps(splitLines(readFile("applog.txt")));
          return dumps.size() > before;
        },
        "the dump of the variables after " + what);
    return dumps.back();
  }

  // Starts Strennix with the settings above (in `directory` when given) and
  // waits until it runs hidden, with its message loop taking messages.
  WineProcess& startHidden(const std::vector<std::string>& arguments = {},
                           const std::filesystem::path& directory = {}) {
    WineProcess& strennix = startStrennix(arguments, directory);
    waitFor([this] { return windowExists("TTrayForm") && responds(mainForm); }, "Strennix to run",
            kStartTimeout);
    return strennix;
  }

  // The primary monitor's work area as the program sees it.
  Rect workArea() {
    Rect area;
    const std::string output = driver({"workarea"});
    if (std::sscanf(output.c_str(), "rect=%d,%d,%d,%d", &area.left, &area.top, &area.right,
                    &area.bottom) != 4) {
      ADD_FAILURE() << "testdriver workarea printed: " << output;
    }
    return area;
  }

  // A plain window of another process, made the foreground window.
  WindowInfo openTarget(const OpenWindowOptions& options) {
    return bringToFront(openWindow(options).hwnd);
  }

  // Waits until the window shows, and makes it the foreground window.
  WindowInfo bringToFront(std::uint32_t hwnd) {
    const Window target = Window::byHandle(hwnd);
    const WindowInfo shown = waitForVisibleWindow(target);
    setForeground(target);
    WindowInfo info;
    waitFor(
        [&] {
          info = findWindow(target).value_or(WindowInfo{});
          return info.foreground;
        },
        "\"" + shown.title + "\" to be the foreground window");
    return info;
  }

  // The whole desktop now; kept as an artifact (a PNG) when named.
  Screen grab(const std::string& keptAs = {}) {
    const std::filesystem::path ppm = screenshot("screen.ppm");
    Screen screen = Screen::read(ppm);
    if (!keptAs.empty()) {
      convert({ppm.string(), (artifactsDir() / keptAs).string()});
    }
    std::filesystem::remove(ppm);
    return screen;
  }

  // Runs ImageMagick's convert on files of the artifacts directory.
  static void convert(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv = {"convert"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const CommandResult converted = runCommand(argv, {}, artifactsDir(), std::chrono::seconds(60));
    EXPECT_EQ(converted.exitCode, 0) << describe(argv) << ": " << converted.errors;
  }

  // The screen point of the top-left corner of button slot k (1 = the
  // rightmost) with the default geometry: window x = W - (k * 16 + 58), y = 6.
  static ScreenPoint slotCorner(const WindowInfo& window, int k) {
    return {window.rect.left + window.rect.width() - (k * 16 + 58), window.rect.top + 6};
  }

  // Which of the six default buttons the screen shows on the window.
  static std::vector<bool> buttonsShown(const Screen& screen, const WindowInfo& window,
                                        bool topmost) {
    std::vector<bool> shown;
    for (int k = 1; k <= 6; ++k) {
      const ScreenPoint corner = slotCorner(window, k);
      shown.push_back(screen.shows(iconPicture(slotIcons(topmost)[k - 1]), corner.x, corner.y));
    }
    return shown;
  }

  static bool allButtonsShown(const Screen& screen, const WindowInfo& window, bool topmost) {
    const auto shown = buttonsShown(screen, window, topmost);
    return std::find(shown.begin(), shown.end(), false) == shown.end();
  }

  // The messages of applog.txt so far (a run with --log).
  std::vector<std::string> appLog() { return logMessages(readFile("applog.txt")); }

  // The slot numbers traced after each "  Dealing with the click".
  std::vector<std::string> dealtSlots() {
    const auto log = appLog();
    std::vector<std::string> slots;
    for (size_t i = 0; i + 1 < log.size(); ++i) {
      if (log[i] == "  Dealing with the click") {
        slots.push_back(log[i + 1]);
      }
    }
    return slots;
  }

  // Waits until all six buttons show on the window, the pin pressed in when
  // `topmost`.
  void waitForButtons(const WindowInfo& window, bool topmost) {
    expectEventually([&] { return buttonsShown(grab(), window, topmost); },
                     std::vector<bool>(6, true),
                     std::string("which of the six buttons show on \"") + window.title + "\"" +
                         (topmost ? " with the pressed pin" : ""));
  }

  // The messages of gfxlog.txt so far, in the folder the program runs in.
  std::vector<std::string> drawLog() { return logMessages(readFile(runFolder + "gfxlog.txt")); }

  // Waits for two redraw ticks on the foreground window (the log of a run
  // with --log) and checks that neither drew, nor does the screen show any
  // button on the window. The first tick logged after the window came to the
  // foreground may have asked for the foreground window before, so it does
  // not count.
  void expectNoButtons(const WindowInfo& window) {
    static const std::string kDrawCalled = "Called drawButtons (Only reports exit on draw)";
    static const std::string kDrawing = "  Drawing buttons";
    const auto firstTick = [&, before = drawLog().size()](const std::vector<std::string>& log) {
      return std::find(log.begin() + static_cast<std::ptrdiff_t>(std::min(before, log.size())),
                       log.end(), kDrawCalled);
    };
    waitFor(
        [&] {
          const auto log = drawLog();
          const auto first = firstTick(log);
          return first != log.end() && std::count(first + 1, log.end(), kDrawCalled) >= 2;
        },
        "two redraw ticks on \"" + window.title + "\"");
    const auto log = drawLog();
    EXPECT_EQ(std::count(firstTick(log) + 1, log.end(), kDrawing), 0) << window.title;

    const Screen screen = grab();
    for (const bool topmost : {false, true}) {
      EXPECT_EQ(buttonsShown(screen, window, topmost), std::vector<bool>(6, false))
          << window.title << (topmost ? " (pressed pin)" : "");
    }
  }

  // Where the program runs, relative to the working directory and ending in
  // "/"; empty for the working directory itself.
  std::string runFolder;
};

inline constexpr int kShadedHeight = 27;
// Wine's taskbar shows only while its notification area holds an icon. It
// gives every icon a cell this wide at its right end, the first icon the
// rightmost cell and each newer one the cell left of the others; the cells
// close up when an icon goes.
inline constexpr int kTrayCell = 20;

struct ListItem {
  Rect rect;  // screen coordinates
  std::string text;
};

inline std::vector<std::string> texts(const std::vector<ListItem>& items) {
  std::vector<std::string> result;
  result.reserve(items.size());
  for (const ListItem& item : items) {
    result.push_back(item.text);
  }
  return result;
}

inline ScreenPoint centre(const Rect& rect) {
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// The six actions clicked on the buttons of target windows, and the ways
// back from the tray.
class WindowActionsDesktop : public TitleBarDesktop {
 protected:
  using TitleBarDesktop::TitleBarDesktop;

  // Button slots counted from the right, all six buttons on.
  static constexpr int kTop = 1;
  static constexpr int kToIcon = 2;
  static constexpr int kShade = 3;
  static constexpr int kToMenu = 4;
  static constexpr int kVMax = 5;
  static constexpr int kHMax = 6;

  WindowInfo current(const WindowInfo& window) { return current(Window::byHandle(window.hwnd)); }
  WindowInfo current(const Window& window) { return findWindow(window).value_or(WindowInfo{}); }

  // Waits until the window's state passes the check; returns that state.
  WindowInfo waitForState(const Window& window, const std::function<bool(const WindowInfo&)>& check,
                          const std::string& what) {
    return expectEventually([&] { return current(window); }, check, what);
  }
  WindowInfo waitForState(const WindowInfo& window,
                          const std::function<bool(const WindowInfo&)>& check,
                          const std::string& what) {
    return waitForState(Window::byHandle(window.hwnd), check, "\"" + window.title + "\" " + what);
  }

  WindowInfo waitForRect(const WindowInfo& window, const Rect& rect) {
    return waitForState(
        window, [&](const WindowInfo& info) { return info.rect == rect; },
        "to have the rectangle " + ::testing::PrintToString(rect));
  }

  WindowInfo waitUntilHidden(const WindowInfo& window) {
    return waitForState(
        window, [](const WindowInfo& info) { return info.hwnd != 0 && !info.visible; }, "to hide");
  }

  WindowInfo waitUntilBack(const WindowInfo& window) {
    return waitForState(
        window, [](const WindowInfo& info) { return info.visible && info.foreground; },
        "to come back in the foreground");
  }

  // A click in button slot k of the window where it is now, as a user makes
  // it: on a button they see. With buttons on the front window only, the
  // window is brought to the front and its buttons waited for first; a click
  // where no button shows acts on nothing. Successive clicks alternate
  // between two points six pixels apart: two on one spot could make a
  // double-click on the caption, which maximizes the window.
  void clickButton(const WindowInfo& window, int slot) {
    bringToFront(window.hwnd);
    const WindowInfo now = current(window);
    waitForButtons(now, now.topmost);
    const ScreenPoint corner = slotCorner(now, slot);
    alternate_ = !alternate_;
    click(corner.x + (alternate_ ? 5 : 11), now.rect.top + 13);
  }

  // The titles in the tray menu's list, top to bottom.
  std::vector<ListItem> menuItems() {
    std::vector<ListItem> items;
    const std::string output =
        driver({"items", "--class", "TTrayForm", "--id", std::to_string(IDC_LISTBOX1)});
    for (const std::string& line : splitLines(output)) {
      ListItem item;
      int index = 0;
      int selected = 0;
      int consumed = 0;
      if (std::sscanf(line.c_str(), "index=%d rect=%d,%d,%d,%d selected=%d text=%n", &index,
                      &item.rect.left, &item.rect.top, &item.rect.right, &item.rect.bottom,
                      &selected, &consumed) == 6 &&
          consumed > 0) {
        item.text = line.substr(static_cast<size_t>(consumed));
        items.push_back(item);
      }
    }
    return items;
  }

  void expectMenuTitles(const std::vector<std::string>& titles) {
    expectEventually([this] { return texts(menuItems()); }, titles, "the titles in the tray menu");
  }

  WindowInfo taskbar() { return current(Window::byClass("Shell_TrayWnd")); }

  struct Started {
    WineProcess& process;
    ScreenPoint icon;  // the middle of the program's own tray icon
  };

  // Starts Strennix hidden; its tray icon, the first one, brings up the
  // taskbar.
  Started startWithTrayIcon(const std::vector<std::string>& arguments) {
    EXPECT_FALSE(taskbar().visible) << "an icon is in the notification area already";
    WineProcess& strennix = startHidden(arguments);
    waitFor([this] { return taskbar().visible; }, "the taskbar with the program's icon");
    const Rect bar = taskbar().rect;
    return {strennix, {bar.right - kTrayCell / 2, (bar.top + bar.bottom) / 2}};
  }

  bool tooltipShown() {
    const auto windows = listWindows(true);
    return std::any_of(windows.begin(), windows.end(), [](const WindowInfo& window) {
      return window.className == "tooltips_class32";
    });
  }

  // Waits until the log file holds the message this many times.
  void expectCount(const std::string& file, const std::string& message, long times) {
    expectEventually([&] { return count(logOf(file), message); }, times,
                     "the lines \"" + message + "\" in " + file);
  }

  // The messages of a log file of the working directory.
  std::vector<std::string> logOf(const std::string& file) {
    std::vector<std::string> messages;
    for (const std::string& line : splitLines(readFile(file))) {
      messages.push_back(logMessage(line).value_or(line));
    }
    return messages;
  }

  static long count(const std::vector<std::string>& log, const std::string& message) {
    return std::count(log.begin(), log.end(), message);
  }

 private:
  bool alternate_ = false;
};

}  // namespace strennix::e2e
