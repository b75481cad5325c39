// testdriver.exe: a small console program that the end-to-end tests run under
// Wine, in the same virtual desktop as strennix.exe. It opens plain windows of
// chosen styles for Strennix to act on, and reads and operates the windows of
// other processes (Strennix's own forms and message boxes included).
//
//   testdriver.exe <command> [--option value ...]
//
// Exit code 0 on success, 1 when the window asked for does not exist or the
// operation failed, 2 on a usage error. Output goes to stdout, one record per
// line, as blank-separated key=value pairs; a free text (title, text) is
// always the last field of its line.
#include <windows.h>
// windows.h first: the others build on it.
#include <commctrl.h>
#include <fcntl.h>
#include <io.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
// Long enough for a busy program under Wine, short enough that a modal loop
// started by the message (a message box) does not hold the driver for long.
constexpr UINT kSendTimeoutMs = 2000;

class Options {
 public:
  // Every option takes a value, except the named flags.
  static std::optional<Options> parse(int argc, char** argv, int first) {
    static const std::set<std::string> kFlags = {"icon", "visible"};
    Options options;
    for (int i = first; i < argc; ++i) {
      std::string arg = argv[i];
      if (arg.rfind("--", 0) != 0) {
        std::fprintf(stderr, "unexpected argument: %s\n", arg.c_str());
        return std::nullopt;
      }
      std::string name = arg.substr(2);
      if (kFlags.contains(name)) {
        options.values_.insert_or_assign(name, std::string("1"));
        continue;
      }
      if (i + 1 >= argc) {
        std::fprintf(stderr, "option --%s needs a value\n", name.c_str());
        return std::nullopt;
      }
      options.values_.insert_or_assign(name, std::string(argv[++i]));
    }
    return options;
  }

  [[nodiscard]] bool has(const std::string& name) const { return values_.contains(name); }
  [[nodiscard]] std::string text(const std::string& name) const {
    auto it = values_.find(name);
    return it == values_.end() ? std::string() : it->second;
  }
  [[nodiscard]] const char* textOrNull(const std::string& name) const {
    auto it = values_.find(name);
    return it == values_.end() ? nullptr : it->second.c_str();
  }
  [[nodiscard]] long number(const std::string& name, long fallback = 0) const {
    return has(name) ? std::strtol(text(name).c_str(), nullptr, 0) : fallback;
  }
  [[nodiscard]] unsigned long hex(const std::string& name, unsigned long fallback = 0) const {
    return has(name) ? std::strtoul(text(name).c_str(), nullptr, 16) : fallback;
  }

 private:
  std::map<std::string, std::string> values_;
};

// The one place where integers from the API (handle values, message
// parameters, window data) become pointers again.
template <class Pointer>
Pointer pointerFrom(ULONG_PTR value) {
  return reinterpret_cast<Pointer>(value);  // NOLINT(performance-no-int-to-ptr)
}

bool succeeded(BOOL result) { return result != FALSE; }
int bit(BOOL value) { return value != FALSE ? 1 : 0; }

struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
};

std::optional<Rect> parseRect(const std::string& text) {
  Rect r;
  if (std::sscanf(text.c_str(), "%d,%d,%d,%d", &r.x, &r.y, &r.width, &r.height) != 4) {
    return std::nullopt;
  }
  return r;
}

std::string className(HWND window) {
  char buffer[256] = {};
  GetClassNameA(window, buffer, sizeof buffer);
  return buffer;
}

std::string windowText(HWND window) {
  char buffer[1024] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

bool sendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                     DWORD_PTR* result = nullptr) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs,
                             result != nullptr ? result : &ignored) != 0;
}

// A top-level window chosen by --hwnd, or by --class and/or --title (first
// match). Hidden windows count.
HWND findTopLevel(const Options& options) {
  if (options.has("hwnd")) {
    auto* window = pointerFrom<HWND>(options.hex("hwnd"));
    return succeeded(IsWindow(window)) ? window : nullptr;
  }
  if (!options.has("class") && !options.has("title")) {
    return nullptr;
  }
  return FindWindowExA(nullptr, nullptr, options.textOrNull("class"), options.textOrNull("title"));
}

