// msgcost.exe: a message-heavy program. It sends its own window COUNT
// messages (default one million), each handled by its window procedure, and
// prints how long that took:
//
//   msgcost.exe [COUNT]   ->   messages=1000000 ms=812.4
//
// Run with and without Strennix, the hooks that Strennix installs are called
// inside this process: the difference is what they cost another program.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr UINT kCounted = WM_APP + 1;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kCounted) {
    return static_cast<LRESULT>(wParam) + 1;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
  const unsigned long count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000UL;
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "StrennixBenchMessages";
  RegisterClassA(&windowClass);
  // A hidden top-level window, as the receiver of many programs' messages.
  HWND window = CreateWindowExA(0, windowClass.lpszClassName, "msgcost", WS_OVERLAPPED, 0, 0, 100,
                                100, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (window == nullptr) {
    std::printf("error no window\n");
    return 1;
  }
  LARGE_INTEGER frequency;
  LARGE_INTEGER start;
  LARGE_INTEGER end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  LRESULT sum = 0;
  for (unsigned long i = 0; i < count; ++i) {
    sum += SendMessageA(window, kCounted, i, 0);
  }
  QueryPerformanceCounter(&end);
  const double ms =
      1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
  std::printf("messages=%lu ms=%.1f check=%ld\n", count, ms, static_cast<long>(sum & 0xFF));
  DestroyWindow(window);
  return 0;
}
