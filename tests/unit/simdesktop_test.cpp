// The simulated desktop is what every other unit test stands on: these tests
// pin down the Win32 behaviour it imitates where modules depend on it.
#include "platform/sim/simdesktop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/sim/simlayout.h"
#include "platform/winconst.h"
#include "resources/resource.h"

namespace strennix::sim {
namespace {

constexpr const char* kSettingsKey = "Software\\Corvane inc.\\Strennix";

std::vector<std::uint8_t> bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(SimDesktopTest, RegistryKeysAndValueNamesMatchWithoutRegardToCase) {
  SimDesktop sim;
  sim.setRegString(RegRoot::CurrentUser, kSettingsKey, "Buttons", "<hmax>");
  {
    RegistryKey key = sim.openKey(RegRoot::CurrentUser, "SOFTWARE\\corvane INC.\\strennix",
                                  KeyAccess::AllAccess, false);
    ASSERT_TRUE(key.valid());
    const auto value = sim.readValue(key, "BUTTONS");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->type, win::kRegSz);
    EXPECT_EQ(value->data, bytes(std::string("<hmax>") + '\0'));
    EXPECT_TRUE(sim.setValue(key, "buttons", win::kRegSz, bytes("<vmax>")));
    EXPECT_FALSE(sim.readValue(key, "Missing").has_value());
  }
  EXPECT_EQ(sim.regValueNames(RegRoot::CurrentUser, kSettingsKey),
            std::vector<std::string>{"Buttons"});
  EXPECT_EQ(sim.regString(RegRoot::CurrentUser, kSettingsKey, "Buttons"), "<vmax>");

  // Opening without creating fails for a missing key; creating makes it.
  EXPECT_FALSE(sim.openKey(RegRoot::CurrentUser, "Software\\Other", KeyAccess::Read, false));
  EXPECT_TRUE(sim.openKey(RegRoot::CurrentUser, "Software\\Other", KeyAccess::AllAccess, true));
  EXPECT_TRUE(sim.regKeyExists(RegRoot::CurrentUser, "software\\other"));

