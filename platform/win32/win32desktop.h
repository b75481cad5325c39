// The real desktop: every port on the Win32 API (ANSI functions), and the
// forms built from the DIALOGEX layouts in the executable's resources.
// This header stays free of <windows.h>; the implementation is split by port
// group over the .cpp files of this folder.
#pragma once

#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <string>

#include "platform/handle.h"
#include "platform/ports.h"

namespace strennix::win32 {

class Win32Desktop;
struct FormWindow;
class IconRowPainter;
class SharedButtonRows;
class Win32ButtonWindows;
class Win32WindowFrames;

// An icon loaded from the executable, destroyed with DestroyIcon.
struct LoadedIconTraits {
  using Value = IconHandle;
  using Owner = Win32Desktop;
  static bool valid(const Value& value) { return value != IconHandle{}; }
  static void release(Owner& owner, const Value& value) noexcept;
};

// A registered window class (its atom), unregistered with UnregisterClassA.
struct WindowClassTraits {
  using Value = std::uint16_t;
  using Owner = Win32Desktop;
  static bool valid(const Value& value) { return value != 0; }
  static void release(Owner& owner, const Value& value) noexcept;
};

class Win32Desktop final : public WindowPort,
                           public DrawingPort,
                           public ShellPort,
                           public RegistryPort,
                           public SystemPort,
                           public FilePort,
                           public ClockPort,
                           public MessageBoxPort,
                           public HookPort,
                           public ProcessPort,
                           public UiPort,
                           public ButtonRowsPort,
                           public WindowEventsPort {
 public:
  Win32Desktop();
  ~Win32Desktop() override;
  Win32Desktop(const Win32Desktop&) = delete;
  Win32Desktop& operator=(const Win32Desktop&) = delete;

  Ports ports();

  // WindowPort
  Hwnd foregroundWindow() override;
  Hwnd desktopWindow() override;
  bool isWindow(Hwnd window) override;
  Rect windowRect(Hwnd window) override;
  std::uint32_t windowLong(Hwnd window, int index) override;
  void setWindowLong(Hwnd window, int index, std::uint32_t value) override;
  std::string className(Hwnd window, int bufferSize) override;
  std::string windowText(Hwnd window, int bufferSize) override;
  Hwnd owner(Hwnd window) override;
  ProcessId windowProcessId(Hwnd window) override;
  bool moveWindow(Hwnd window, int x, int y, int width, int height, bool repaint) override;
  bool setWindowPos(Hwnd window, std::int32_t insertAfter, int x, int y, int cx, int cy,
                    std::uint32_t flags) override;
  bool showWindow(Hwnd window, int command) override;
  bool isVisible(Hwnd window) override;
  bool isHung(Hwnd window) override;
  bool setForegroundWindow(Hwnd window) override;
  void allowForeground(ProcessId process) override;
  void enumWindows(const std::function<bool(Hwnd)>& visit) override;
  Monitor monitorOf(Hwnd window) override;
  Monitor monitorAt(Point point) override;
  Point cursorPos() override;
  std::optional<std::uint32_t> sendMessageTimeout(Hwnd window, std::uint32_t message,
                                                  std::uint32_t wParam, std::int32_t lParam,
                                                  std::uint32_t flags,
                                                  std::uint32_t timeoutMs) override;
  std::uint32_t classLong(Hwnd window, int index) override;
  Hwnd findWindow(const std::string& className, const std::string& caption) override;
  bool postMessage(Hwnd window, std::uint32_t message, std::uint32_t wParam,
                   std::int32_t lParam) override;

  // DrawingPort
  WindowDcHandle windowDc(Hwnd window) override;
  BrushHandle solidBrush(ColorRef color) override;
  bool drawIconEx(const WindowDc& dc, int x, int y, IconHandle icon, int width, int height,
                  std::uint32_t step, std::uint32_t brush, std::uint32_t flags) override;
  void drawSunkenEdge(const WindowDc& dc, const Rect& rect) override;
  void releaseWindowDc(const WindowDc& dc) noexcept override;
  void deleteObject(std::uint32_t object) noexcept override;

  // ShellPort
  bool notifyIcon(std::uint32_t operation, const NotifyIconData& data) override;
  void shellExecute(Hwnd owner, const std::string& verb, const std::string& file,
                    const std::string& parameters, const std::string& directory, int show) override;

  // RegistryPort
  RegistryKey openKey(RegRoot root, const std::string& path, KeyAccess access,
                      bool create) override;
  std::optional<RegValue> readValue(const RegistryKey& key, const std::string& name) override;
  std::int32_t queryInto(const RegistryKey& key, const std::string& name,
                         std::vector<std::uint8_t>& buffer, std::uint32_t& bytesRead) override;
  bool setValue(const RegistryKey& key, const std::string& name, std::uint32_t type,
                const std::vector<std::uint8_t>& data) override;
  bool deleteValue(const RegistryKey& key, const std::string& name) override;
  void closeKey(std::uint32_t key) noexcept override;

  // SystemPort
  std::optional<OsVersion> version() override;
  std::uint16_t userDefaultLangId() override;
  std::string executablePath() override;
  std::vector<std::string> arguments() override;
  bool programIs64Bit() override;
  Module loadLibrary(const std::string& name) override;
  ProcAddress procAddress(const Module& module, const std::string& name) override;
  Process openProcess(std::uint32_t access, ProcessId processId) override;
  NamedMutex createMutex(const std::string& name) override;
  Snapshot processSnapshot(const Module& kernel32) override;
  std::optional<ProcessEntry> firstProcess(const Module& kernel32,
                                           const Snapshot& snapshot) override;
  std::optional<ProcessEntry> nextProcess(const Module& kernel32,
                                          const Snapshot& snapshot) override;
  std::optional<ModuleHandle> firstProcessModule(const Module& psapi,
                                                 const Process& process) override;
  std::optional<std::string> moduleBaseName(const Module& psapi, const Process& process,
                                            ModuleHandle module, std::uint32_t bufferSize) override;
  std::optional<std::string> fullProcessImageName(const Module& kernel32,
                                                  const Process& process) override;
  bool equalIgnoringCase(std::string_view a, std::string_view b) override;
  std::string ansiFromUtf16(const std::u16string& text) override;
  void freeLibrary(ModuleHandle module) noexcept override;
  void closeProcess(std::uint32_t process) noexcept override;
  void closeSnapshot(std::uint32_t snapshot) noexcept override;
  void closeMutex(std::uint32_t mutex) noexcept override;

  // FilePort
  bool exists(const std::string& path) override;
  FileContents readAll(const std::string& path) override;
  bool append(const std::string& path, std::string_view text) override;

  // ClockPort
  DateTime localNow() override;

  // MessageBoxPort
  int messageBox(Hwnd owner, const std::string& text, const std::string& caption,
                 std::uint32_t flags) override;

  // HookPort
  HookHandle setWindowsHook(int hookId, ProcAddress procedure, ModuleHandle module,
                            std::uint32_t threadId) override;
  bool unhook(HookHandle hook) override;

  // ProcessPort
  bool runsUnderWow64() override;
  ProcessId currentProcessId() override;
  std::uint64_t processStartTime(ProcessId process) override;
  std::uint32_t sessionId() override;
  std::uint64_t bootTime() override;
  ChildProcess startProcess(const std::string& path, const std::string& arguments) override;
  std::optional<std::uint32_t> exitCode(const ChildProcess& child) override;
  bool postQuit(const ChildProcess& child) override;
  bool waitForExit(const ChildProcess& child, std::uint32_t timeoutMs) override;
  void terminate(const ChildProcess& child, std::uint32_t exitCode) override;
  void closeChild(const ChildProcessIds& child) noexcept override;

  // UiPort
  Hwnd createForm(int layoutId, FormEvents& events) override;
  void destroyForm(Hwnd form) override;
  bool checked(FormControl control) override;
  void setChecked(FormControl control, bool checked) override;
  bool enabled(FormControl control) override;
  void setEnabled(FormControl control, bool enabled) override;
  std::string text(FormControl control) override;
  void setText(FormControl control, const std::string& text) override;
  int trackPosition(FormControl trackBar) override;
  void setTrackPosition(FormControl trackBar, int position) override;
  void setListSorted(FormControl list, bool sorted) override;
  int listAdd(FormControl list, const std::string& text) override;
  void listDelete(FormControl list, int index) override;
  int listFindExact(FormControl list, const std::string& text) override;
  int listSelected(FormControl list) override;
  std::string listItem(FormControl list, int index) override;
  int listCount(FormControl list) override;
  void listClear(FormControl list) override;
  void setTimer(Hwnd form, std::uint32_t timerId, std::uint32_t intervalMs) override;
  void killTimer(Hwnd form, std::uint32_t timerId) override;
  IconHandle loadIcon(int resourceId) override;
  std::uint32_t registerWindowMessage(const std::string& name) override;
  // Rethrows, after the loop has ended, an exception that escaped a form's
  // event: it cannot travel through the system's window-procedure frames.
  void runMessageLoop() override;
  void quitMessageLoop() override;

  // ButtonRowsPort
  bool claim(Hwnd mainWindow) override;
  bool publish(const ButtonRow& row) override;
  void withdraw(Hwnd window) override;
  [[nodiscard]] std::optional<ButtonRow> published(Hwnd window) const override;
  [[nodiscard]] std::vector<Hwnd> publishedWindows() const override;

  // WindowEventsPort
  WindowEventWatch watchWindowEvents() override;
  void endWatch(const WindowEventHooks& hooks) override;

  // For the window procedure: keeps the first exception that escaped an
  // event and ends the message loop.
  void keepEscapedException(std::exception_ptr error);
  // For the window procedure, before a form is first shown: makes its
  // controls, or shows the error box and answers false.
  bool buildControlsOf(FormWindow& form);
  // For the form builder: the forms grow with the system's DPI.
  std::uint32_t systemDpi();

 private:
  // The form a window belongs to (the form itself or one of its controls).
  FormWindow* formOf(Hwnd window);
  // A form whose controls are not made yet, or null.
  FormWindow* unbuiltForm(Hwnd form);
  // The window of a control, making its form's controls first if need be.
  Hwnd controlWindow(FormControl control);
  void rethrowEscapedException();
  // Loads and registers the common controls (track bar, tooltip) before the
  // first form is built: comctl32 6 and its theming are a good part of a
  // start, and a hidden start needs neither. False when they are missing.
  bool loadCommonControls();
  std::uint16_t registerFormClass(const std::string& className);

  // Declared before the forms, so that no class goes before its windows.
  std::map<std::string, UniqueHandle<WindowClassTraits>> windowClasses_;
  std::map<int, UniqueHandle<LoadedIconTraits>> icons_;
  // Declared before the forms: the library goes after their controls.
  Module commonControls_;
  std::map<Hwnd, std::unique_ptr<FormWindow>> forms_;
  std::exception_ptr escapedException_;
  // The title-bar buttons of a window go to the screen as one blit.
  std::unique_ptr<IconRowPainter> iconRows_;
  std::unique_ptr<SharedButtonRows> buttonRows_;
  std::unique_ptr<Win32ButtonWindows> buttonWindows_;
  std::unique_ptr<Win32WindowFrames> frames_;
};

}  // namespace strennix::win32