BOOL CALLBACK collectWindow(HWND window, LPARAM list) {
  pointerFrom<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

std::vector<HWND> descendants(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(parent, collectWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::vector<HWND> topLevelWindows() {
  std::vector<HWND> found;
  EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

// GetDlgItem sees direct children only; the settings form nests its check
// boxes inside group boxes.
HWND findDescendant(HWND parent, int id) {
  for (HWND child : descendants(parent)) {
    if (GetDlgCtrlID(child) == id) {
      return child;
    }
  }
  return nullptr;
}

unsigned long handleValue(HWND window) {
  return static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window));
}

void printWindow(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  const auto style = static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE));
  const auto exStyle = static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE));
  std::printf(
      "hwnd=0x%lx rect=%ld,%ld,%ld,%ld style=0x%08lx exstyle=0x%08lx visible=%d topmost=%d "
      "foreground=%d iconic=%d owner=0x%lx class=%s title=%s\n",
      handleValue(window), r.left, r.top, r.right, r.bottom, style, exStyle,
      bit(IsWindowVisible(window)), (exStyle & WS_EX_TOPMOST) != 0 ? 1 : 0,
      GetForegroundWindow() == window ? 1 : 0, bit(IsIconic(window)),
      handleValue(GetWindow(window, GW_OWNER)), className(window).c_str(),
      windowText(window).c_str());
}

bool isCheckable(HWND control) {
  if (lstrcmpiA(className(control).c_str(), "Button") != 0) {
    return false;
  }
  switch (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return true;
    default:
      return false;
  }
}

bool isTrackBar(HWND control) {
  return lstrcmpiA(className(control).c_str(), TRACKBAR_CLASSA) == 0;
}

void printChild(HWND topLevel, HWND child) {
  // The rectangle in the client coordinates of the control's own parent, the
  // way a form layout gives positions.
  HWND parent = GetParent(child);
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  const int parentId = parent == topLevel ? 0 : GetDlgCtrlID(parent);
  std::printf("id=%d class=%s rect=%ld,%ld,%ld,%ld parent=%d enabled=%d visible=%d",
              GetDlgCtrlID(child), className(child).c_str(), r.left, r.top, r.right, r.bottom,
              parentId, bit(IsWindowEnabled(child)), bit(IsWindowVisible(child)));
  DWORD_PTR value = 0;
  if (isCheckable(child) && sendWithTimeout(child, BM_GETCHECK, 0, 0, &value)) {
    std::printf(" checked=%d", value == BST_CHECKED ? 1 : 0);
  }
  if (isTrackBar(child) && sendWithTimeout(child, TBM_GETPOS, 0, 0, &value)) {
    std::printf(" pos=%ld", static_cast<long>(value));
  }
  std::printf(" text=%s\n", windowText(child).c_str());
}

// --- open -------------------------------------------------------------------

struct OpenWindowState {
  HICON icon = nullptr;
};

// A distinct 16 x 16 icon (a red square with a dark frame), so that it can be
// told apart from stock icons on a screenshot of the tray.
HICON makeIcon() {
  constexpr int kSize = 16;
  BYTE andMask[kSize * kSize / 8] = {};
  DWORD colour[kSize * kSize];
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const bool frame = x == 0 || y == 0 || x == kSize - 1 || y == kSize - 1;
      colour[y * kSize + x] = frame ? 0xFF400000 : 0xFFE02020;
    }
  }
  HBITMAP mask = CreateBitmap(kSize, kSize, 1, 1, andMask);
  HBITMAP image = CreateBitmap(kSize, kSize, 1, 32, colour);
  ICONINFO info{TRUE, 0, 0, mask, image};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  DeleteObject(image);
  return icon;
}

// Posted by `hang` to a window that `open` made: its procedure sleeps for
// lParam milliseconds, so that its program stops taking messages.
constexpr UINT kHangMessage = WM_APP + 0x3A1;

LRESULT CALLBACK openWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = pointerFrom<OpenWindowState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case kHangMessage:
      Sleep(static_cast<DWORD>(lParam));
      return 0;
    case WM_NCCREATE: {
      auto* create = pointerFrom<CREATESTRUCTA*>(lParam);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      break;
    }
    case WM_GETICON:
      if (state != nullptr && state->icon != nullptr) {
        return reinterpret_cast<LRESULT>(state->icon);
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      FillRect(dc, &paint.rcPaint, GetSysColorBrush(COLOR_WINDOW));
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool registerClass(const std::string& name, WNDPROC procedure) {
  WNDCLASSA windowClass{};
  if (succeeded(GetClassInfoA(GetModuleHandleA(nullptr), name.c_str(), &windowClass))) {
    return true;
  }
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  windowClass.lpszClassName = name.c_str();
  return RegisterClassA(&windowClass) != 0;
}

int runMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return kExitOk;
}

