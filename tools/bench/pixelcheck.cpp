// pixelcheck.exe: shows, under Wine or Windows, that the program paints the
// very pixels of the plain algorithm: for every enabled button in slot order
// one DrawIconEx with the button-face brush, straight into the window device
// context. The program's path (Gfx::drawButtons on the Win32 back end, which
// composes the row once and blits it) and that plain sequence of calls paint,
// in turn, onto the same title bar of a window of another process; both
// results are read back and compared pixel by pixel, for many geometries,
// both states of the top button, icons with and without transparency, and
// repeated draws (which take the composed row from the cache).
//
//   pixelcheck.exe "WINDOW TITLE" ICON_DIR
//
// ICON_DIR holds the button icons (resources/icons). Prints a line per case;
// the exit code is the number of cases that differ (0: all identical).
#include <windows.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/core/exclusionlists.h"
#include "app/core/log.h"
#include "app/core/settings.h"
#include "buttons/gfx.h"
#include "eligibility/namefromwindow.h"
#include "eligibility/winauth.h"
#include "platform/win32/win32desktop.h"
#include "platform/win32/win32handles.h"
#include "tools/bench/windowpixels.h"

namespace {

using namespace strennix;

constexpr int kCaptureHeight = 48;
constexpr COLORREF kBackground = RGB(255, 0, 255);

struct Case {
  const char* name;
  unsigned buttons;  // bit 0 top, 1 toicon, 2 shade, 3 tomenu, 4 vmax, 5 hmax
  int xo, yo, xs, ys;
  bool topmost;
  bool systemIcons;
};

const Case kCases[] = {
    {"defaults", 0x3F, 58, 6, 16, 14, false, false},
    {"defaults, window on top", 0x3F, 58, 6, 16, 14, true, false},
    {"defaults again (cached row)", 0x3F, 58, 6, 16, 14, false, false},
    {"top and vmax only", 0x11, 58, 6, 16, 14, false, false},
    {"no button", 0x00, 58, 6, 16, 14, false, false},
    {"shade only", 0x04, 58, 6, 16, 14, false, false},
    {"narrow buttons", 0x3F, 58, 6, 8, 14, false, false},
    {"wide and tall buttons", 0x3F, 58, 6, 24, 20, true, false},
    {"zero width: icon's own width", 0x3F, 58, 6, 0, 14, false, false},
    {"zero height: icon's own height", 0x3F, 58, 6, 16, 0, false, false},
    {"row at the right edge", 0x3F, 0, 0, 16, 14, false, false},
    {"row beyond the left edge", 0x3F, 420, 6, 16, 14, false, false},
    {"transparent icons show the brush", 0x3F, 58, 6, 16, 14, false, true},
    {"transparent icons, stretched", 0x3F, 30, 2, 20, 18, true, true},
};

class Painter {
 public:
  explicit Painter(HWND window) : window_(window) {}

  void background() const {
    HDC dc = GetWindowDC(window_);
    HBRUSH brush = CreateSolidBrush(kBackground);
    const RECT strip{0, 0, width(), kCaptureHeight};
    FillRect(dc, &strip, brush);
    DeleteObject(brush);
    ReleaseDC(window_, dc);
  }

  // The pixels of the top strip of the window, 32 bits each.
  [[nodiscard]] std::vector<std::uint32_t> capture() const {
    return windowPixels(window_, 0, 0, width(), kCaptureHeight);
  }

  // Waits until the window's own process has repainted it after a move or a
  // change of z-order, so that its frame does not change under a comparison.
  void settle() const {
    for (int attempt = 0; attempt < 40; ++attempt) {
      DWORD_PTR ignored = 0;
      SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
      const auto before = capture();
      Sleep(50);
      if (capture() == before) {
        return;
      }
    }
  }

  // The plain algorithm: one DrawIconEx per enabled button, in slot order.
  void plain(const Settings& s, const ButtonIcons& icons) const {
    HDC dc = GetWindowDC(window_);
    HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    const bool onTop = (GetWindowLongA(window_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    const std::pair<bool, IconHandle> slots[] = {{s.usingTop, onTop ? icons.image7 : icons.image6},
                                                 {s.usingMinIcon, icons.image5},
                                                 {s.usingShade, icons.image4},
                                                 {s.usingMinMenu, icons.image3},
                                                 {s.usingVMax, icons.image2},
                                                 {s.usingHMax, icons.image1}};
    int k = 1;
    for (const auto& [on, icon] : slots) {
      if (on) {
        DrawIconEx(dc, width() - (k * s.buttonXStretch + s.buttonXOffset), s.buttonYOffset,
                   win32::toRaw<HICON>(icon), s.buttonXStretch, s.buttonYStretch, 0, brush,
                   DI_NORMAL);
        ++k;
      }
    }
    DeleteObject(brush);
    ReleaseDC(window_, dc);
  }

 private:
  [[nodiscard]] int width() const {
    RECT rect{};
    GetWindowRect(window_, &rect);
    return rect.right - rect.left;
  }

  HWND window_;
};

IconHandle handleOf(HICON icon) { return win32::fromRaw<IconHandle>(icon); }

IconHandle iconFile(const std::string& directory, const char* name) {
  const std::string path = directory + "\\" + name + ".ico";
  return handleOf(
      static_cast<HICON>(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE)));
}

Settings settingsOf(const Case& c) {
  Settings s;
  s.usingTop = (c.buttons & 0x01) != 0;
  s.usingMinIcon = (c.buttons & 0x02) != 0;
  s.usingShade = (c.buttons & 0x04) != 0;
  s.usingMinMenu = (c.buttons & 0x08) != 0;
  s.usingVMax = (c.buttons & 0x10) != 0;
  s.usingHMax = (c.buttons & 0x20) != 0;
  s.numberOfButtons = std::popcount(c.buttons);
  s.buttonXOffset = c.xo;
  s.buttonYOffset = c.yo;
  s.buttonXStretch = c.xs;
  s.buttonYStretch = c.ys;
  return s;
}

// The first differing pixel, or -1.
long firstDifference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if ((a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF)) {
      return static_cast<long>(i);
    }
  }
  return a.size() == b.size() ? -1 : static_cast<long>(std::min(a.size(), b.size()));
}

