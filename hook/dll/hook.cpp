// hook.dll and hook64.dll: the system-wide hook procedures of Strennix, one
// source built for 32-bit and for 64-bit processes. Windows maps the library
// into every process of its bitness that receives mouse or window events, so
// it is written as plain C-style code without the C++ runtime: it must never
// crash, block, allocate, write files or hold a lock there. It only decides,
// posts private messages to the program's main window and passes every event
// on to the next hook. A press on one of the program's painted buttons is the
// one event it keeps from the window: the button, not the window, owns it.
// There is no hook on sent messages (WH_CALLWNDPROC...): under Wine it made
// a program that sends many messages some 90 times slower.
#include <windows.h>

#include "hook/dll/kernelhandles.h"
#include "hook/dll/pressstate.h"
#include "hook/dll/reporting.h"
#include "hook/dll/rowreader.h"
#include "platform/handle.h"
#include "platform/hookprotocol.h"

namespace {

using namespace strennix::hookprotocol;

static_assert(strennix::mousemessage::kMouseMove == WM_MOUSEMOVE &&
              strennix::mousemessage::kLButtonDown == WM_LBUTTONDOWN &&
              strennix::mousemessage::kLButtonUp == WM_LBUTTONUP &&
              strennix::mousemessage::kLButtonDblClk == WM_LBUTTONDBLCLK &&
              strennix::mousemessage::kNcMouseMove == WM_NCMOUSEMOVE &&
              strennix::mousemessage::kNcLButtonDown == WM_NCLBUTTONDOWN &&
              strennix::mousemessage::kNcLButtonUp == WM_NCLBUTTONUP &&
              strennix::mousemessage::kNcLButtonDblClk == WM_NCLBUTTONDBLCLK);

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

Uint32 handleValue(HWND window) { return static_cast<Uint32>(reinterpret_cast<ULONG_PTR>(window)); }

// A handle kept as its 32 significant bits, widened as 64-bit Windows does.
HWND windowOf(Uint32 value) {
  // NOLINTNEXTLINE(performance-no-int-to-ptr): a window handle's value.
  return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(value)));
}

using strennix::hookdll::Api;
using strennix::hookdll::KernelObjectTraits;

struct ViewTraits {
  using Value = LPVOID;
  using Owner = Api;
  static bool valid(const Value& value) { return value != nullptr; }
  static void release(Owner& /*api*/, const Value& value) noexcept { UnmapViewOfFile(value); }
};

// The program's published rows, mapped read-only for the one event that
// reads them. Nothing is kept between events: a map loses its name with its
// last handle, so a view kept in this process would outlive the program's
// map, and the program started again would make a new map that such a view
// never sees.
class PublishedRows {
 public:
  PublishedRows()
      : mapping_(api_, OpenFileMappingA(FILE_MAP_READ, FALSE, kButtonRowsMapName)),
        // A map smaller than the table cannot be viewed at the table's size,
        // so nothing past its end is ever read.
        view_(api_, mapping_
                        ? MapViewOfFile(mapping_.get(), FILE_MAP_READ, 0, 0, sizeof(ButtonRowTable))
                        : nullptr) {}
  PublishedRows(const PublishedRows&) = delete;
  PublishedRows& operator=(const PublishedRows&) = delete;
  PublishedRows(PublishedRows&&) = delete;
  PublishedRows& operator=(PublishedRows&&) = delete;
  ~PublishedRows() = default;

  // None until the program runs.
  [[nodiscard]] const volatile ButtonRowTable* table() const {
    return view_ ? static_cast<const volatile ButtonRowTable*>(view_.get()) : nullptr;
  }

 private:
  Api api_;
  strennix::UniqueHandle<KernelObjectTraits> mapping_;
  strennix::UniqueHandle<ViewTraits> view_;
};

// The program's main window and process, as the rows' header names them,
// only while that window belongs to that process: any other program may
// make a window of the main window's class, and a program that has gone
// leaves its header behind.
struct Program {
  HWND main = nullptr;
  DWORD process = 0;
};