int cmdOpen(const Options& options) {
  const std::string title = options.text("title");
  const std::string windowClass =
      options.has("class") ? options.text("class") : "StrennixTestWindow";
  const Rect rect = parseRect(options.text("rect")).value_or(Rect{100, 100, 400, 300});
  if (!registerClass(windowClass, openWindowProc)) {
    return kExitFailed;
  }

  HWND owner = nullptr;
  if (options.has("owner-class")) {
    if (!registerClass(options.text("owner-class"), DefWindowProcA)) {
      return kExitFailed;
    }
    // Like a form library's application window: never shown, owns the form.
    owner = CreateWindowExA(0, options.text("owner-class").c_str(), "", WS_POPUP, 0, 0, 0, 0,
                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  }

  static OpenWindowState state;
  if (options.has("icon")) {
    state.icon = makeIcon();
  }
  const auto style = static_cast<DWORD>(options.hex("style", WS_OVERLAPPEDWINDOW));
  const auto exStyle = static_cast<DWORD>(options.hex("exstyle", 0));
  HWND window =
      CreateWindowExA(exStyle, windowClass.c_str(), title.c_str(), style, rect.x, rect.y,
                      rect.width, rect.height, owner, nullptr, GetModuleHandleA(nullptr), &state);
  if (window == nullptr) {
    return kExitFailed;
  }
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  std::printf("hwnd=0x%lx\n", handleValue(window));
  std::fflush(stdout);
  return runMessageLoop();
}

// --- reading windows ----------------------------------------------------------

int cmdQuery(const Options& options) {
  HWND window = findTopLevel(options);
  if (window == nullptr) {
    return kExitFailed;
  }
  printWindow(window);
  return kExitOk;
}

int cmdList(const Options& options) {
  for (HWND window : topLevelWindows()) {
    if (!options.has("visible") || succeeded(IsWindowVisible(window))) {
      printWindow(window);
    }
  }
  return kExitOk;
}

int cmdChildren(const Options& options) {
  HWND window = findTopLevel(options);
  if (window == nullptr) {
    return kExitFailed;
  }
  for (HWND child : descendants(window)) {
    printChild(window, child);
  }
  return kExitOk;
}

// The texts of a message box: its static controls, less the icon.
int cmdDialogText(const Options& options) {
  HWND box = FindWindowExA(nullptr, nullptr, "#32770", options.textOrNull("title"));
  if (box == nullptr) {
    return kExitFailed;
  }
  for (HWND child : descendants(box)) {
    if (lstrcmpiA(className(child).c_str(), "Static") != 0) {
      continue;
    }
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      continue;
    }
    const std::string text = windowText(child);
    if (!text.empty()) {
      std::printf("%s\n", text.c_str());
    }
  }
  return kExitOk;
}

// Holds the desktop: Wine closes a virtual desktop, taskbar and all, soon
// after the last program on it ends, and starts it afresh for the next one.
// Runs, windowless, until it is killed.
int cmdIdle(const Options& /*options*/) {
  GetDesktopWindow();
  return runMessageLoop();
}

// Answers once the window's thread takes messages again: its message loop
// runs (or a modal loop does).
int cmdPing(const Options& options) {
  HWND window = findTopLevel(options);
  return window != nullptr && sendWithTimeout(window, WM_NULL, 0, 0) ? kExitOk : kExitFailed;
}

// The primary display's work area, "rect=L,T,R,B": the screen less the
// taskbar.
int cmdWorkArea(const Options& /*options*/) {
  RECT r{};
  if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0) == FALSE) {
    return kExitFailed;
  }
  std::printf("rect=%ld,%ld,%ld,%ld\n", r.left, r.top, r.right, r.bottom);
  return kExitOk;
}

// --- operating windows --------------------------------------------------------

int cmdClose(const Options& options) {
  HWND window = findTopLevel(options);
  return window != nullptr && succeeded(PostMessageA(window, WM_CLOSE, 0, 0)) ? kExitOk
                                                                              : kExitFailed;
}

int cmdHang(const Options& options) {
  HWND window = findTopLevel(options);
  const auto ms = static_cast<LPARAM>(options.number("ms", 60000));
  return window != nullptr && succeeded(PostMessageA(window, kHangMessage, 0, ms)) ? kExitOk
                                                                                   : kExitFailed;
}

// Exit code 0 while the system counts the window's program as not answering
// (IsHungAppWindow), as Strennix sees it.
int cmdIsHung(const Options& options) {
  HWND window = findTopLevel(options);
  return window != nullptr && succeeded(IsHungAppWindow(window)) ? kExitOk : kExitFailed;
}

