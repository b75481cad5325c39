// donothing.exe: the start-up baseline. A Win32 program that only registers a
// window class, opens one window and runs its message loop; starttimer.exe
// times its start beside that of strennix.exe. Closing the window ends it.
#include <windows.h>

namespace {

constexpr const char* kClassName = "StrennixBenchNothing";

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  RegisterClassA(&windowClass);
  HWND window = CreateWindowA(kClassName, "Nothing", WS_OVERLAPPEDWINDOW, 600, 400, 300, 200,
                              nullptr, nullptr, instance, nullptr);
  ShowWindow(window, SW_SHOW);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