long painted(const std::vector<std::uint32_t>& pixels, const std::vector<std::uint32_t>& blank) {
  long count = 0;
  for (std::size_t i = 0; i < pixels.size() && i < blank.size(); ++i) {
    count += (pixels[i] & 0xFFFFFF) != (blank[i] & 0xFFFFFF) ? 1 : 0;
  }
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: pixelcheck.exe \"WINDOW TITLE\" ICON_DIR\n");
    return 100;
  }
  HWND window = FindWindowA(nullptr, argv[1]);
  if (window == nullptr) {
    std::fprintf(stderr, "no window titled %s\n", argv[1]);
    return 100;
  }
  const std::string iconDir = argv[2];
  const ButtonIcons own{iconFile(iconDir, "hmax"),   iconFile(iconDir, "vmax"),
                        iconFile(iconDir, "tomenu"), iconFile(iconDir, "shade"),
                        iconFile(iconDir, "toicon"), iconFile(iconDir, "pin"),
                        iconFile(iconDir, "pinned")};
  if (own.image1 == IconHandle{} || own.image7 == IconHandle{}) {
    std::fprintf(stderr, "no icons in %s\n", iconDir.c_str());
    return 100;
  }
  const ButtonIcons system{
      handleOf(LoadIcon(nullptr, IDI_APPLICATION)), handleOf(LoadIcon(nullptr, IDI_WARNING)),
      handleOf(LoadIcon(nullptr, IDI_ERROR)),       handleOf(LoadIcon(nullptr, IDI_INFORMATION)),
      handleOf(LoadIcon(nullptr, IDI_QUESTION)),    handleOf(LoadIcon(nullptr, IDI_WINLOGO)),
      handleOf(LoadIcon(nullptr, IDI_HAND))};

  win32::Win32Desktop desktop;
  const Ports ports = desktop.ports();
  Logger log{ports.files, ports.clock};
  Settings settings;
  ExclusionLists lists;
  NameFromWindow names{ports.system, ports.processNames, ports.windowInfo, ports.registry, log};
  WinAuth auth{ports.windowInfo, ports.system, names, settings, lists, log};
  Gfx gfx{ports.windowInfo, ports.desktop, ports.frames, ports.drawing,
          ports.buttonRows, auth,          settings,     log};
  Painter painter(window);

  int failures = 0;
  for (const Case& c : kCases) {
    SetWindowPos(window, c.topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 100, 100, 500, 300,
                 SWP_SHOWWINDOW);
    // HWND_NOTOPMOST leaves a window that is not topmost where it is, maybe
    // under others that would hide its title bar.
    if (!c.topmost) {
      SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    painter.settle();
    settings = settingsOf(c);
    const ButtonIcons& icons = c.systemIcons ? system : own;
    gfx.setIcons(icons);

    painter.background();
    const auto blank = painter.capture();
    painter.plain(settings, icons);
    const auto expected = painter.capture();
    painter.background();
    gfx.drawButtons(win32::fromHwnd(window));
    const auto actual = painter.capture();

    const long difference = firstDifference(expected, actual);
    const long changed = painted(expected, blank);
    const bool vacuous = c.buttons != 0 && changed == 0;
    if (difference >= 0 || vacuous) {
      ++failures;
    }
    std::printf("%-34s %s (%ld pixels painted)", c.name,
                difference >= 0 ? "DIFFERENT" : (vacuous ? "NOTHING PAINTED" : "identical"),
                changed);
    if (difference >= 0) {
      const long x = difference % static_cast<long>(expected.size() / kCaptureHeight);
      const long y = difference / static_cast<long>(expected.size() / kCaptureHeight);
      std::printf(" first at (%ld, %ld): %06x, program %06x", x, y,
                  expected[static_cast<std::size_t>(difference)] & 0xFFFFFF,
                  actual[static_cast<std::size_t>(difference)] & 0xFFFFFF);
    }
    std::printf("\n");
  }
  SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  std::printf("%d of %zu cases differ\n", failures, std::size(kCases));
  return failures;
}