// Any message, as another program could post it (a forged report, a WM_QUIT
// from elsewhere).
int cmdPost(const Options& options) {
  HWND window = findTopLevel(options);
  const auto message = static_cast<UINT>(options.hex("msg"));
  const auto wParam = static_cast<WPARAM>(options.hex("wparam"));
  const auto lParam = static_cast<LPARAM>(options.hex("lparam"));
  return window != nullptr && succeeded(PostMessageA(window, message, wParam, lParam))
             ? kExitOk
             : kExitFailed;
}

int cmdForeground(const Options& options) {
  HWND window = findTopLevel(options);
  return window != nullptr && succeeded(SetForegroundWindow(window)) ? kExitOk : kExitFailed;
}

int cmdShow(const Options& options) {
  HWND window = findTopLevel(options);
  if (window == nullptr) {
    return kExitFailed;
  }
  ShowWindow(window, static_cast<int>(options.number("cmd", SW_SHOW)));
  return kExitOk;
}

int cmdMove(const Options& options) {
  HWND window = findTopLevel(options);
  const auto rect = parseRect(options.text("rect"));
  if (window == nullptr || !rect) {
    return kExitFailed;
  }
  const bool moved = succeeded(SetWindowPos(window, nullptr, rect->x, rect->y, rect->width,
                                            rect->height, SWP_NOZORDER | SWP_NOACTIVATE));
  return moved ? kExitOk : kExitFailed;
}

int cmdSetTitle(const Options& options) {
  HWND window = findTopLevel(options);
  return window != nullptr && succeeded(SetWindowTextA(window, options.text("text").c_str()))
             ? kExitOk
             : kExitFailed;
}

// Raises an accessibility event about the window itself. Windows raises
// these as titles change and windows move or hide; Wine 8 does not, so the
// tests raise them where Windows would.
int cmdWinEvent(const Options& options) {
  HWND window = findTopLevel(options);
  if (window == nullptr) {
    return kExitFailed;
  }
  NotifyWinEvent(static_cast<DWORD>(options.hex("event")), window, OBJID_WINDOW, CHILDID_SELF);
  return kExitOk;
}

int cmdSetStyle(const Options& options) {
  HWND window = findTopLevel(options);
  if (window == nullptr) {
    return kExitFailed;
  }
  if (options.has("style")) {
    SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(options.hex("style")));
  }
  if (options.has("exstyle")) {
    SetWindowLongA(window, GWL_EXSTYLE, static_cast<LONG>(options.hex("exstyle")));
  }
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return kExitOk;
}

HWND findControl(const Options& options) {
  HWND window = findTopLevel(options);
  return window != nullptr ? findDescendant(window, static_cast<int>(options.number("id")))
                           : nullptr;
}

// Sent, so the control's state has settled when the driver returns; a handler
// that opens a modal box only costs the send time-out.
int cmdClick(const Options& options) {
  HWND control = findControl(options);
  if (control == nullptr) {
    return kExitFailed;
  }
  sendWithTimeout(control, BM_CLICK, 0, 0);
  return kExitOk;
}

int cmdSetCheck(const Options& options) {
  HWND control = findControl(options);
  const WPARAM state = options.number("checked") != 0 ? BST_CHECKED : BST_UNCHECKED;
  return control != nullptr && sendWithTimeout(control, BM_SETCHECK, state, 0) ? kExitOk
                                                                               : kExitFailed;
}

int cmdSetTrack(const Options& options) {
  HWND control = findControl(options);
  return control != nullptr && sendWithTimeout(control, TBM_SETPOS, TRUE, options.number("pos"))
             ? kExitOk
             : kExitFailed;
}

// Asked for in UTF-16: Wine hands an ANSI caller of another process the
// item's UTF-16 text unconverted.
std::string listItemText(HWND list, WPARAM index) {
  DWORD_PTR length = 0;
  if (SendMessageTimeoutW(list, LB_GETTEXTLEN, index, 0, SMTO_NORMAL, kSendTimeoutMs, &length) ==
      0) {
    return {};
  }
  std::vector<wchar_t> wide(length + 1, L'\0');
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(wide.data()), SMTO_NORMAL,
                      kSendTimeoutMs, &ignored);
  std::vector<char> text(wide.size() * 2, '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, text.data(), static_cast<int>(text.size()),
                      nullptr, nullptr);
  return text.data();
}

