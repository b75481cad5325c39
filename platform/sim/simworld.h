// The state every simulated port shares: top-level windows with rectangles,
// styles, classes, owners, visibility, z-order and processes; forms with
// their controls and timers; a registry; a notification area; files; a
// clock; message boxes that tests answer; libraries; hooks. It counts what is
// acquired and released, so that tests can show nothing leaks, and records
// the calls that change the world (drawing, tray icons, shell requests,
// message boxes). Each port reads and changes it through a reference, so a
// test can set up the world once and replace any one port.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/buttonrows.h"
#include "platform/buttonwindow.h"
#include "platform/desktop.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/ui.h"

namespace strennix::sim {

// The desktop window: not in the z-order, but every port knows its handle.
inline constexpr Hwnd kDesktopWindow{0x00010010};

struct SimWindow {
  Rect rect{100, 100, 600, 400};
  std::uint32_t style = 0x00CF0000;  // WS_OVERLAPPEDWINDOW
  std::uint32_t exStyle = 0;
  std::string className = "SimWindow";
  std::string title;
  Hwnd owner{};
  bool visible = true;
  ProcessId processId = 0;
  // Answers to WM_GETICON (small, big), the class icons (GCL_HICONSM,
  // GCL_HICON) and WM_QUERYDRAGICON.
  IconHandle smallIcon{};
  IconHandle bigIcon{};
  IconHandle classSmallIcon{};
  IconHandle classIcon{};
  IconHandle dragIcon{};
  // A window that does not answer messages: every SendMessageTimeout to it
  // times out.
  bool hung = false;
  // A window of an elevated program: the system refuses to move, size,
  // show, hide or reorder it.
  bool refusesChanges = false;
};

struct SimProcess {
  // As Toolhelp reports it (may hold a full path).
  std::string exeFile;
  // As GetModuleBaseNameA reports it; empty makes that call fail.
  std::string baseName;
  // OpenProcess is refused.
  bool accessDenied = false;
};

// A program the system can start, by its full path.
struct SimProgram {
  // Ends at once, before it is ready, with this exit code.
  std::optional<std::uint32_t> exitCodeAtStart;
  // Does not end when asked to.
  bool ignoresEndSignal = false;
};

// A program started through the process port. A test ends it by giving it
// an exit code.
struct StartedProgram {
  std::string path;
  std::string arguments;
  std::optional<std::uint32_t> exitCode;  // nothing while it runs
  bool askedToEnd = false;
  bool terminated = false;
};

struct DrawCall {
  Hwnd window{};
  int x = 0;
  int y = 0;
  IconHandle icon{};
  int width = 0;
  int height = 0;
  std::uint32_t brush = 0;
  std::uint32_t flags = 0;
};

struct EdgeCall {
  Hwnd window{};
  Rect rect;
};

struct MessageBoxCall {
  Hwnd owner{};
  std::string text;
  std::string caption;
  std::uint32_t flags = 0;
};

struct ShellExecuteCall {
  Hwnd owner{};
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

// A change of a window's size or z-order, as the placement port was asked
// for it (moves and showing are not recorded).
enum class Placement : std::uint8_t { Resize, Topmost, NotTopmost, NotTopmostQuietly };

struct PlacementCall {
  Hwnd window{};
  Placement kind{};
  int cx = 0;
  int cy = 0;
};

struct InstalledHook {
  int hookId = 0;
  ProcAddress procedure{};
  ModuleHandle module{};
  std::uint32_t threadId = 0;
  HookHandle handle{};
};

// A window's frame as the desktop reports it (screen coordinates).
struct SimFrame {
  std::optional<Rect> captionButtons;
  std::optional<Rect> titleBar;
  bool cloaked = false;
  // 0: the system's DPI.
  std::uint32_t dpi = 0;
};

// A button window of the program: whom it reports to and what it shows.
struct SimButtonWindow {
  Hwnd notify{};
  ButtonPicture picture;
  int placements = 0;
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

// One registry key: its values in the order they were first written, with
// that spelling. Value names match without regard to letter case.
struct SimRegKey {
  std::vector<std::pair<std::string, RegValue>> values;

  [[nodiscard]] const RegValue* find(const std::string& name) const;
  void put(const std::string& name, const RegValue& value);
  // Answers whether there was such a value.
  bool erase(const std::string& name);
};

class SimWorld {
 public:
  SimWorld();

  // A fresh window handle, never the desktop's nor one in use.
  Hwnd newHandle();
  // A fresh handle of any other kind (keys, device contexts, modules...).
  std::uint32_t newResource();
  template <class Handle>
  Handle newResourceOf() {
    return Handle{newResource()};
  }

  // ---- Windows -------------------------------------------------------------
  // Adds a top-level window in front of all others and answers its handle.
  Hwnd addWindow(const SimWindow& window);
  // Adds a window under a handle of the test's choice, as when the system
  // hands a destroyed window's handle to a new one. The handle must be free.
  Hwnd addWindow(const SimWindow& window, Hwnd handle);
  [[nodiscard]] bool exists(Hwnd window) const;
  SimWindow& window(Hwnd window);
  // The window, or nullptr when there is none under that handle.
  SimWindow* findWindow(Hwnd window);
  void destroyWindow(Hwnd window);
  [[nodiscard]] Hwnd foreground() const { return foreground_; }
  // Makes the window the foreground one without touching the z-order (the
  // placement port's bringToFront also brings it up, as Win32 does).
  void setForeground(Hwnd window);
  // Top-level windows, front first.
  [[nodiscard]] const std::vector<Hwnd>& zOrder() const { return zOrder_; }
  // Moves a window to the front of all others.
  void raise(Hwnd window);
  // Moves a window in front of the other normal windows, behind every
  // topmost one.
  void placeAfterTopmost(Hwnd window);
  // Moves a window to just in front of `below`.
  void placeJustAbove(Hwnd window, Hwnd below);

