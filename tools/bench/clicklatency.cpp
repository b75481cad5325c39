// clicklatency.exe: times a click on the shade button Strennix paints into a
// window's title bar, from just before the press and release are put into
// the system's input (SendInput, so they reach the hook libraries like any
// mouse click) to the moment this process sees the window's height change,
// polling GetWindowRect about every millisecond.
//
//   clicklatency.exe HWND CLICKS
//
// HWND is the window handle in hex; the buttons have the default geometry,
// all six on, so the shade button is the third from the right. Each click
// toggles the shade: odd clicks roll the window up, even ones down. Prints
// one line per click: "click=N from=H0 to=H1 ms=T". Exit code 0, 1 when the
// window did not change within 10 s, 2 on a usage error.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr DWORD kPollMs = 1;
constexpr double kTimeoutMs = 10000;
// Longer than the double-click time, so that the next click is not taken as
// the second half of a double-click on the caption (which maximizes).
constexpr DWORD kPauseMs = 800;
// The default button geometry: slot k's left edge is at width - (k * 16 + 58).
constexpr int kShadeSlot = 3;
constexpr int kButtonWidth = 16;
constexpr int kButtonXOffset = 58;
constexpr int kButtonMiddleY = 13;

double nowMs() {
  static LARGE_INTEGER frequency{};
  if (frequency.QuadPart == 0) {
    QueryPerformanceFrequency(&frequency);
  }
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

int heightOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect.bottom - rect.top;
}

// Successive clicks alternate between two points six pixels apart, as the
// end-to-end tests do.
void clickShade(HWND window, int click) {
  RECT rect{};
  GetWindowRect(window, &rect);
  const int left = rect.right - (kShadeSlot * kButtonWidth + kButtonXOffset);
  SetCursorPos(left + (click % 2 == 0 ? 5 : 11), rect.top + kButtonMiddleY);
  INPUT inputs[2] = {};
  inputs[0].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].type = INPUT_MOUSE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, inputs, sizeof(INPUT));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: clicklatency.exe HWND CLICKS\n");
    return 2;
  }
  // The one place where the handle on the command line becomes a pointer.
  auto* window = reinterpret_cast<HWND>(std::strtoul(argv[1], nullptr, 16));  // NOLINT
  const int clicks = std::atoi(argv[2]);
  if (IsWindow(window) == FALSE || clicks <= 0) {
    std::fprintf(stderr, "no such window, or no clicks\n");
    return 2;
  }
  for (int click = 1; click <= clicks; ++click) {
    const int before = heightOf(window);
    const double start = nowMs();
    clickShade(window, click);
    int after = before;
    double elapsed = 0;
    while (after == before && elapsed < kTimeoutMs) {
      Sleep(kPollMs);
      after = heightOf(window);
      elapsed = nowMs() - start;
    }
    if (after == before) {
      std::printf("click=%d from=%d timed out\n", click, before);
      return 1;
    }
    std::printf("click=%d from=%d to=%d ms=%.2f\n", click, before, after, elapsed);
    std::fflush(stdout);
    Sleep(kPauseMs);
  }
  return 0;
}
