// WindowEventsPort: the system's accessibility events, taken out of context.
// The system queues them to this thread and calls the procedure from its
// message loop, so nothing runs inside other programs, and it reports 32-
// and 64-bit programs alike.
#include "platform/win32/windoweventsport.h"

#include <windows.h>

#include "platform/hookprotocol.h"
#include "platform/win32/win32handles.h"
#include "platform/windowevents.h"

namespace strennix::win32 {

namespace {

// Missing on Windows 95 and NT 4, so taken at run time.
using SetWinEventHookFunction = HWINEVENTHOOK(WINAPI*)(DWORD, DWORD, HMODULE, WINEVENTPROC, DWORD,
                                                       DWORD, DWORD);
using UnhookWinEventFunction = BOOL(WINAPI*)(HWINEVENTHOOK);

// The program's own main window, not merely the first of its class and
// caption: any program may make such a window first.
HWND ownMainWindow() {
  for (HWND window =
           FindWindowExA(nullptr, nullptr, hookprotocol::kMainClass, hookprotocol::kMainCaption);
       window != nullptr; window = FindWindowExA(nullptr, window, hookprotocol::kMainClass,
                                                 hookprotocol::kMainCaption)) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) {
      return window;
    }
  }
  return nullptr;
}

// Decides and posts, like the hook libraries: the procedure has no state to
// reach, and the main window handles the report in its turn. A window
// already gone answers no style and counts as top-level: its report only
// repaints what is still there.
void CALLBACK onWindowEvent(HWINEVENTHOOK /*hook*/, DWORD event, HWND window, LONG object,
                            LONG child, DWORD /*thread*/, DWORD /*time*/) {
  const WindowEventReport report = reportOf(event, object, child);
  if (report == WindowEventReport::None || window == nullptr ||
      (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0) {
    return;
  }
  HWND main = ownMainWindow();
  if (main == nullptr) {
    return;
  }
  const UINT message = report == WindowEventReport::CaptionChange
                           ? hookprotocol::kStrnxCaptionChange
                           : hookprotocol::kStrnxUncovered;
  PostMessageA(main, message, reinterpret_cast<WPARAM>(window), 0);
}

HookHandle watchRange(SetWinEventHookFunction setHook, DWORD first, DWORD last) {
  return fromRaw<HookHandle>(setHook(first, last, nullptr, &onWindowEvent, 0, 0,
                                     WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS));
}

}  // namespace

// Two ranges, so that the frequent events between them (focus, selection,
// state) are never queued to this thread.
WindowEventWatch Win32WindowEventsPort::watchWindowEvents() {
  const auto setHook = user32EntryPoint<SetWinEventHookFunction>("SetWinEventHook");
  if (setHook == nullptr) {
    return {};
  }
  const WindowEventHooks hooks{
      watchRange(setHook, EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_NAMECHANGE),
      watchRange(setHook, EVENT_OBJECT_HIDE, EVENT_OBJECT_HIDE)};
  return {*this, hooks};
}

void Win32WindowEventsPort::endWatch(const WindowEventHooks& hooks) {
  const auto unhook = user32EntryPoint<UnhookWinEventFunction>("UnhookWinEvent");
  if (unhook == nullptr) {
    return;
  }
  for (const HookHandle hook : {hooks.titles, hooks.windows}) {
    if (hook != HookHandle{}) {
      unhook(toRaw<HWINEVENTHOOK>(hook));
    }
  }
}

}  // namespace strennix::win32