  // The displays, the primary one first; a taskbar at the bottom of it.
  std::vector<Monitor> monitors{Monitor{Rect{0, 0, 1024, 768}, Rect{0, 0, 1024, 738}}};
  Point cursor{0, 0};
  std::vector<PlacementCall> placementCalls;
  // The processes allowed to take the front (AllowSetForegroundWindow).
  std::vector<ProcessId> foregroundAllowed;

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
  SimRegKey* findKey(RegRoot root, const std::string& path);
  [[nodiscard]] const SimRegKey* findKey(RegRoot root, const std::string& path) const;
  // Creates the key and every missing key above it, as RegCreateKeyEx does.
  SimRegKey& createKey(RegRoot root, const std::string& path);
  [[nodiscard]] bool isUnopenable(const std::string& path) const;
  [[nodiscard]] bool isRefusedWrite(const std::string& name) const;
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
  // The window the hook libraries report to, named by the last claim.
  Hwnd buttonRowsReceiver{};
  // Another program holds the shared memory: nothing can be claimed or
  // published.
  bool buttonRowsRefused = false;

  // ---- Composed frames and button windows ---------------------------------
  bool composed = false;
  std::uint32_t systemDpi = 96;
  std::map<Hwnd, SimFrame> frames;
  bool layeredWindows = true;
  std::map<Hwnd, SimButtonWindow> buttonWindows;
  HandleCount buttonWindowHandles;

  // ---- System --------------------------------------------------------------
  std::optional<OsVersion> osVersion = OsVersion{6, 1, 7601, 2};
  std::uint16_t langId = 0x0409;
  std::string exePath = "C:\\Program Files\\Strennix\\strennix.exe";
  // Every name LoadLibraryA was given, in order.
  std::vector<std::string> libraryLoads;
  std::vector<std::string> commandLine{"C:\\Program Files\\Strennix\\strennix.exe"};
  // Loadable libraries with the names they export. Names match as
  // LoadLibrary matches them: letter case ignored, ".dll" implied.
  std::map<std::string, std::set<std::string>> libraries;
  std::map<ProcessId, SimProcess> processes;
  // Image paths as QueryFullProcessImageNameA reports them; a process
  // without one makes that call fail.
  std::map<ProcessId, std::string> imagePaths;
  // Processes whose OpenProcess grants PROCESS_QUERY_LIMITED_INFORMATION
  // alone, as those of the other bitness and most elevated ones do.
  std::set<ProcessId> limitedAccessOnly;
  // Successful name lookups: each moduleBaseName that answers, and each
  // snapshot walk that gets its first entry.
  int processLookups = 0;

  // ---- Programs started by this one ------------------------------------------
  bool wow64 = false;
  // The program under test is the 64-bit edition's.
  bool program64Bit = false;
  ProcessId currentProcess = 0x1F0;
  // When each process started (FILETIME ticks); a process not named here
  // answers 0, as on a system that cannot tell.
  std::map<ProcessId, std::uint64_t> processStarts;
  std::uint32_t session = 1;
  // Seconds since 1601 when the system started.
  std::uint64_t systemStart = 13'000'000'000;
  std::map<std::string, SimProgram> programs;
  std::vector<StartedProgram> started;

  // ---- Hooks ---------------------------------------------------------------
  std::vector<InstalledHook> hooks;
  bool refuseHooks = false;
  // Watches of the system's window events.
  HandleCount windowEventWatches;

  // ---- Resources -----------------------------------------------------------
  HandleCount registryKeys;
  HandleCount windowDcs;
  HandleCount brushes;
  HandleCount modules;
  HandleCount processHandles;
  HandleCount snapshotHandles;
  HandleCount mutexes;
  HandleCount childHandles;
  // Releases of handles that were not open (never issued, or released
  // twice). Counted apart so that the counts above stay exact.
  int strayReleases = 0;
  // Counts one release of a handle: in `count` when it was open, else as a
  // stray release.
  void countRelease(HandleCount& count, bool wasOpen) noexcept;
  [[nodiscard]] bool everythingReleased() const;

  // ---- Forms and controls --------------------------------------------------
  // Adds a form's window, in front of all others, with no controls yet.
  Hwnd addForm(const SimWindow& window, int layoutId, FormEvents& events);
  // The form, or nullptr when the handle is not one.
  SimForm* findForm(Hwnd form);
  [[nodiscard]] bool isControl(Hwnd window) const;
  // A control's state; nullptr when its form does not exist.
  SimControl* findControl(FormControl control);
  // A control's state, made on demand. Throws std::out_of_range for a handle
  // that is not a form.
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
  // What happens while the message loop runs; without it the loop ends at
  // once, as when a WM_QUIT comes from elsewhere.
  std::function<void()> whileMessageLoopRuns;
  bool quitRequested = false;

 private:
  using RegPath = std::pair<RegRoot, std::string>;

  SimForm& form(Hwnd form);

  std::vector<Hwnd> zOrder_;
  std::map<Hwnd, SimWindow> windows_;
  std::map<Hwnd, SimForm> forms_;
  std::map<Hwnd, SimControl> controls_;
  std::set<Hwnd> usedHandles_;
  Hwnd foreground_{};
  std::uintptr_t nextHandle_ = 0x20000;
  std::uint32_t nextResource_ = 0x100000;
  std::map<RegPath, SimRegKey> regKeys_;
};

}  // namespace strennix::sim
