// lookcost.exe: what the two ways of showing the buttons cost beyond the CPU,
// for measure-buttonlook.sh. With the default settings at 96 DPI both put the
// rightmost button 58 + 16 pixels left of a window's right edge and 6 below
// its top (Wine tells no caption-button bounds, so a button window takes the
// painted row's place).
//
//   lookcost.exe move TITLE MOVES windows|painted
//     Moves the window of another process with that title back and forth by
//     40 pixels; after each move (from the return of SetWindowPos, when the
//     window is in its new place) polls every millisecond until the buttons
//     are at the new place: a visible button window of the program there, or
//     the rightmost painted button's pixels on the window as before the move.
//     Prints "move=N ms=T" a move and "moves=N median_ms=M worst_ms=W
//     missed=K"; a move not followed within 3 seconds counts as missed.
//   lookcost.exe churn COUNT windows|painted
//     Opens COUNT windows of its own one after the other, each in front, waits
//     until a button window shows over it and closes it. Prints "windows=N
//     shown=S missed=K seconds=T". A program cannot read back what another
//     program painted into its own window (Wine keeps that window's surface
//     in the owner's memory and the painter draws past it), so with painted
//     buttons each window stays 150 ms, past the painting at its activation
//     report and 10 and 40 ms later, and shown counts nothing.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tools/bench/benchclock.h"
#include "tools/bench/windowpixels.h"

namespace {

constexpr int kSlotWidth = 16;
constexpr int kSlotHeight = 14;
constexpr int kRightInset = 58;
constexpr int kTop = 6;
constexpr int kSlots = 6;
constexpr double kGiveUpMs = 3000;
constexpr double kPaintedStayMs = 150;
constexpr const char* kButtonWindowClass = "StrennixButtonWindow";

using Pixels = std::vector<std::uint32_t>;

// Where the button window over a window with this rectangle goes.
RECT barPlace(const RECT& window) {
  return RECT{window.right - kRightInset - kSlots * kSlotWidth, window.top + kTop,
              window.right - kRightInset, window.top + kTop + kSlotHeight};
}

struct BarSearch {
  RECT place;
  bool found;
};

BOOL CALLBACK findBar(HWND window, LPARAM search) {
  auto* wanted = reinterpret_cast<BarSearch*>(search);
  char name[64] = {};
  RECT rect;
  if (GetClassNameA(window, name, sizeof name) > 0 && std::strcmp(name, kButtonWindowClass) == 0 &&
      IsWindowVisible(window) != FALSE && GetWindowRect(window, &rect) != FALSE &&
      EqualRect(&rect, &wanted->place) != FALSE) {
    wanted->found = true;
    return FALSE;
  }
  return TRUE;
}

bool barOver(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  BarSearch search{barPlace(rect), false};
  EnumWindows(findBar, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The rightmost painted button's pixels on the window as the screen shows them.
Pixels slotPixels(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return windowPixels(window, (rect.right - rect.left) - kRightInset - kSlotWidth, kTop, kSlotWidth,
                      kSlotHeight);
}

bool plain(const Pixels& pixels) {
  return std::all_of(pixels.begin(), pixels.end(),
                     [&](std::uint32_t pixel) { return pixel == pixels.front(); });
}

void pumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// Polls `shown` every millisecond (taking the own windows' messages) until it
// holds; the milliseconds it took, or -1 after the time-out.
template <class Shown>
double waitMs(double start, const Shown& shown) {
  while (nowMs() - start < kGiveUpMs) {
    if (shown()) {
      return nowMs() - start;
    }
    pumpMessages();
    Sleep(1);
  }
  return -1;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 != 0 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int moves(const char* title, int count, bool painted) {
  HWND target = FindWindowA(nullptr, title);
  if (target == nullptr) {
    std::printf("error no window \"%s\"\n", title);
    return 1;
  }
  SetForegroundWindow(target);
  Pixels reference;
  const double first = waitMs(nowMs(), [&] {
    if (!painted) {
      return barOver(target);
    }
    reference = slotPixels(target);
    return !plain(reference);
  });
  if (first < 0) {
    std::printf("error no buttons on \"%s\"\n", title);
    return 1;
  }
  std::srand(12345);
  std::vector<double> latencies;
  int missed = 0;
  for (int i = 0; i < count; ++i) {
    // Away from the poll's and the timer's phase: 200 to 700 ms.
    Sleep(200 + static_cast<DWORD>(std::rand() % 500));
    RECT rect;
    GetWindowRect(target, &rect);
    const int step = i % 2 == 0 ? 40 : -40;
    SetWindowPos(target, nullptr, rect.left + step, rect.top + step, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const double start = nowMs();
    const double ms =
        waitMs(start, [&] { return painted ? slotPixels(target) == reference : barOver(target); });
    if (ms < 0) {
      ++missed;
      std::printf("move=%d ms=missed\n", i + 1);
      continue;
    }
    latencies.push_back(ms);
    std::printf("move=%d ms=%.1f\n", i + 1, ms);
    std::fflush(stdout);
  }
  if (latencies.empty()) {
    std::printf("moves=%d median_ms=none worst_ms=none missed=%d\n", count, missed);
    return 1;
  }
  std::printf("moves=%d median_ms=%.1f worst_ms=%.1f missed=%d\n", count, median(latencies),
              *std::max_element(latencies.begin(), latencies.end()), missed);
  return 0;
}

int churn(int count, bool painted) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  windowClass.lpszClassName = "StrennixBenchChurn";
  RegisterClassA(&windowClass);
  const double start = nowMs();
  int shown = 0;
  for (int i = 0; i < count; ++i) {
    HWND window =
        CreateWindowExA(0, windowClass.lpszClassName, "Churn", WS_OVERLAPPEDWINDOW, 200 + i % 40,
                        150 + i % 30, 500, 300, nullptr, nullptr, windowClass.hInstance, nullptr);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    if (painted) {
      const double opened = nowMs();
      waitMs(opened, [&] { return nowMs() - opened >= kPaintedStayMs; });
    } else {
      shown += waitMs(nowMs(), [&] { return barOver(window); }) >= 0 ? 1 : 0;
    }
    DestroyWindow(window);
    pumpMessages();
  }
  std::printf("windows=%d shown=%d missed=%d seconds=%.1f\n", count, shown,
              painted ? 0 : count - shown, (nowMs() - start) / 1000);
  return painted || shown == count ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "move") == 0) {
    return moves(argv[2], std::atoi(argv[3]), std::strcmp(argv[4], "painted") == 0);
  }
  if (argc == 4 && std::strcmp(argv[1], "churn") == 0) {
    return churn(std::atoi(argv[2]), std::strcmp(argv[3], "painted") == 0);
  }
  std::fprintf(stderr,
               "usage: lookcost.exe move TITLE MOVES windows|painted\n"
               "       lookcost.exe churn COUNT windows|painted\n");
  return 2;
}