// The items of a list box, one a line: "index=N rect=L,T,R,B selected=0|1
// text=T", the rectangle in screen coordinates, so that a test can click an
// item.
int cmdItems(const Options& options) {
  HWND list = findControl(options);
  DWORD_PTR count = 0;
  if (list == nullptr || !sendWithTimeout(list, LB_GETCOUNT, 0, 0, &count)) {
    return kExitFailed;
  }
  DWORD_PTR selected = 0;
  sendWithTimeout(list, LB_GETCURSEL, 0, 0, &selected);
  for (DWORD_PTR index = 0; index < count; ++index) {
    RECT r{};
    sendWithTimeout(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
    std::printf("index=%lu rect=%ld,%ld,%ld,%ld selected=%d text=%s\n",
                static_cast<unsigned long>(index), r.left, r.top, r.right, r.bottom,
                selected == index ? 1 : 0, listItemText(list, index).c_str());
  }
  return kExitOk;
}

int buttonId(const std::string& name) {
  static const std::map<std::string, int> kNames = {
      {"ok", IDOK},         {"cancel", IDCANCEL}, {"abort", IDABORT}, {"retry", IDRETRY},
      {"ignore", IDIGNORE}, {"yes", IDYES},       {"no", IDNO}};
  auto it = kNames.find(name);
  return it != kNames.end() ? it->second : static_cast<int>(std::strtol(name.c_str(), nullptr, 0));
}

// Posted: the box ends its modal loop and its owner goes on without the
// driver waiting for it.
int cmdPress(const Options& options) {
  HWND box = FindWindowExA(nullptr, nullptr, "#32770", options.textOrNull("title"));
  if (box == nullptr) {
    return kExitFailed;
  }
  const int id = buttonId(options.text("button"));
  const bool posted = succeeded(PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                                             reinterpret_cast<LPARAM>(GetDlgItem(box, id))));
  return posted ? kExitOk : kExitFailed;
}

// --- GUI objects of a process ---------------------------------------------------

// Handles closed with CloseHandle, for the process and thread opened below.
class KernelHandle {
 public:
  explicit KernelHandle(HANDLE handle) : handle_(handle) {}
  ~KernelHandle() {
    if (handle_ != nullptr) {
      CloseHandle(handle_);
    }
  }
  KernelHandle(const KernelHandle&) = delete;
  KernelHandle& operator=(const KernelHandle&) = delete;
  [[nodiscard]] HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

template <class Value>
std::optional<Value> readRemote(HANDLE process, ULONG_PTR address) {
  Value value{};
  SIZE_T read = 0;
  if (address == 0 ||
      !succeeded(
          ReadProcessMemory(process, pointerFrom<LPCVOID>(address), &value, sizeof value, &read)) ||
      read != sizeof value) {
    return std::nullopt;
  }
  return value;
}

// The thread's TEB, from NtQueryInformationThread (ThreadBasicInformation).
ULONG_PTR threadTeb(HANDLE thread) {
  struct ThreadBasicInformation {
    LONG exitStatus;
    ULONG_PTR teb;
    ULONG_PTR clientId[2];
    ULONG_PTR affinityMask;
    LONG priority;
    LONG basePriority;
  };
  using Query = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread")));
  ThreadBasicInformation information{};
  if (query == nullptr || query(thread, 0, &information, sizeof information, nullptr) != 0) {
    return 0;
  }
  return information.teb;
}

// The GdiSharedHandleTable of a 64-bit process, whose 64-bit TEB points to
// the 64-bit PEB at 0x60; the table's address is at 0xF8 of the PEB.
ULONGLONG gdiTableOf64BitPeb(HANDLE process, ULONGLONG teb64) {
  const auto peb64 = readRemote<ULONGLONG>(process, static_cast<ULONG_PTR>(teb64) + 0x60);
  if (!peb64 || *peb64 > MAXULONG_PTR - 0xF8) {
    return 0;
  }
  const auto table = readRemote<ULONGLONG>(process, static_cast<ULONG_PTR>(*peb64) + 0xF8);
  return table && *table <= MAXULONG_PTR ? *table : 0;
}

#ifdef _WIN64
// Where the process's GDI handle table is, or 0. The 64-bit driver reads the
// programs of its own bitness.
ULONGLONG gdiTableAddress(HANDLE process, ULONG_PTR teb) {
  return gdiTableOf64BitPeb(process, teb);
}
#else
// Where the process's GDI handle table is, or 0. Wine sets GdiSharedHandleTable
// of the 32-bit PEB (at 0x94; the TEB points to the PEB at 0x30) in a 32-bit
// prefix; in a 64-bit prefix it sets that of the 64-bit PEB instead, and the
// 32-bit TEB's GdiBatchCount field (at 0xF70) points to the 64-bit TEB.
ULONGLONG gdiTableAddress(HANDLE process, ULONG_PTR teb) {
  const auto peb = readRemote<DWORD>(process, teb + 0x30);
  const auto table = peb ? readRemote<DWORD>(process, *peb + 0x94) : std::nullopt;
  if (table && *table != 0) {
    return *table;
  }
  const auto teb64 = readRemote<DWORD>(process, teb + 0xF70);
  return teb64 ? gdiTableOf64BitPeb(process, *teb64) : 0;
}
#endif

// The live entries of the process's GDI handle table by their type, nothing
// when it cannot be read. Each of the 65536 entries is 24 bytes long; its
// type byte (at 14) is 0 while it is free (Wine: 0x01 DC, 0x04 region, 0x08
// palette, 0x09 bitmap, 0x0a font, 0x10 brush, 0x30 pen).
std::optional<std::map<int, long>> gdiTableEntries(HANDLE process, DWORD threadId) {
  constexpr std::size_t kEntries = 0x10000;
  constexpr std::size_t kEntrySize = 24;
  constexpr std::size_t kTypeOffset = 14;
  const KernelHandle thread(OpenThread(THREAD_QUERY_INFORMATION, FALSE, threadId));
  const ULONG_PTR teb = thread.get() != nullptr ? threadTeb(thread.get()) : 0;
  const ULONGLONG table = teb != 0 ? gdiTableAddress(process, teb) : 0;
  if (table == 0) {
    return std::nullopt;
  }
  std::vector<unsigned char> entries(kEntries * kEntrySize);
  SIZE_T read = 0;
  if (!succeeded(ReadProcessMemory(process, pointerFrom<LPCVOID>(table), entries.data(),
                                   entries.size(), &read)) ||
      read != entries.size()) {
    return std::nullopt;
  }
  std::map<int, long> used;
  for (std::size_t i = 0; i < kEntries; ++i) {
    if (const int type = entries[i * kEntrySize + kTypeOffset]; type != 0) {
      ++used[type];
    }
  }
  return used;
}

// "gditable=N gdibytype=TT:N,TT:N,..." (type in hex), or "gditable=-1".
std::string gdiTableText(const std::optional<std::map<int, long>>& entries) {
  if (!entries) {
    return "gditable=-1";
  }
  long total = 0;
  std::string byType;
  for (const auto& [type, count] : *entries) {
    char field[32] = {};
    std::snprintf(field, sizeof field, "%s%02x:%ld", byType.empty() ? "" : ",", type, count);
    byType += field;
    total += count;
  }
  return "gditable=" + std::to_string(total) + " gdibytype=" + byType;
}

// The process's windows: top-level, message-only and all their descendants.
long windowsOfProcess(DWORD processId) {
  std::vector<HWND> roots = topLevelWindows();
  for (HWND window = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); window != nullptr;
       window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr)) {
    roots.push_back(window);
  }
  long count = 0;
  const auto countWindow = [&count, processId](HWND window) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    count += owner == processId ? 1 : 0;
  };
  for (HWND root : roots) {
    countWindow(root);
    for (HWND child : descendants(root)) {
      countWindow(child);
    }
  }
  return count;
}

