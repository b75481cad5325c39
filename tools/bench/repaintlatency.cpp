// repaintlatency.exe: how soon the buttons are back after a window becomes
// active and repaints its title bar. Two windows of another process, found by
// their titles, are made the foreground window in turn; after each change the
// new foreground window's rightmost button (slot 1 of the default geometry:
// 16 x 14 pixels, 58 pixels left of the right edge, 6 below the top) is read
// back every millisecond until it shows the picture that Strennix paints
// there, taken once at the start.
//
//   repaintlatency.exe "TITLE A" "TITLE B" [ACTIVATIONS]
//
// Prints one line per activation and a summary:
//   activation=3 ms=12.4 erased=1
//   activations=24 median_ms=11.8 worst_ms=35.0 missed=0
// ms counts from SetForegroundWindow; erased=0 means the button was never
// seen gone (the repaint and Strennix's answer fell between two reads). An
// activation whose button is not back within 3 seconds counts as missed.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tools/bench/benchclock.h"
#include "tools/bench/windowpixels.h"

namespace {

constexpr int kSlotWidth = 16;
constexpr int kSlotHeight = 14;
constexpr int kRightInset = 58 + kSlotWidth;
constexpr int kTop = 6;
constexpr double kGiveUpMs = 3000;

using Pixels = std::vector<std::uint32_t>;

// The rightmost button's pixels on the window as the screen shows them.
Pixels slotPixels(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return windowPixels(window, (rect.right - rect.left) - kRightInset, kTop, kSlotWidth,
                      kSlotHeight);
}

bool plain(const Pixels& pixels) {
  return std::all_of(pixels.begin(), pixels.end(),
                     [&](std::uint32_t pixel) { return pixel == pixels.front(); });
}

// The button as painted: the first picture of the slot that is not one
// plain caption colour and stays the same over two reads.
bool takeReference(HWND window, Pixels& reference) {
  const double start = nowMs();
  Pixels last;
  while (nowMs() - start < 30000) {
    Pixels now = slotPixels(window);
    if (!plain(now) && now == last) {
      reference = now;
      return true;
    }
    last = now;
    Sleep(20);
  }
  return false;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 != 0 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: repaintlatency.exe \"TITLE A\" \"TITLE B\" [ACTIVATIONS]\n");
    return 2;
  }
  HWND windows[2] = {FindWindowA(nullptr, argv[1]), FindWindowA(nullptr, argv[2])};
  const int activations = argc > 3 ? std::atoi(argv[3]) : 24;
  if (windows[0] == nullptr || windows[1] == nullptr) {
    std::printf("error windows not found\n");
    return 1;
  }
  SetForegroundWindow(windows[1]);
  Pixels reference;
  if (!takeReference(windows[1], reference)) {
    std::printf("error no buttons on \"%s\"\n", argv[2]);
    return 1;
  }
  std::srand(12345);
  std::vector<double> latencies;
  int missed = 0;
  for (int i = 0; i < activations; ++i) {
    HWND target = windows[i % 2];
    // Away from the redraw timer's phase: 200 to 700 ms.
    Sleep(200 + static_cast<DWORD>(std::rand() % 500));
    const double start = nowMs();
    SetForegroundWindow(target);
    bool erased = false;
    double ms = -1;
    while (nowMs() - start < kGiveUpMs) {
      if (slotPixels(target) == reference) {
        ms = nowMs() - start;
        break;
      }
      erased = true;
      Sleep(1);
    }
    if (ms < 0) {
      ++missed;
      std::printf("activation=%d ms=missed erased=%d\n", i + 1, erased ? 1 : 0);
      continue;
    }
    latencies.push_back(ms);
    std::printf("activation=%d ms=%.1f erased=%d\n", i + 1, ms, erased ? 1 : 0);
    std::fflush(stdout);
  }
  if (latencies.empty()) {
    std::printf("activations=%d median_ms=none worst_ms=none missed=%d\n", activations, missed);
    return 1;
  }
  std::printf("activations=%d median_ms=%.1f worst_ms=%.1f missed=%d\n", activations,
              median(latencies), *std::max_element(latencies.begin(), latencies.end()), missed);
  return 0;
}
