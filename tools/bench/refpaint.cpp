// refpaint.exe: the floor for the redraw timer's cost. On each tick of its
// timer it makes only the Win32 calls that one redraw of six title-bar
// buttons cannot do without: the style filter, the window rectangle, one
// window DC and one brush per window and six DrawIconEx. measure-wine.sh runs
// it beside strennix.exe under the same Wine.
//
// Usage: refpaint.exe INTERVAL_MS MODE
//   MODE 0: the foreground window; 1: every top-level window; 2: the timer
//   alone, the do-nothing baseline.
#include <windows.h>

#include <cstdlib>

namespace {

// measure-wine.sh waits for a window of this class.
constexpr const char* kClassName = "RefPaint";
constexpr UINT_PTR kTimerId = 1;

enum class Mode { Foreground = 0, Every = 1, Idle = 2 };

// The program's defaults: six 16 x 14 buttons, 58 pixels left of the right
// edge, 6 below the top.
constexpr int kButtons = 6;
constexpr int kButtonWidth = 16;
constexpr int kButtonHeight = 14;
constexpr int kRightOffset = 58;
constexpr int kTopOffset = 6;

// The default exclusions: pop-ups, child windows, dialog frames, tool
// windows, transparent windows; and maximized windows.
constexpr LONG kExcludedStyles = WS_POPUP | WS_CHILD | WS_MAXIMIZE;
constexpr LONG kExcludedExStyles = WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT;

Mode mode = Mode::Foreground;
HICON icon = nullptr;

bool eligible(HWND window) {
  if (window == nullptr || window == GetDesktopWindow()) {
    return false;
  }
  if ((GetWindowLongA(window, GWL_EXSTYLE) & kExcludedExStyles) != 0) {
    return false;
  }
  return (GetWindowLongA(window, GWL_STYLE) & kExcludedStyles) == 0;
}

// A window as large as the screen gets no buttons, as in the program.
bool coversScreen(const RECT& rect) {
  return rect.left == 0 && rect.top == 0 && rect.right == GetSystemMetrics(SM_CXSCREEN) &&
         rect.bottom == GetSystemMetrics(SM_CYSCREEN);
}

void paint(HWND window) {
  if (!eligible(window)) {
    return;
  }
  RECT rect;
  if (GetWindowRect(window, &rect) == FALSE || coversScreen(rect)) {
    return;
  }
  HDC dc = GetWindowDC(window);
  if (dc == nullptr) {
    return;
  }
  HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
  const int width = rect.right - rect.left;
  for (int slot = 1; slot <= kButtons; ++slot) {
    DrawIconEx(dc, width - (slot * kButtonWidth + kRightOffset), kTopOffset, icon, kButtonWidth,
               kButtonHeight, 0, brush, DI_NORMAL);
  }
  DeleteObject(brush);
  ReleaseDC(window, dc);
}

BOOL CALLBACK paintEach(HWND window, LPARAM /*unused*/) {
  paint(window);
  return TRUE;
}

void tick() {
  switch (mode) {
    case Mode::Foreground:
      paint(GetForegroundWindow());
      break;
    case Mode::Every:
      EnumWindows(paintEach, 0);
      break;
    case Mode::Idle:
      break;
  }
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      tick();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    return 2;
  }
  const UINT interval = static_cast<UINT>(std::atoi(argv[1]));
  mode = static_cast<Mode>(std::atoi(argv[2]));
  icon = LoadIconA(nullptr, IDI_APPLICATION);

  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kClassName;
  RegisterClassA(&windowClass);
  HWND window = CreateWindowA(kClassName, kClassName, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
  if (window == nullptr || SetTimer(window, kTimerId, interval, nullptr) == 0) {
    return 1;
  }
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    DispatchMessageA(&message);
  }
  return 0;
}