// The GDI and USER objects of the process that owns the window, as
// GetGuiResources reports them: "pid=N gdi=N user=N error=E". Wine does not
// implement GetGuiResources (it answers 0 with ERROR_CALL_NOT_IMPLEMENTED);
// then the line goes on with what can be counted from outside: "gditable=N
// gdibytype=TT:N,...", the live entries of the process's GDI handle table,
// and "windows=N", the process's windows (its only USER objects that another
// process can count; the bitmaps of its icons are in the GDI table); -1 when
// unreadable. A note last says which counts are real.
int cmdGuiResources(const Options& options) {
  HWND window = findTopLevel(options);
  DWORD processId = 0;
  const DWORD threadId = window != nullptr ? GetWindowThreadProcessId(window, &processId) : 0;
  const KernelHandle process(
      threadId != 0 ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId)
                    : nullptr);
  if (process.get() == nullptr) {
    return kExitFailed;
  }
  SetLastError(ERROR_SUCCESS);
  const DWORD gdi = GetGuiResources(process.get(), GR_GDIOBJECTS);
  const DWORD gdiError = GetLastError();
  SetLastError(ERROR_SUCCESS);
  const DWORD user = GetGuiResources(process.get(), GR_USEROBJECTS);
  const DWORD error = gdiError != ERROR_SUCCESS ? gdiError : GetLastError();
  std::printf("pid=%lu gdi=%lu user=%lu error=%lu", processId, gdi, user, error);
  if (gdi != 0 && user != 0) {
    std::printf(" note=GetGuiResources reported the counts\n");
    return kExitOk;
  }
  std::printf(
      " %s windows=%ld note=GetGuiResources reported %s (error %lu)\n",
      gdiTableText(gdiTableEntries(process.get(), threadId)).c_str(), windowsOfProcess(processId),
      error == ERROR_CALL_NOT_IMPLEMENTED ? "nothing: it is not implemented here" : "0", error);
  return kExitOk;
}

