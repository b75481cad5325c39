// A simulated desktop for fast native tests: top-level windows with
// rectangles, styles, classes, owners, visibility, z-order and processes; a
// registry; a notification area; files; a clock; message boxes that tests
// answer; forms with controls and timers. It counts what is acquired and
// released, so that tests can show nothing leaks, and records the calls that
// change the world (drawing, tray icons, shell requests, message boxes).
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/ports.h"
#include "platform/registry.h"

namespace strennix::sim {

struct SimWindow {
  Rect rect{100, 100, 600, 400};
  std::uint32_t style = 0x00CF0000;  // WS_OVERLAPPEDWINDOW
  std::uint32_t exStyle = 0;
  std::string className = "SimWindow";
  std::string title;
  Hwnd owner = 0;
  bool visible = true;
  ProcessId processId = 0;
  // Answers to WM_GETICON (small, big), the class icons (GCL_HICONSM,
  // GCL_HICON) and WM_QUERYDRAGICON.
  IconHandle smallIcon = 0;
  IconHandle bigIcon = 0;
  IconHandle classSmallIcon = 0;
  IconHandle classIcon = 0;
  IconHandle dragIcon = 0;
  // A window that does not answer messages: every SendMessageTimeout to it
  // times out.
  bool hung = false;
};

struct SimProcess {
  // As Toolhelp reports it (may hold a full path).
  std::string exeFile;
  // As GetModuleBaseNameA reports it; empty makes that call fail.
  std::string baseName;
  // OpenProcess is refused.
  bool accessDenied = false;
};

struct DrawCall {
  Hwnd window = 0;
  int x = 0;
  int y = 0;
  IconHandle icon = 0;
  int width = 0;
  int height = 0;
  std::uint32_t brush = 0;
  std::uint32_t flags = 0;
};

struct EdgeCall {
  Hwnd window = 0;
  Rect rect;
};

struct MessageBoxCall {
  Hwnd owner = 0;
  std::string text;
  std::string caption;
  std::uint32_t flags = 0;
};

struct ShellExecuteCall {
  Hwnd owner = 0;
  std::string verb;
  std::string file;
  std::string parameters;
  std::string directory;
  int show = 0;
};

struct NotifyCall {
  std::uint32_t operation = 0;
  NotifyIconData data;
  bool succeeded = false;
};

struct SetWindowPosCall {
  Hwnd window = 0;
  std::int32_t insertAfter = 0;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  std::uint32_t flags = 0;
};

struct InstalledHook {
  int hookId = 0;
  ProcAddress procedure = 0;
  ModuleHandle module = 0;
  std::uint32_t threadId = 0;
  HookHandle handle = 0;
};

// How many of one kind of resource were acquired and released.
struct HandleCount {
  int acquired = 0;
  int released = 0;
  [[nodiscard]] int open() const { return acquired - released; }
};

struct SimControl {
  bool checked = false;
  bool enabled = true;
  std::string text;
  int trackPosition = 0;
  std::vector<std::string> items;
  bool sorted = false;
  int selected = -1;
};

struct SimForm {
  int layoutId = 0;
  FormEvents* events = nullptr;
  std::map<int, Hwnd> controls;
};

class SimDesktop final : public WindowPort,
                         public DrawingPort,
                         public ShellPort,
                         public RegistryPort,
                         public SystemPort,
                         public FilePort,
                         public ClockPort,
                         public MessageBoxPort,
                         public HookPort,
                         public UiPort,
                         public ButtonRowsPort {
 public:
  SimDesktop();

  Ports ports();

  // ---- Windows -------------------------------------------------------------
  // Adds a top-level window in front of all others and answers its handle.
  Hwnd addWindow(const SimWindow& window);
  // Adds a window under a handle of the test's choice, as when the system
  // hands a destroyed window's handle to a new one. The handle must be free.
  Hwnd addWindow(const SimWindow& window, Hwnd handle);
  [[nodiscard]] bool exists(Hwnd window) const;
  SimWindow& window(Hwnd window);
  void destroyWindow(Hwnd window);
  // Makes the window the foreground one without touching the z-order (the
  // port's setForegroundWindow also brings it to the front, as Win32 does).
  void setForeground(Hwnd window);
  // Top-level windows, front first.
  [[nodiscard]] const std::vector<Hwnd>& zOrder() const { return zOrder_; }

  Rect screen{0, 0, 1024, 768};
  Rect workAreaRect{0, 0, 1024, 738};
  Point cursor{0, 0};
  std::vector<SetWindowPosCall> setWindowPosCalls;

  // ---- Registry ------------------------------------------------------------
  // Key paths and value names match without regard to letter case.
  void setRegValue(RegRoot root, const std::string& path, const std::string& name,
                   std::uint32_t type, const std::vector<std::uint8_t>& data);
  void setRegString(RegRoot root, const std::string& path, const std::string& name,
                    const std::string& value);
  void setRegDword(RegRoot root, const std::string& path, const std::string& name,
                   std::uint32_t value);
  [[nodiscard]] std::optional<RegValue> regValue(RegRoot root, const std::string& path,
                                                 const std::string& name) const;
  // The text of a string value; nothing when missing or of another type.
  [[nodiscard]] std::optional<std::string> regString(RegRoot root, const std::string& path,
                                                     const std::string& name) const;
  [[nodiscard]] std::optional<std::uint32_t> regDword(RegRoot root, const std::string& path,
                                                      const std::string& name) const;
  [[nodiscard]] bool regKeyExists(RegRoot root, const std::string& path) const;
  // Value names of a key, in the order they were first written.
  [[nodiscard]] std::vector<std::string> regValueNames(RegRoot root, const std::string& path) const;
  void deleteRegKey(RegRoot root, const std::string& path);
  // Keys whose opening (and creation) fails.
  std::set<std::string> unopenableKeys;
  // Value names whose writes are refused.
  std::set<std::string> refusedWrites;
  // The answer to queries of HKEY_PERFORMANCE_DATA (any value name).
  std::vector<std::uint8_t> performanceData;
  int performanceQueries = 0;

  // ---- Files ---------------------------------------------------------------
  std::map<std::string, std::string> files;
  std::set<std::string> unreadableFiles;

  // ---- Clock ---------------------------------------------------------------
  DateTime now{2026, 12, 8, 2, 3, 14, 48};

  // ---- Message boxes -------------------------------------------------------
  std::vector<MessageBoxCall> messageBoxes;
  // Answers given in turn; 1 (IDOK) when none is queued.
  std::deque<int> messageBoxAnswers;

  // ---- Notification area and shell -----------------------------------------
  // Icons present now, by owner window and icon ID.
  std::map<std::pair<Hwnd, std::uint32_t>, NotifyIconData> trayIcons;
  std::vector<NotifyCall> notifyCalls;
  bool refuseTrayAdds = false;
  std::vector<ShellExecuteCall> shellExecutes;

  // ---- Drawing -------------------------------------------------------------
  std::vector<DrawCall> draws;
  std::vector<EdgeCall> sunkenEdges;

  // ---- Published button rows -----------------------------------------------
  std::map<Hwnd, ButtonRow> buttonRows;

  // ---- System --------------------------------------------------------------
  std::optional<OsVersion> osVersion = OsVersion{6, 1, 7601, 2};
  std::uint16_t langId = 0x0409;
  std::string exePath = "C:\\Program Files\\Strennix\\strennix.exe";
  std::vector<std::string> commandLine{"C:\\Program Files\\Strennix\\strennix.exe"};
  // Loadable libraries with the names they export. Names match as
  // LoadLibrary matches them: letter case ignored, ".dll" implied.
  std::map<std::string, std::set<std::string>> libraries;
  std::map<ProcessId, SimProcess> processes;
  // Successful name lookups: each moduleBaseName that answers, and each
  // snapshot walk that gets its first entry.
  int processLookups = 0;

  // ---- Hooks ---------------------------------------------------------------
  std::vector<InstalledHook> hooks;
  bool refuseHooks = false;

  // ---- Resources -----------------------------------------------------------
  HandleCount registryKeys;
  HandleCount windowDcs;
  HandleCount brushes;
  HandleCount modules;
  HandleCount processHandles;
  HandleCount snapshotHandles;
  // Releases of handles that were not open (never issued, or released
  // twice). Counted apart so that the counts above stay exact.
  int strayReleases = 0;
  [[nodiscard]] bool everythingReleased() const;

  // ---- Forms and controls --------------------------------------------------
  // createForm gives a form the controls of its layout in
  // resources/strennix.rc, with their captions, enabled states and sorting;
  // other control IDs are made on demand, empty.
  SimControl& controlState(Hwnd form, int controlId);
  // The window of a control, made on demand.
  Hwnd control(Hwnd form, int controlId);
  [[nodiscard]] std::optional<Hwnd> formOfLayout(int layoutId) const;
  // Delivers events to a form as the window system would. Throws
  // std::out_of_range for a handle that is not a form. A click only delivers
  // the command: set a check box's new state through controlState first.
  void click(Hwnd form, int controlId);
  void doubleClick(Hwnd form, int controlId);
  // Answers whether the form handled the message (its result in `result`).
  bool post(Hwnd form, std::uint32_t message, std::uint32_t wParam, std::int32_t lParam);
  void tick(Hwnd form, std::uint32_t timerId);
  void close(Hwnd form);
  void keyUp(Hwnd form, int controlId, int key);
  std::int32_t lastMessageResult = 0;
  // Active timers: (form, id) -> interval.
  std::map<std::pair<Hwnd, std::uint32_t>, std::uint32_t> timers;
  int messageLoopRuns = 0;
  bool quitRequested = false;

  // ==== Port implementations =================================================
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
  bool setForegroundWindow(Hwnd window) override;
  void enumWindows(const std::function<bool(Hwnd)>& visit) override;
  Rect workArea() override;
  int systemMetric(int index) override;
  Point cursorPos() override;
  std::optional<std::uint32_t> sendMessageTimeout(Hwnd window, std::uint32_t message,
                                                  std::uint32_t wParam, std::int32_t lParam,
                                                  std::uint32_t flags,
                                                  std::uint32_t timeoutMs) override;
  std::uint32_t classLong(Hwnd window, int index) override;

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
  Module loadLibrary(const std::string& name) override;
  ProcAddress procAddress(const Module& module, const std::string& name) override;
  Process openProcess(std::uint32_t access, ProcessId processId) override;
  Snapshot processSnapshot(const Module& kernel32) override;
  std::optional<ProcessEntry> firstProcess(const Module& kernel32,
                                           const Snapshot& snapshot) override;
  std::optional<ProcessEntry> nextProcess(const Module& kernel32,
                                          const Snapshot& snapshot) override;
  std::optional<ModuleHandle> firstProcessModule(const Module& psapi,
                                                 const Process& process) override;
  std::optional<std::string> moduleBaseName(const Module& psapi, const Process& process,
                                            ModuleHandle module, std::uint32_t bufferSize) override;
  bool equalIgnoringCase(std::string_view a, std::string_view b) override;
  std::string ansiFromUtf16(const std::u16string& text) override;
  void freeLibrary(ModuleHandle module) noexcept override;
  void closeProcess(std::uint32_t process) noexcept override;
  void closeSnapshot(std::uint32_t snapshot) noexcept override;

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
  void runMessageLoop() override;
  void quitMessageLoop() override;

  // ButtonRowsPort
  bool publish(const ButtonRow& row) override;
  void withdraw(Hwnd window) override;
  [[nodiscard]] std::optional<ButtonRow> published(Hwnd window) const override;
  [[nodiscard]] std::vector<Hwnd> publishedWindows() const override;

 private:
  struct RegKeyData {
    // Values in the order they were first written, with that spelling.
    std::vector<std::pair<std::string, RegValue>> values;
  };
  struct OpenKey {
    RegRoot root = RegRoot::CurrentUser;
    std::string path;  // lower case
    KeyAccess access = KeyAccess::Read;
  };
  struct SnapshotState {
    std::vector<ProcessEntry> entries;
    std::size_t next = 0;
  };
  using RegPath = std::pair<RegRoot, std::string>;

  Hwnd newHandle();
  std::uint32_t newResource();
  SimForm& form(Hwnd form);
  SimControl* findControl(FormControl control);
  void raise(Hwnd window);
  void placeAfterTopmost(Hwnd window);
  void removeFromZOrder(Hwnd window);
  RegKeyData* findKey(RegRoot root, const std::string& path);
  const RegKeyData* findKey(RegRoot root, const std::string& path) const;
  RegKeyData& createKey(RegRoot root, const std::string& path);
  const OpenKey* openKeyOf(const RegistryKey& key) const;
  RegKeyData* keyDataOf(const RegistryKey& key);
  [[nodiscard]] bool isUnopenable(const std::string& path) const;
  // The loaded library behind a module handle, when it exports `name`.
  [[nodiscard]] bool exports(const Module& module, const std::string& name) const;
  [[nodiscard]] std::optional<std::string> libraryKey(const std::string& name) const;

  std::vector<Hwnd> zOrder_;
  std::map<Hwnd, SimWindow> windows_;
  std::map<Hwnd, SimForm> forms_;
  std::map<Hwnd, SimControl> controls_;
  std::map<Hwnd, Hwnd> controlForms_;
  std::set<Hwnd> usedHandles_;
  Hwnd foreground_ = 0;
  Hwnd nextHandle_ = 0x20000;
  std::uint32_t nextResource_ = 0x100000;

  std::map<RegPath, RegKeyData> regKeys_;
  std::map<std::uint32_t, OpenKey> openKeys_;
  std::set<std::uint32_t> openDcs_;
  std::set<std::uint32_t> openBrushes_;
  // Module handle per library (stable, like a base address), its library
  // and how often it is loaded now.
  std::map<std::string, ModuleHandle> moduleOfLibrary_;
  std::map<ModuleHandle, std::string> libraryOfModule_;
  std::map<ModuleHandle, int> moduleRefs_;
  std::map<std::uint32_t, ProcessId> openProcesses_;
  std::map<std::uint32_t, SnapshotState> snapshots_;
  std::map<int, IconHandle> icons_;
  std::map<std::string, std::uint32_t> windowMessages_;
};

}  // namespace strennix::sim
