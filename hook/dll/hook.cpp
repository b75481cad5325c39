// hook.dll and hook64.dll: the two system-wide hook procedures of Strennix,
// one source built for 32-bit and for 64-bit processes. Windows maps the
// library into every process of its bitness that receives mouse or window
// events, so it is written as plain C-style code without the C++ runtime: it
// must never crash, block, allocate, write files or hold a lock there. It
// only posts two private messages to the program's main window and passes
// every event on to the next hook.
#include <windows.h>

#include "hook/dll/reporting.h"
#include "platform/hookprotocol.h"

namespace {

using namespace strennix::hookprotocol;

// A press in a non-client area that has not been released yet, in this
// process. A press on a caption starts the system's move loop, which takes
// the release as a plain WM_LBUTTONUP; this flag lets that release be
// reported once. Exchanged atomically, as each thread of the process that
// owns windows runs the hook for its own input.
volatile LONG nonClientPress = 0;

// The handle to pass on to CallNextHookEx. The NT family ignores it, so
// there nothing is looked up. The 9x family needs the handle of our own
// hook, which only the installing program knows: it publishes it in the
// registry. It is read at each event rather than kept, because the library
// may stay mapped in a process while the program ends and starts again with
// new hooks; a kept handle would then break the chain for every hook after
// ours. The 9x registry is held in memory, so the read is cheap there.
HHOOK chainHandle(const char* valueName) {
  if ((GetVersion() & 0x80000000u) == 0) {
    return nullptr;
  }
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return nullptr;
  }
  DWORD value = 0;
  DWORD type = 0;
  DWORD size = sizeof(value);
  const LONG result =
      RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(value)) {
    return nullptr;
  }
  // NOLINTNEXTLINE(performance-no-int-to-ptr): stored as its 32-bit value.
  return reinterpret_cast<HHOOK>(static_cast<ULONG_PTR>(value));
}

DWORD processOf(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process;
}

// Posts an event about `window` to the main window, if it runs and this
// library is the one to report it.
void postToMain(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND main = FindWindowA(kMainClass, kMainCaption);
  if (main == nullptr) {
    return;
  }
  if (!strennix::reportsEvent(processOf(window), GetCurrentProcessId(), processOf(main))) {
    return;
  }
  PostMessageA(main, message, wParam, lParam);
}

void postRelease(const MOUSEHOOKSTRUCT* event) {
  postToMain(event->hwnd, kStrnxNcLButtonUp, static_cast<WPARAM>(event->pt.x),
             static_cast<LPARAM>(event->pt.y));
}

void onMouse(WPARAM message, const MOUSEHOOKSTRUCT* event) {
  switch (message) {
    case WM_NCLBUTTONDOWN:
      InterlockedExchange(&nonClientPress, 1);
      break;
    case WM_LBUTTONDOWN:
      // The next release ends this client press, not an earlier one.
      InterlockedExchange(&nonClientPress, 0);
      break;
    case WM_NCLBUTTONUP:
      InterlockedExchange(&nonClientPress, 0);
      postRelease(event);
      break;
    case WM_LBUTTONUP:
      if (InterlockedExchange(&nonClientPress, 0) != 0) {
        postRelease(event);
      }
      break;
    default:
      break;
  }
}

// The program manages top-level windows only; leaving out child windows
// keeps the closing of a large dialog from flooding its message queue.
void onDestroy(HWND window) {
  if ((GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0) {
    return;
  }
  postToMain(window, kStrnxDestroy, reinterpret_cast<WPARAM>(window), 0);
}

}  // namespace

extern "C" {

// The entry point: no C runtime is started, and there is nothing to set up.
BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD /*reason*/, LPVOID /*reserved*/) { return TRUE; }

__declspec(dllexport) LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam) {
  // HC_NOREMOVE events are seen again with HC_ACTION when they are removed.
  if (code == HC_ACTION && lParam != 0) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): lParam points to the event.
    onMouse(wParam, reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam));
  }
  return CallNextHookEx(chainHandle(kMouseHookValue), code, wParam, lParam);
}

__declspec(dllexport) LRESULT CALLBACK CBTProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_DESTROYWND) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): wParam is the window.
    onDestroy(reinterpret_cast<HWND>(wParam));
  }
  return CallNextHookEx(chainHandle(kCbtHookValue), code, wParam, lParam);
}

}  // extern "C"