// --- version ----------------------------------------------------------------

// The version resource functions of version.dll, loaded here, as no other
// command needs the library.
class VersionLibrary {
 public:
  VersionLibrary() : module_(LoadLibraryA("version.dll")) {}
  ~VersionLibrary() {
    if (module_ != nullptr) {
      FreeLibrary(module_);
    }
  }
  VersionLibrary(const VersionLibrary&) = delete;
  VersionLibrary& operator=(const VersionLibrary&) = delete;

  // The file's whole version resource; empty when it has none.
  [[nodiscard]] std::vector<char> read(const std::string& file) const {
    using SizeFunction = DWORD(WINAPI*)(LPCSTR, LPDWORD);
    using InfoFunction = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
    auto size = function<SizeFunction>("GetFileVersionInfoSizeA");
    auto info = function<InfoFunction>("GetFileVersionInfoA");
    DWORD ignored = 0;
    std::vector<char> block(size != nullptr ? size(file.c_str(), &ignored) : 0);
    if (block.empty() || info == nullptr ||
        !succeeded(info(file.c_str(), 0, static_cast<DWORD>(block.size()), block.data()))) {
      return {};
    }
    return block;
  }

  // The item at the path inside the resource, or nothing.
  template <class Item>
  [[nodiscard]] const Item* query(const std::vector<char>& block, const std::string& path) const {
    using QueryFunction = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
    auto query = function<QueryFunction>("VerQueryValueA");
    void* item = nullptr;
    UINT length = 0;
    if (block.empty() || query == nullptr ||
        !succeeded(query(block.data(), path.c_str(), &item, &length)) || length == 0) {
      return nullptr;
    }
    return static_cast<const Item*>(item);
  }

 private:
  template <class Function>
  Function function(const char* name) const {
    return module_ != nullptr
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)))
               : nullptr;
  }

  HMODULE module_;
};

std::string versionText(DWORD high, DWORD low) {
  return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." +
         std::to_string(HIWORD(low)) + "." + std::to_string(LOWORD(low));
}

BOOL CALLBACK keepFirstName(HMODULE /*module*/, LPCSTR /*type*/, LPSTR name, LONG_PTR kept) {
  auto* first = pointerFrom<std::string*>(static_cast<ULONG_PTR>(kept));
  *first = IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<ULONG_PTR>(name)) : name;
  return FALSE;
}

// "firsticon=ID manifest=BYTES": the icon group that Explorer shows (the
// first one) and the size of the manifest of ID 1, 0 when there is none.
std::string iconAndManifest(const std::string& file) {
  HMODULE image = LoadLibraryExA(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (image == nullptr) {
    return "firsticon=none manifest=0";
  }
  std::string firstIcon = "none";
  EnumResourceNamesA(image, RT_GROUP_ICON, keepFirstName,
                     static_cast<LONG_PTR>(reinterpret_cast<ULONG_PTR>(&firstIcon)));
  HRSRC manifest = FindResourceA(image, MAKEINTRESOURCEA(1), RT_MANIFEST);
  const DWORD manifestSize = manifest != nullptr ? SizeofResource(image, manifest) : 0;
  FreeLibrary(image);
  return "firsticon=" + firstIcon + " manifest=" + std::to_string(manifestSize);
}

// What Explorer shows of an executable: "fileversion=A.B.C.D
// productversion=A.B.C.D firsticon=ID manifest=BYTES", then a line
// "string name=N text=T" for each standard string of its first translation.
int cmdVersion(const Options& options) {
  const std::string file = options.text("file");
  const VersionLibrary library;
  const std::vector<char> block = library.read(file);
  const auto* fixed = library.query<VS_FIXEDFILEINFO>(block, "\\");
  if (fixed == nullptr) {
    return kExitFailed;
  }
  std::printf("fileversion=%s productversion=%s %s\n",
              versionText(fixed->dwFileVersionMS, fixed->dwFileVersionLS).c_str(),
              versionText(fixed->dwProductVersionMS, fixed->dwProductVersionLS).c_str(),
              iconAndManifest(file).c_str());

  const auto* translation = library.query<WORD>(block, "\\VarFileInfo\\Translation");
  if (translation == nullptr) {
    return kExitOk;
  }
  char table[16] = {};
  std::snprintf(table, sizeof table, "%04x%04x", translation[0], translation[1]);
  for (const char* name : {"CompanyName", "FileDescription", "FileVersion", "InternalName",
                           "LegalCopyright", "OriginalFilename", "ProductName", "ProductVersion"}) {
    const std::string path = std::string("\\StringFileInfo\\") + table + "\\" + name;
    if (const auto* text = library.query<char>(block, path)) {
      std::printf("string name=%s text=%s\n", name, text);
    }
  }
  return kExitOk;
}

// Posts WM_QUIT to every thread of every process whose file is --exe, as
// any program could: "thread=T" per message posted; fails when none was.
int cmdPostQuit(const Options& options) {
  const std::string exe = options.text("exe");
  const KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS | TH32CS_SNAPTHREAD, 0));
  if (snapshot.get() == INVALID_HANDLE_VALUE) {
    return kExitFailed;
  }
  std::set<DWORD> processes;
  PROCESSENTRY32 process{};
  process.dwSize = sizeof(process);
  for (BOOL more = Process32First(snapshot.get(), &process); succeeded(more);
       more = Process32Next(snapshot.get(), &process)) {
    if (lstrcmpiA(process.szExeFile, exe.c_str()) == 0) {
      processes.insert(process.th32ProcessID);
    }
  }
  int posted = 0;
  THREADENTRY32 thread{};
  thread.dwSize = sizeof(thread);
  for (BOOL more = Thread32First(snapshot.get(), &thread); succeeded(more);
       more = Thread32Next(snapshot.get(), &thread)) {
    if (processes.contains(thread.th32OwnerProcessID) &&
        succeeded(PostThreadMessageA(thread.th32ThreadID, WM_QUIT, 0, 0))) {
      std::printf("thread=%lu\n", thread.th32ThreadID);
      ++posted;
    }
  }
  return posted > 0 ? kExitOk : kExitFailed;
}