Program program(const PublishedRows& rows) {
  const volatile ButtonRowTable* table = rows.table();
  if (table == nullptr) {
    return {};
  }
  const strennix::rowreader::Publisher publisher = strennix::rowreader::publisherOf(*table);
  HWND main = windowOf(publisher.mainWindow);
  if (main == nullptr || publisher.process == 0 || processOf(main) != publisher.process) {
    return {};
  }
  return Program{main, publisher.process};
}

// Posts an event about `window` to the main window, if it runs and this
// library is the one to report it. Answers whether it was posted.
bool postToMain(const PublishedRows& rows, HWND window, UINT message, WPARAM wParam,
                LPARAM lParam) {
  const Program target = program(rows);
  if (target.main == nullptr ||
      !strennix::reportsEvent(processOf(window), GetCurrentProcessId(), target.process)) {
    return false;
  }
  return PostMessageA(target.main, message, wParam, lParam) != FALSE;
}

void postRelease(const MOUSEHOOKSTRUCT* event) {
  postToMain(PublishedRows(), event->hwnd, kStrnxNcLButtonUp, static_cast<WPARAM>(event->pt.x),
             static_cast<LPARAM>(event->pt.y));
}

// The button slot of the window's published row under the screen point, or
// -1.
int slotUnder(const PublishedRows& rows, HWND window, POINT point) {
  const volatile ButtonRowTable* table = rows.table();
  strennix::rowreader::Row row;
  RECT rect;
  if (table == nullptr || !strennix::rowreader::readRow(*table, handleValue(window), row) ||
      GetWindowRect(window, &rect) == FALSE) {
    return -1;
  }
  return strennix::rowreader::slotOf(row, rect.right, rect.top, point.x, point.y);
}

// The window whose button is held down in this process. The window gets the
// mouse captured, so that the release comes back to this process wherever it
// happens; `pressCaptured` says whether the system gave it the capture, and
// once it had it, losing it ends the press.
PVOID volatile pressedWindow = nullptr;
volatile LONG pressCaptured = 0;

// Only the library mapped in the window's own process keeps a press: the
// other one runs where it could neither capture the mouse nor hold it back.
// The press is kept from the window only once the program has been told:
// a press nobody hears of must reach its window.
bool startPress(const MOUSEHOOKSTRUCT* event) {
  if (processOf(event->hwnd) != GetCurrentProcessId()) {
    return false;
  }
  const PublishedRows rows;
  const int slot = slotUnder(rows, event->hwnd, event->pt);
  if (slot < 0 ||
      !postToMain(rows, event->hwnd, kStrnxButtonDown, handleValue(event->hwnd), slot)) {
    return false;
  }
  InterlockedExchangePointer(&pressedWindow, event->hwnd);
  InterlockedExchange(&nonClientPress, 0);
  SetCapture(event->hwnd);
  InterlockedExchange(&pressCaptured, GetCapture() == event->hwnd ? 1 : 0);
  return true;
}

// Ends the press held on `window`, if it still is: the release over the
// same button (`event` given) runs its action, anything else cancels it.
// Answers whether the program was told.
bool endPress(HWND window, const MOUSEHOOKSTRUCT* event) {
  if (InterlockedCompareExchangePointer(&pressedWindow, nullptr, window) != window) {
    return false;
  }
  const PublishedRows rows;
  const int slot = event != nullptr ? slotUnder(rows, window, event->pt) : -1;
  if (GetCapture() == window) {
    ReleaseCapture();
  }
  return postToMain(rows, window, kStrnxButtonUp, handleValue(window), slot);
}

// While a button is held, the window sees none of the mouse: neither the
// moves that would drag it nor the release. Answers whether the event is
// kept from the window.
bool onHeldButton(HWND window, WPARAM message, const MOUSEHOOKSTRUCT* event) {
  const bool captureHeld = pressCaptured == 0 || GetCapture() == window;
  switch (strennix::heldStep(static_cast<unsigned>(message), captureHeld)) {
    case strennix::HeldStep::Release:
      return endPress(window, event);
    case strennix::HeldStep::Keep:
      return true;
    case strennix::HeldStep::Cancel:
      endPress(window, nullptr);
      return false;
    case strennix::HeldStep::PassOn:
      return false;
  }
  return false;
}

