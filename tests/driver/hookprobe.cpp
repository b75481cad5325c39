// hookprobe.exe: stands in for the program's main window (class TStrennix,
// caption "Strennix"), claims the shared button rows for it as the program
// does (the library reports only to the window named there), installs both
// hooks of hook.dll for all threads and prints one line per private message
// the library posts to it:
//
//   ready hwnd=0x... pid=... mouse=1 cbt=1
//   nclbuttonup x=... y=...
//   destroy hwnd=0x...
//   unhooked mouse=1 cbt=1
//
// Usage: hookprobe.exe [output file [seconds to live]]. Without a file the
// lines go to standard output. Each line is flushed as it is written. The
// probe ends when its window is closed or its time is up, removing the hooks.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "platform/hookprotocol.h"
#include "platform/win32/sharedbuttonrows.h"

namespace {

using namespace strennix::hookprotocol;

constexpr UINT_PTR kLifetimeTimer = 1;
constexpr unsigned kDefaultLifetimeSeconds = 300;

FILE* out = nullptr;

void printLine(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(out, format, arguments);
  va_end(arguments);
  std::fputc('\n', out);
  std::fflush(out);
}

LRESULT CALLBACK probeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kStrnxNcLButtonUp:
      printLine("nclbuttonup x=%ld y=%ld", static_cast<long>(static_cast<LONG>(wParam)),
                static_cast<long>(lParam));
      return 0;
    case kStrnxDestroy:
      printLine("destroy hwnd=0x%lx", static_cast<unsigned long>(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kLifetimeTimer) {
        DestroyWindow(window);
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

HWND createMainWindow(HINSTANCE instance) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = probeProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "TStrennix";
  if (RegisterClassA(&windowClass) == 0) {
    return nullptr;
  }
  // Hidden, as the real main window usually is: the library must find it
  // all the same.
  return CreateWindowExA(0, "TStrennix", "Strennix", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr,
                         nullptr, instance, nullptr);
}

HHOOK install(int hookId, HMODULE library, const char* procedure) {
  auto* proc = reinterpret_cast<HOOKPROC>(
      reinterpret_cast<void*>(library != nullptr ? GetProcAddress(library, procedure) : nullptr));
  return proc != nullptr ? SetWindowsHookExA(hookId, proc, library, 0) : nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  out = argc > 1 ? std::fopen(argv[1], "w") : stdout;
  if (out == nullptr) {
    return 2;
  }
  const unsigned lifetime = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10))
                                     : kDefaultLifetimeSeconds;

  HWND window = createMainWindow(GetModuleHandleA(nullptr));
  if (window == nullptr) {
    printLine("error no window");
    return 1;
  }
  strennix::win32::SharedButtonRows rows;
  if (!rows.claim(static_cast<strennix::Hwnd>(reinterpret_cast<ULONG_PTR>(window)))) {
    printLine("error no button rows");
    return 1;
  }
  HMODULE library = LoadLibraryA(kOwnFiles.library);
  HHOOK mouseHook = install(WH_MOUSE, library, "MouseProc");
  HHOOK cbtHook = install(WH_CBT, library, "CBTProc");
  SetTimer(window, kLifetimeTimer, lifetime * 1000, nullptr);
  printLine("ready hwnd=0x%lx pid=%lu mouse=%d cbt=%d",
            static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window)),
            static_cast<unsigned long>(GetCurrentProcessId()), mouseHook != nullptr ? 1 : 0,
            cbtHook != nullptr ? 1 : 0);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }

  const bool mouseRemoved = mouseHook != nullptr && UnhookWindowsHookEx(mouseHook) != FALSE;
  const bool cbtRemoved = cbtHook != nullptr && UnhookWindowsHookEx(cbtHook) != FALSE;
  printLine("unhooked mouse=%d cbt=%d", mouseRemoved ? 1 : 0, cbtRemoved ? 1 : 0);
  if (library != nullptr) {
    FreeLibrary(library);
  }
  if (out != stdout) {
    std::fclose(out);
  }
  return 0;
}