  sim.unopenableKeys.insert("software\\CORVANE inc.\\Strennix");
  EXPECT_FALSE(sim.openKey(RegRoot::CurrentUser, kSettingsKey, KeyAccess::AllAccess, true));
  EXPECT_TRUE(sim.everythingReleased());
}

TEST(SimDesktopTest, RegistryWritesFailOnReadOnlyKeysAndRefusedNames) {
  SimDesktop sim;
  sim.setRegDword(RegRoot::CurrentUser, kSettingsKey, "Priority", 4);
  sim.refusedWrites.insert("VERSION");
  RegistryKey readOnly = sim.openKey(RegRoot::CurrentUser, kSettingsKey, KeyAccess::Read, false);
  EXPECT_FALSE(sim.setValue(readOnly, "Menu", win::kRegSz, bytes("x")));
  RegistryKey writable =
      sim.openKey(RegRoot::CurrentUser, kSettingsKey, KeyAccess::AllAccess, false);
  EXPECT_FALSE(sim.setValue(writable, "version", win::kRegSz, bytes("1")));
  EXPECT_TRUE(sim.setValue(writable, "Menu", win::kRegSz, bytes("x")));
  EXPECT_TRUE(sim.deleteValue(writable, "PRIORITY"));
  EXPECT_FALSE(sim.deleteValue(writable, "Priority"));
  EXPECT_EQ(sim.regValueNames(RegRoot::CurrentUser, kSettingsKey),
            std::vector<std::string>{"Menu"});

  // A key deleted while open takes no more values.
  sim.deleteRegKey(RegRoot::CurrentUser, "software\\corvane inc.");
  EXPECT_FALSE(sim.regKeyExists(RegRoot::CurrentUser, kSettingsKey));
  EXPECT_FALSE(sim.setValue(writable, "Menu", win::kRegSz, bytes("y")));
}

TEST(SimDesktopTest, RegistryQueriesReportMissingValuesAndShortBuffers) {
  SimDesktop sim;
  sim.setRegValue(RegRoot::LocalMachine, "Perflib\\009", "Counter", win::kRegMultiSz,
                  bytes(std::string("2\0System\0\0", 10)));
  RegistryKey key = sim.openKey(RegRoot::LocalMachine, "Perflib\\009", KeyAccess::Read, false);
  std::vector<std::uint8_t> buffer(4);
  std::uint32_t read = 99;
  EXPECT_EQ(sim.queryInto(key, "Help", buffer, read), win::kErrorFileNotFound);
  EXPECT_EQ(sim.queryInto(key, "Counter", buffer, read), win::kErrorMoreData);
  EXPECT_EQ(read, 10U);
  buffer.resize(read);
  EXPECT_EQ(sim.queryInto(key, "Counter", buffer, read), win::kErrorSuccess);
  EXPECT_EQ(buffer, bytes(std::string("2\0System\0\0", 10)));

  // The performance data answers any value name, and only once the buffer
  // is large enough.
  sim.performanceData.assign(2500, 0x5A);
  RegistryKey performance = sim.openKey(RegRoot::PerformanceData, "", KeyAccess::Read, false);
  ASSERT_TRUE(performance.valid());
  std::vector<std::uint8_t> growing(1000);
  int attempts = 1;
  while (sim.queryInto(performance, "230", growing, read) == win::kErrorMoreData) {
    growing.resize(growing.size() + 1000);
    ++attempts;
  }
  EXPECT_EQ(attempts, 3);
  EXPECT_EQ(sim.performanceQueries, 3);
  EXPECT_EQ(read, 2500U);
  EXPECT_EQ(growing[2499], 0x5A);
}

TEST(SimDesktopTest, HandlesOwnedByUniqueHandleAreCountedUntilReleased) {
  SimDesktop sim;
  sim.processes[7] = SimProcess{"C:\\Apps\\Editor.exe", "Editor.exe", false};
  const Hwnd window = sim.addWindow(SimWindow{});
  {
    RegistryKey key = sim.openKey(RegRoot::CurrentUser, kSettingsKey, KeyAccess::AllAccess, true);
    WindowDcHandle dc = sim.windowDc(window);
    BrushHandle brush = sim.solidBrush(0x00FF00);
    Module psapi = sim.loadLibrary("PSAPI");
    Module kernel32 = sim.loadLibrary("kernel32.dll");
    Process process = sim.openProcess(win::kProcessQueryInformation | win::kProcessVmRead, 7);
    Snapshot snapshot = sim.processSnapshot(kernel32);
    ASSERT_TRUE(key && dc && brush && psapi && kernel32 && process && snapshot);
    EXPECT_FALSE(sim.everythingReleased());

    // Moving hands over ownership without releasing twice.
    RegistryKey moved = std::move(key);
    EXPECT_EQ(sim.registryKeys.open(), 1);
  }
  EXPECT_EQ(sim.registryKeys.acquired, 1);
  EXPECT_EQ(sim.modules.released, 2);
  EXPECT_TRUE(sim.everythingReleased());

  // Failed acquisitions count nothing; releasing twice is caught.
  EXPECT_FALSE(sim.windowDc(Hwnd{0xDEAD}));
  EXPECT_FALSE(sim.openProcess(win::kProcessQueryInformation, 8));
  EXPECT_EQ(sim.windowDcs.acquired, 1);
  sim.closeKey(12345);
  EXPECT_FALSE(sim.everythingReleased());
}

TEST(SimDesktopTest, ProcessNamesNeedTheirEntryPoints) {
  SimDesktop sim;
  sim.processes[30] = SimProcess{"C:\\Windows\\NOTEPAD.EXE", "notepad.exe", false};
  sim.processes[10] = SimProcess{"Explorer.exe", "explorer.exe", false};
  sim.processes[20] = SimProcess{"System", "System", true};

  Module kernel32 = sim.loadLibrary("KERNEL32.DLL");
  Snapshot snapshot = sim.processSnapshot(kernel32);
  std::vector<ProcessId> walked;
  for (auto entry = sim.firstProcess(kernel32, snapshot); entry;
       entry = sim.nextProcess(kernel32, snapshot)) {
    walked.push_back(entry->processId);
  }
  EXPECT_EQ(walked, (std::vector<ProcessId>{10, 20, 30}));

  Module psapi = sim.loadLibrary("psapi.dll");
  EXPECT_FALSE(sim.openProcess(win::kProcessQueryInformation, 20));
  Process notepad = sim.openProcess(win::kProcessQueryInformation, 30);
  const auto module = sim.firstProcessModule(psapi, notepad);
  ASSERT_TRUE(module.has_value());
  EXPECT_EQ(sim.moduleBaseName(psapi, notepad, *module, 260), "notepad.exe");
  EXPECT_EQ(sim.moduleBaseName(psapi, notepad, *module, 4), "not");
  EXPECT_EQ(sim.processLookups, 3);

  sim.libraries["psapi.dll"].erase("GetModuleBaseNameA");
  EXPECT_EQ(sim.procAddress(psapi, "GetModuleBaseNameA"), ProcAddress{});
  EXPECT_NE(sim.procAddress(psapi, "EnumProcessModules"), ProcAddress{});
  EXPECT_FALSE(sim.moduleBaseName(psapi, notepad, *module, 260).has_value());
  sim.libraries.erase("psapi.dll");
  EXPECT_FALSE(sim.loadLibrary("psapi"));
}

TEST(SimDesktopTest, TrayIconsFollowTheAddModifyDeleteRules) {
  SimDesktop sim;
  const Hwnd owner{0x100};
  const IconHandle picture{0x500};
  NotifyIconData icon{88, owner, 1006, win::kNifIcon | win::kNifTip, 0, picture, "Strennix"};
  EXPECT_FALSE(sim.notifyIcon(win::kNimModify, icon));
  EXPECT_TRUE(sim.notifyIcon(win::kNimAdd, icon));
  EXPECT_FALSE(sim.notifyIcon(win::kNimAdd, icon));

  NotifyIconData change = icon;
  change.flags = win::kNifTip;
  change.icon = IconHandle{0x999};
  change.tip = "Other";
  EXPECT_TRUE(sim.notifyIcon(win::kNimModify, change));
  const NotifyIconData& shown = sim.trayIcons.at({owner, 1006});
  EXPECT_EQ(shown.tip, "Other");
  EXPECT_EQ(shown.icon, picture);  // not named in the flags, so kept

  EXPECT_TRUE(sim.notifyIcon(win::kNimDelete, icon));
  EXPECT_FALSE(sim.notifyIcon(win::kNimDelete, icon));
  EXPECT_TRUE(sim.trayIcons.empty());
  sim.refuseTrayAdds = true;
  EXPECT_FALSE(sim.notifyIcon(win::kNimAdd, icon));

  std::vector<bool> outcomes;
  for (const NotifyCall& call : sim.notifyCalls) {
    outcomes.push_back(call.succeeded);
  }
  EXPECT_EQ(outcomes, (std::vector<bool>{false, true, false, true, true, false, false}));
}

TEST(SimDesktopTest, WindowsAreEnumeratedFrontFirstAndSurviveChangesDuringEnumeration) {
  SimDesktop sim;
  const Hwnd back = sim.addWindow(SimWindow{});
  SimWindow hiddenWindow;
  hiddenWindow.visible = false;
  const Hwnd hidden = sim.addWindow(hiddenWindow);
  const Hwnd front = sim.addWindow(SimWindow{});
  EXPECT_EQ(sim.zOrder(), (std::vector<Hwnd>{front, hidden, back}));

  std::vector<Hwnd> visited;
  sim.enumWindows([&](Hwnd window) {
    visited.push_back(window);
    sim.destroyWindow(hidden);
    sim.addWindow(SimWindow{});
    return true;
  });
  EXPECT_EQ(visited, (std::vector<Hwnd>{front, back}));
  EXPECT_FALSE(sim.isWindow(hidden));
  EXPECT_EQ(sim.windowRect(hidden), Rect{});

  visited.clear();
  sim.enumWindows([&](Hwnd window) {
    visited.push_back(window);
    return false;
  });
  EXPECT_EQ(visited.size(), 1U);

  // Topmost windows come to the front; the desktop is a window but never
  // enumerated.
  EXPECT_TRUE(
      sim.setWindowPos(back, win::kHwndTopmost, 0, 0, 0, 0, win::kSwpNoMove | win::kSwpNoSize));
  EXPECT_EQ(sim.zOrder().front(), back);
  EXPECT_NE(sim.windowLong(back, win::kGwlExStyle) & win::kWsExTopmost, 0U);
  EXPECT_EQ(sim.windowRect(back), (Rect{100, 100, 600, 400}));
  EXPECT_TRUE(
      sim.setWindowPos(back, win::kHwndNoTopmost, 0, 0, 0, 0, win::kSwpNoMove | win::kSwpNoSize));
  EXPECT_EQ(sim.windowLong(back, win::kGwlExStyle) & win::kWsExTopmost, 0U);
  EXPECT_EQ(sim.setWindowPosCalls.size(), 2U);

  const Hwnd desktop = sim.desktopWindow();
  EXPECT_TRUE(sim.isWindow(desktop));
  EXPECT_EQ(sim.windowRect(desktop), sim.monitors.front().area) << "the primary monitor";
  EXPECT_EQ(std::count(sim.zOrder().begin(), sim.zOrder().end(), desktop), 0);
}

// As MonitorFromWindow and MonitorFromPoint with MONITOR_DEFAULTTONEAREST.
TEST(SimDesktopTest, AWindowIsOnTheMonitorItOverlapsMostOrTheNearestOne) {
  SimDesktop sim;
  const Monitor primary = sim.monitors.front();
  const Monitor right{Rect{1024, 0, 2304, 1024}, Rect{1024, 0, 2304, 994}};
  sim.monitors.push_back(right);
  sim::SimWindow window;
  window.rect = Rect{900, 100, 1400, 400};
  const Hwnd across = sim.addWindow(window);
  EXPECT_EQ(sim.monitorOf(across), right);
  sim.window(across).rect = Rect{-900, 100, -400, 400};
  EXPECT_EQ(sim.monitorOf(across), primary) << "off every monitor: the nearest";
  EXPECT_EQ(sim.monitorAt(Point{1023, 767}), primary);
  EXPECT_EQ(sim.monitorAt(Point{1024, 0}), right);
  EXPECT_EQ(sim.monitorAt(Point{5000, 100}), right);
}

TEST(SimDesktopTest, ShowWindowAnswersThePreviousVisibilityAndStylesFollow) {
  SimDesktop sim;
  SimWindow maximized;
  maximized.style |= win::kWsMaximize;
  maximized.title = "A long caption";
  const Hwnd window = sim.addWindow(maximized);
  EXPECT_NE(sim.windowLong(window, win::kGwlStyle) & 0x10000000U, 0U);
  EXPECT_TRUE(sim.showWindow(window, win::kSwHide));
  EXPECT_FALSE(sim.isVisible(window));
  EXPECT_EQ(sim.windowLong(window, win::kGwlStyle) & 0x10000000U, 0U);
  EXPECT_FALSE(sim.showWindow(window, win::kSwShow));
  EXPECT_NE(sim.windowLong(window, win::kGwlStyle) & win::kWsMaximize, 0U);
  EXPECT_TRUE(sim.showWindow(window, win::kSwRestore));
  EXPECT_EQ(sim.windowLong(window, win::kGwlStyle) & win::kWsMaximize, 0U);
  EXPECT_FALSE(sim.showWindow(Hwnd{0xBAD}, win::kSwShow));

  EXPECT_EQ(sim.windowText(window, 7), "A long");
  EXPECT_EQ(sim.windowText(window, 0), "");
  EXPECT_EQ(sim.className(window, 256), "SimWindow");
}

class RecordingEvents : public FormEvents {
 public:
  bool onMessage(std::uint32_t message, std::uint32_t /*wParam*/, std::int32_t /*lParam*/,
                 std::int32_t& result) override {
    messages.push_back(message);
    result = 42;
    return true;
  }
  void onCommand(int controlId, int notifyCode) override {
    commands.emplace_back(controlId, notifyCode);
  }
  void onTimer(std::uint32_t timerId) override { timers.push_back(timerId); }
  void onClose() override {}
  void onKeyUp(int /*controlId*/, int /*key*/) override {}