// --- command table ----------------------------------------------------------

struct Command {
  const char* name;
  int (*run)(const Options&);
  const char* usage;
};

constexpr const char* kWindow = "(--title T | --class C | --hwnd HEX)";

const Command kCommands[] = {
    {"open", cmdOpen,
     "--title T [--class C] [--style HEX] [--exstyle HEX] [--rect X,Y,W,H] [--owner-class C] "
     "[--icon]"},
    {"query", cmdQuery, kWindow},
    {"list", cmdList, "[--visible]"},
    {"children", cmdChildren, kWindow},
    {"dialogtext", cmdDialogText, "--title T"},
    {"ping", cmdPing, kWindow},
    {"idle", cmdIdle, ""},
    {"workarea", cmdWorkArea, ""},
    {"close", cmdClose, kWindow},
    {"hang", cmdHang, "(window made by open) [--ms N]"},
    {"ishung", cmdIsHung, kWindow},
    {"post", cmdPost, "(window) --msg HEX [--wparam HEX] [--lparam HEX]"},
    {"foreground", cmdForeground, kWindow},
    {"show", cmdShow, "(window) --cmd N"},
    {"move", cmdMove, "(window) --rect X,Y,W,H"},
    {"setstyle", cmdSetStyle, "(window) [--style HEX] [--exstyle HEX]"},
    {"settitle", cmdSetTitle, "(window) --text T"},
    {"winevent", cmdWinEvent, "(window) --event HEX"},
    {"click", cmdClick, "(window) --id N"},
    {"setcheck", cmdSetCheck, "(window) --id N --checked 0|1"},
    {"settrack", cmdSetTrack, "(window) --id N --pos P"},
    {"items", cmdItems, "(window) --id N"},
    {"press", cmdPress, "--title T --button N|ok|cancel|yes|no|..."},
    {"guiresources", cmdGuiResources, kWindow},
    {"postquit", cmdPostQuit, "--exe NAME"},
    {"version", cmdVersion, "--file PATH"},
};

int usage() {
  std::fprintf(stderr, "usage: testdriver.exe <command> [options]\n");
  for (const Command& command : kCommands) {
    std::fprintf(stderr, "  %s %s\n", command.name, command.usage);
  }
  std::fprintf(stderr, "  (window) is %s\n", kWindow);
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  // Plain line feeds: the harness reads the output on Linux.
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) {
    return usage();
  }
  for (const Command& command : kCommands) {
    if (std::strcmp(argv[1], command.name) != 0) {
      continue;
    }
    const auto options = Options::parse(argc, argv, 2);
    if (!options) {
      return usage();
    }
    const int result = command.run(*options);
    std::fflush(stdout);
    return result;
  }
  return usage();
}