// Answers whether the event is kept from the window.
bool onMouse(WPARAM message, const MOUSEHOOKSTRUCT* event) {
  if (HWND held = static_cast<HWND>(pressedWindow); held != nullptr) {
    if (onHeldButton(held, message, event)) {
      return true;
    }
  }
  switch (message) {
    case WM_NCLBUTTONDOWN:
      if (startPress(event)) {
        return true;
      }
      InterlockedExchange(&nonClientPress, 1);
      break;
    case WM_NCLBUTTONDBLCLK:
      // The second of two quick clicks on a button is a press like the
      // first; on the window it would maximize.
      return startPress(event);
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
  return false;
}

// A top-level window's title bar is about to be painted anew: the program
// paints its buttons again once that repaint is on the screen. `reporter`
// is the window whose process decides which library reports the event.
// kStrnxCaptionChange: it is activated or deactivated, or its move or size
// begins; kStrnxUncovered: it is minimized, maximized or restored, and if it
// shrinks it uncovers the windows under it.
void onTitleBarChange(const PublishedRows& rows, HWND reporter, HWND window, UINT message) {
  if (window == nullptr || (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0) {
    return;
  }
  postToMain(rows, reporter, message, handleValue(window), 0);
}

// The program manages top-level windows only; leaving out child windows
// keeps the closing of a large dialog from flooding its message queue.
// A window destroyed while its button is held takes the press with it.
void onDestroy(HWND window) {
  endPress(window, nullptr);
  if ((GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0) {
    return;
  }
  postToMain(PublishedRows(), window, kStrnxDestroy, reinterpret_cast<WPARAM>(window), 0);
}

}  // namespace

extern "C" {

// The entry point: no C runtime is started, and there is nothing to set up.
BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD /*reason*/, LPVOID /*reserved*/) { return TRUE; }

__declspec(dllexport) LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam) {
  // HC_NOREMOVE events are seen again with HC_ACTION when they are removed.
  bool kept = false;
  if (code == HC_ACTION && lParam != 0) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): lParam points to the event.
    kept = onMouse(wParam, reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam));
  }
  const LRESULT next = CallNextHookEx(chainHandle(kMouseHookValue), code, wParam, lParam);
  return kept ? 1 : next;
}

__declspec(dllexport) LRESULT CALLBACK CBTProc(int code, WPARAM wParam, LPARAM lParam) {
  // NOLINTBEGIN(performance-no-int-to-ptr): wParam is the window, lParam
  // points to the activation's details.
  switch (code) {
    case HCBT_DESTROYWND:
      onDestroy(reinterpret_cast<HWND>(wParam));
      break;
    case HCBT_ACTIVATE: {
      // The window that loses the activation is repainted too; it may
      // belong to another process, which is not told. One mapping of the
      // rows serves both reports.
      HWND activated = reinterpret_cast<HWND>(wParam);
      const PublishedRows rows;
      onTitleBarChange(rows, activated, activated, kStrnxCaptionChange);
      if (lParam != 0) {
        onTitleBarChange(rows, activated,
                         reinterpret_cast<const CBTACTIVATESTRUCT*>(lParam)->hWndActive,
                         kStrnxCaptionChange);
      }
      break;
    }
    case HCBT_MINMAX:
      onTitleBarChange(PublishedRows(), reinterpret_cast<HWND>(wParam),
                       reinterpret_cast<HWND>(wParam), kStrnxUncovered);
      break;
    case HCBT_MOVESIZE:
      onTitleBarChange(PublishedRows(), reinterpret_cast<HWND>(wParam),
                       reinterpret_cast<HWND>(wParam), kStrnxCaptionChange);
      break;
    default:
      break;
  }
  // NOLINTEND(performance-no-int-to-ptr)
  return CallNextHookEx(chainHandle(kCbtHookValue), code, wParam, lParam);
}

}  // extern "C"