  std::vector<std::uint32_t> messages;
  std::vector<std::pair<int, int>> commands;
  std::vector<std::uint32_t> timers;
};

TEST(SimDesktopTest, FormsAreHiddenTopLevelWindowsThatReceiveEvents) {
  SimDesktop sim;
  RecordingEvents events;
  const Hwnd form = sim.createForm(100, events);
  EXPECT_EQ(sim.formOfLayout(100), form);
  EXPECT_EQ(sim.className(form, 256), "TStrennix");
  EXPECT_EQ(sim.windowText(form, 256), "Strennix");
  EXPECT_FALSE(sim.isVisible(form));
  EXPECT_EQ(sim.windowRect(form).width(), 313);
  EXPECT_EQ(sim.windowRect(form).height(), 399);

  EXPECT_EQ(sim.control(form, 1029), sim.control(form, 1029));
  EXPECT_NE(sim.control(form, 1029), sim.control(form, 1030));
  sim.click(form, 1029);
  sim.doubleClick(form, 1101);
  EXPECT_EQ(events.commands,
            (std::vector<std::pair<int, int>>{{1029, 0}, {1101, kListDoubleClick}}));
  EXPECT_TRUE(sim.post(form, win::kWmTray, 0, win::kWmRButtonUp));
  EXPECT_EQ(sim.lastMessageResult, 42);
  sim.setTimer(form, 1, 600);
  sim.tick(form, 1);
  EXPECT_EQ(events.timers, std::vector<std::uint32_t>{1});

  sim.destroyForm(form);
  EXPECT_FALSE(sim.isWindow(form));
  EXPECT_TRUE(sim.timers.empty());
  EXPECT_THROW(sim.click(form, 1029), std::out_of_range);
}

TEST(SimDesktopTest, FormsStartWithTheControlsOfTheirLayout) {
  SimDesktop sim;
  RecordingEvents events;
  const Hwnd form = sim.createForm(IDD_STRENNIX, events);
  EXPECT_EQ(sim.text(FormControl{form, IDC_CHKTOP}), "Stay on top");
  EXPECT_EQ(sim.text(FormControl{form, IDC_RDBTNFOREGROUND}), "...foregroundwindow only.");
  EXPECT_EQ(sim.text(FormControl{form, IDC_TRACKPRIORITY}), "");
  EXPECT_FALSE(sim.enabled(FormControl{form, IDC_BTNEDITCLASSES}));
  EXPECT_TRUE(sim.enabled(FormControl{form, IDC_BTNSAVE}));
  EXPECT_FALSE(sim.checked(FormControl{form, IDC_CHKSHADE}));
}

TEST(SimDesktopTest, LayoutsAreReadFromCommentedMultiLineStatements) {
  const Layouts layouts = parseLayouts(
      "#define SORTED LBS_SORT | WS_VSCROLL\n"
      "/* a form */ 7 DIALOGEX 0, 0, 10, 10\nCAPTION \"x\"\nBEGIN\n"
      "  CONTROL \"Say \"\"hi\"\", a\", IDC_A, \"Button\", WS_DISABLED, 1, 2, 3, 4\n"
      "  CONTROL \"\", IDC_B, \"ListBox\",\n          SORTED, 0, 0, 5, 5 // list\n"
      "  CONTROL \"broken\", IDC_UNKNOWN, \"Button\", 0, 1, 2, 3, 4\n"
      "END\nSTRINGTABLE\nBEGIN\n  IDC_A, \"hint\"\nEND\n",
      "#define IDC_A 11 /* first */\n#define IDC_B 12\n");
  ASSERT_EQ(layouts.size(), 1U);
  const std::vector<LayoutControl>& controls = layouts.at(7);
  ASSERT_EQ(controls.size(), 2U);
  EXPECT_EQ(controls[0].id, 11);
  EXPECT_EQ(controls[0].text, "Say \"hi\", a");
  EXPECT_FALSE(controls[0].enabled);
  EXPECT_EQ(controls[1].id, 12);
  EXPECT_TRUE(controls[1].sorted);
  EXPECT_TRUE(controls[1].enabled);
}

TEST(SimDesktopTest, SortedListsIgnoreCaseAndFindWholeTextsOnly) {
  SimDesktop sim;
  RecordingEvents events;
  const Hwnd form = sim.createForm(101, events);
  const FormControl list{form, 1101};
  EXPECT_EQ(sim.listAdd(list, "zebra"), 0);
  sim.setListSorted(list, true);
  EXPECT_EQ(sim.listCount(list), 0);

  EXPECT_EQ(sim.listAdd(list, "delta"), 0);
  EXPECT_EQ(sim.listAdd(list, "Bravo"), 0);
  EXPECT_EQ(sim.listAdd(list, "charlie"), 1);
  EXPECT_EQ(sim.listAdd(list, "Echo"), 3);
  EXPECT_EQ(sim.listItem(list, 2), "delta");

  EXPECT_EQ(sim.listFindExact(list, "CHARLIE"), 1);
  EXPECT_EQ(sim.listFindExact(list, "char"), -1);

  // The selection stays on its item while others come and go.
  sim.controlState(form, 1101).selected = 2;
  sim.listAdd(list, "alpha");
  EXPECT_EQ(sim.listSelected(list), 3);
  sim.listDelete(list, 0);
  EXPECT_EQ(sim.listSelected(list), 2);
  sim.listDelete(list, 2);
  EXPECT_EQ(sim.listSelected(list), -1);
  EXPECT_EQ(sim.listCount(list), 3);
}

}  // namespace
}  // namespace strennix::sim
