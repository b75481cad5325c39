// The simulated desktop is what every other unit test stands on: these tests
// pin down the Win32 behaviour it imitates where modules depend on it.
#include "platform/sim/simdesktop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/dialogtemplate.h"
#include "platform/sim/simlayout.h"
#include "platform/winconst.h"
#include "resources/resource.h"
#include "tests/support/templatebytes.h"

namespace strennix::sim {
namespace {

constexpr const char* kSettingsKey = "Software\\Corvane inc.\\Strennix";

std::vector<std::uint8_t> bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(SimDesktopTest, RegistryKeysAndValueNamesMatchWithoutRegardToCase) {
  SimDesktop sim;
  sim.setRegString(RegRoot::CurrentUser, kSettingsKey, "Buttons", "<hmax>");
  {
    RegistryKey key = sim.registryPort().openKey(
        RegRoot::CurrentUser, "SOFTWARE\\corvane INC.\\strennix", KeyAccess::AllAccess, false);
    ASSERT_TRUE(key.valid());
    const auto value = sim.registryPort().readValue(key, "BUTTONS");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->type, win::kRegSz);
    EXPECT_EQ(value->data, bytes(std::string("<hmax>") + '\0'));
    EXPECT_TRUE(sim.registryPort().setValue(key, "buttons", win::kRegSz, bytes("<vmax>")));
    EXPECT_FALSE(sim.registryPort().readValue(key, "Missing").has_value());
  }
  EXPECT_EQ(sim.regValueNames(RegRoot::CurrentUser, kSettingsKey),
            std::vector<std::string>{"Buttons"});
  EXPECT_EQ(sim.regString(RegRoot::CurrentUser, kSettingsKey, "Buttons"), "<vmax>");

  // Opening without creating fails for a missing key; creating makes it.
  EXPECT_FALSE(
      sim.registryPort().openKey(RegRoot::CurrentUser, "Software\\Other", KeyAccess::Read, false));
  EXPECT_TRUE(sim.registryPort().openKey(RegRoot::CurrentUser, "Software\\Other",
                                         KeyAccess::AllAccess, true));
  EXPECT_TRUE(sim.regKeyExists(RegRoot::CurrentUser, "software\\other"));

  sim.unopenableKeys.insert("software\\CORVANE inc.\\Strennix");
  EXPECT_FALSE(
      sim.registryPort().openKey(RegRoot::CurrentUser, kSettingsKey, KeyAccess::AllAccess, true));
  EXPECT_TRUE(sim.everythingReleased());
}

TEST(SimDesktopTest, RegistryWritesFailOnReadOnlyKeysAndRefusedNames) {
  SimDesktop sim;
  sim.setRegDword(RegRoot::CurrentUser, kSettingsKey, "Priority", 4);
  sim.refusedWrites.insert("VERSION");
  RegistryKey readOnly =
      sim.registryPort().openKey(RegRoot::CurrentUser, kSettingsKey, KeyAccess::Read, false);
  EXPECT_FALSE(sim.registryPort().setValue(readOnly, "Menu", win::kRegSz, bytes("x")));
  RegistryKey writable =
      sim.registryPort().openKey(RegRoot::CurrentUser, kSettingsKey, KeyAccess::AllAccess, false);
  EXPECT_FALSE(sim.registryPort().setValue(writable, "version", win::kRegSz, bytes("1")));
  EXPECT_TRUE(sim.registryPort().setValue(writable, "Menu", win::kRegSz, bytes("x")));
  EXPECT_TRUE(sim.registryPort().deleteValue(writable, "PRIORITY"));
  EXPECT_FALSE(sim.registryPort().deleteValue(writable, "Priority"));
  EXPECT_EQ(sim.regValueNames(RegRoot::CurrentUser, kSettingsKey),
            std::vector<std::string>{"Menu"});

  // A key deleted while open takes no more values.
  sim.deleteRegKey(RegRoot::CurrentUser, "software\\corvane inc.");
  EXPECT_FALSE(sim.regKeyExists(RegRoot::CurrentUser, kSettingsKey));
  EXPECT_FALSE(sim.registryPort().setValue(writable, "Menu", win::kRegSz, bytes("y")));
}

TEST(SimDesktopTest, RegistryQueriesReportMissingValuesAndShortBuffers) {
  SimDesktop sim;
  sim.setRegValue(RegRoot::LocalMachine, "Perflib\\009", "Counter", win::kRegMultiSz,
                  bytes(std::string("2\0System\0\0", 10)));
  RegistryKey key =
      sim.registryPort().openKey(RegRoot::LocalMachine, "Perflib\\009", KeyAccess::Read, false);
  std::vector<std::uint8_t> buffer(4);
  std::uint32_t read = 99;
  EXPECT_EQ(sim.registryPort().queryInto(key, "Help", buffer, read), win::kErrorFileNotFound);
  EXPECT_EQ(sim.registryPort().queryInto(key, "Counter", buffer, read), win::kErrorMoreData);
  EXPECT_EQ(read, 10U);
  buffer.resize(read);
  EXPECT_EQ(sim.registryPort().queryInto(key, "Counter", buffer, read), win::kErrorSuccess);
  EXPECT_EQ(buffer, bytes(std::string("2\0System\0\0", 10)));

  // The performance data answers any value name, and only once the buffer
  // is large enough.
  sim.performanceData.assign(2500, 0x5A);
  RegistryKey performance =
      sim.registryPort().openKey(RegRoot::PerformanceData, "", KeyAccess::Read, false);
  ASSERT_TRUE(performance.valid());
  std::vector<std::uint8_t> growing(1000);
  int attempts = 1;
  while (sim.registryPort().queryInto(performance, "230", growing, read) == win::kErrorMoreData) {
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
    RegistryKey key =
        sim.registryPort().openKey(RegRoot::CurrentUser, kSettingsKey, KeyAccess::AllAccess, true);
    WindowDcHandle dc = sim.drawingPort().windowDc(window);
    BrushHandle brush = sim.drawingPort().solidBrush(0x00FF00);
    Module psapi = sim.systemPort().loadLibrary("PSAPI");
    Module kernel32 = sim.systemPort().loadLibrary("kernel32.dll");
    Process process =
        sim.processNamesPort().openProcess(win::kProcessQueryInformation | win::kProcessVmRead, 7);
    Snapshot snapshot = sim.processNamesPort().processSnapshot(kernel32);
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
  EXPECT_FALSE(sim.drawingPort().windowDc(Hwnd{0xDEAD}));
  EXPECT_FALSE(sim.processNamesPort().openProcess(win::kProcessQueryInformation, 8));
  EXPECT_EQ(sim.windowDcs.acquired, 1);
  sim.registryPort().closeKey(12345);
  EXPECT_FALSE(sim.everythingReleased());
}

TEST(SimDesktopTest, ProcessNamesNeedTheirEntryPoints) {
  SimDesktop sim;
  sim.processes[30] = SimProcess{"C:\\Windows\\NOTEPAD.EXE", "notepad.exe", false};
  sim.processes[10] = SimProcess{"Explorer.exe", "explorer.exe", false};
  sim.processes[20] = SimProcess{"System", "System", true};

  Module kernel32 = sim.systemPort().loadLibrary("KERNEL32.DLL");
  Snapshot snapshot = sim.processNamesPort().processSnapshot(kernel32);
  std::vector<ProcessId> walked;
  for (auto entry = sim.processNamesPort().firstProcess(kernel32, snapshot); entry;
       entry = sim.processNamesPort().nextProcess(kernel32, snapshot)) {
    walked.push_back(entry->processId);
  }
  EXPECT_EQ(walked, (std::vector<ProcessId>{10, 20, 30}));

  Module psapi = sim.systemPort().loadLibrary("psapi.dll");
  EXPECT_FALSE(sim.processNamesPort().openProcess(win::kProcessQueryInformation, 20));
  Process notepad = sim.processNamesPort().openProcess(win::kProcessQueryInformation, 30);
  const auto module = sim.processNamesPort().firstProcessModule(psapi, notepad);
  ASSERT_TRUE(module.has_value());
  EXPECT_EQ(sim.processNamesPort().moduleBaseName(psapi, notepad, *module, 260), "notepad.exe");
  EXPECT_EQ(sim.processNamesPort().moduleBaseName(psapi, notepad, *module, 4), "not");
  EXPECT_EQ(sim.processLookups, 3);

  sim.libraries["psapi.dll"].erase("GetModuleBaseNameA");
  EXPECT_EQ(sim.systemPort().procAddress(psapi, "GetModuleBaseNameA"), ProcAddress{});
  EXPECT_NE(sim.systemPort().procAddress(psapi, "EnumProcessModules"), ProcAddress{});
  EXPECT_FALSE(sim.processNamesPort().moduleBaseName(psapi, notepad, *module, 260).has_value());
  sim.libraries.erase("psapi.dll");
  EXPECT_FALSE(sim.systemPort().loadLibrary("psapi"));
}

TEST(SimDesktopTest, TrayIconsFollowTheAddModifyDeleteRules) {
  SimDesktop sim;
  const Hwnd owner{0x100};
  const IconHandle picture{0x500};
  NotifyIconData icon{88, owner, 1006, win::kNifIcon | win::kNifTip, 0, picture, "Strennix"};
  EXPECT_FALSE(sim.shellPort().notifyIcon(win::kNimModify, icon));
  EXPECT_TRUE(sim.shellPort().notifyIcon(win::kNimAdd, icon));
  EXPECT_FALSE(sim.shellPort().notifyIcon(win::kNimAdd, icon));

  NotifyIconData change = icon;
  change.flags = win::kNifTip;
  change.icon = IconHandle{0x999};
  change.tip = "Other";
  EXPECT_TRUE(sim.shellPort().notifyIcon(win::kNimModify, change));
  const NotifyIconData& shown = sim.trayIcons.at({owner, 1006});
  EXPECT_EQ(shown.tip, "Other");
  EXPECT_EQ(shown.icon, picture);  // not named in the flags, so kept

  EXPECT_TRUE(sim.shellPort().notifyIcon(win::kNimDelete, icon));
  EXPECT_FALSE(sim.shellPort().notifyIcon(win::kNimDelete, icon));
  EXPECT_TRUE(sim.trayIcons.empty());
  sim.refuseTrayAdds = true;
  EXPECT_FALSE(sim.shellPort().notifyIcon(win::kNimAdd, icon));

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
  sim.windowPort().enumWindows([&](Hwnd window) {
    visited.push_back(window);
    sim.destroyWindow(hidden);
    sim.addWindow(SimWindow{});
    return true;
  });
  EXPECT_EQ(visited, (std::vector<Hwnd>{front, back}));
  EXPECT_FALSE(sim.windowPort().isWindow(hidden));
  EXPECT_EQ(sim.windowPort().windowRect(hidden), Rect{});

  visited.clear();
  sim.windowPort().enumWindows([&](Hwnd window) {
    visited.push_back(window);
    return false;
  });
  EXPECT_EQ(visited.size(), 1U);

  // Topmost windows come to the front; the desktop is a window but never
  // enumerated.
  EXPECT_TRUE(sim.windowPort().setWindowPos(back, win::kHwndTopmost, 0, 0, 0, 0,
                                            win::kSwpNoMove | win::kSwpNoSize));
  EXPECT_EQ(sim.zOrder().front(), back);
  EXPECT_NE(sim.windowPort().windowLong(back, win::kGwlExStyle) & win::kWsExTopmost, 0U);
  EXPECT_EQ(sim.windowPort().windowRect(back), (Rect{100, 100, 600, 400}));
  EXPECT_TRUE(sim.windowPort().setWindowPos(back, win::kHwndNoTopmost, 0, 0, 0, 0,
                                            win::kSwpNoMove | win::kSwpNoSize));
  EXPECT_EQ(sim.windowPort().windowLong(back, win::kGwlExStyle) & win::kWsExTopmost, 0U);
  EXPECT_EQ(sim.setWindowPosCalls.size(), 2U);

  const Hwnd desktop = sim.windowPort().desktopWindow();
  EXPECT_TRUE(sim.windowPort().isWindow(desktop));
  EXPECT_EQ(sim.windowPort().windowRect(desktop), sim.monitors.front().area)
      << "the primary monitor";
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
  EXPECT_EQ(sim.windowPort().monitorOf(across), right);
  sim.window(across).rect = Rect{-900, 100, -400, 400};
  EXPECT_EQ(sim.windowPort().monitorOf(across), primary) << "off every monitor: the nearest";
  EXPECT_EQ(sim.windowPort().monitorAt(Point{1023, 767}), primary);
  EXPECT_EQ(sim.windowPort().monitorAt(Point{1024, 0}), right);
  EXPECT_EQ(sim.windowPort().monitorAt(Point{5000, 100}), right);
}

TEST(SimDesktopTest, ShowWindowAnswersThePreviousVisibilityAndStylesFollow) {
  SimDesktop sim;
  SimWindow maximized;
  maximized.style |= win::kWsMaximize;
  maximized.title = "A long caption";
  const Hwnd window = sim.addWindow(maximized);
  EXPECT_NE(sim.windowPort().windowLong(window, win::kGwlStyle) & 0x10000000U, 0U);
  EXPECT_TRUE(sim.windowPort().showWindow(window, win::kSwHide));
  EXPECT_FALSE(sim.windowPort().isVisible(window));
  EXPECT_EQ(sim.windowPort().windowLong(window, win::kGwlStyle) & 0x10000000U, 0U);
  EXPECT_FALSE(sim.windowPort().showWindow(window, win::kSwShow));
  EXPECT_NE(sim.windowPort().windowLong(window, win::kGwlStyle) & win::kWsMaximize, 0U);
  EXPECT_TRUE(sim.windowPort().showWindow(window, win::kSwRestore));
  EXPECT_EQ(sim.windowPort().windowLong(window, win::kGwlStyle) & win::kWsMaximize, 0U);
  EXPECT_FALSE(sim.windowPort().showWindow(Hwnd{0xBAD}, win::kSwShow));

  EXPECT_EQ(sim.windowPort().windowText(window, 7), "A long");
  EXPECT_EQ(sim.windowPort().windowText(window, 0), "");
  EXPECT_EQ(sim.windowPort().className(window, 256), "SimWindow");
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
  const Hwnd form = sim.uiPort().createForm(100, events);
  EXPECT_EQ(sim.formOfLayout(100), form);
  EXPECT_EQ(sim.windowPort().className(form, 256), "TStrennix");
  EXPECT_EQ(sim.windowPort().windowText(form, 256), "Strennix");
  EXPECT_FALSE(sim.windowPort().isVisible(form));
  EXPECT_EQ(sim.windowPort().windowRect(form).width(), 313);
  EXPECT_EQ(sim.windowPort().windowRect(form).height(), 399);

  EXPECT_EQ(sim.control(form, 1029), sim.control(form, 1029));
  EXPECT_NE(sim.control(form, 1029), sim.control(form, 1030));
  sim.click(form, 1029);
  sim.doubleClick(form, 1101);
  EXPECT_EQ(events.commands,
            (std::vector<std::pair<int, int>>{{1029, 0}, {1101, kListDoubleClick}}));
  EXPECT_TRUE(sim.post(form, win::kWmTray, 0, win::kWmRButtonUp));
  EXPECT_EQ(sim.lastMessageResult, 42);
  sim.uiPort().setTimer(form, 1, 600);
  sim.tick(form, 1);
  EXPECT_EQ(events.timers, std::vector<std::uint32_t>{1});

  sim.uiPort().destroyForm(form);
  EXPECT_FALSE(sim.windowPort().isWindow(form));
  EXPECT_TRUE(sim.timers.empty());
  EXPECT_THROW(sim.click(form, 1029), std::out_of_range);
}

TEST(SimDesktopTest, FormsStartWithTheControlsOfTheirLayout) {
  SimDesktop sim;
  RecordingEvents events;
  const Hwnd form = sim.uiPort().createForm(IDD_STRENNIX, events);
  EXPECT_EQ(sim.formControlsPort().text(FormControl{form, IDC_CHKTOP}), "Stay on top");
  EXPECT_EQ(sim.formControlsPort().text(FormControl{form, IDC_RDBTNFOREGROUND}),
            "...foregroundwindow only.");
  EXPECT_EQ(sim.formControlsPort().text(FormControl{form, IDC_TRACKPRIORITY}), "");
  EXPECT_FALSE(sim.formControlsPort().enabled(FormControl{form, IDC_BTNEDITCLASSES}));
  EXPECT_TRUE(sim.formControlsPort().enabled(FormControl{form, IDC_BTNSAVE}));
  EXPECT_FALSE(sim.formControlsPort().checked(FormControl{form, IDC_CHKSHADE}));
}

// A compiled resource file: an entry header (sizes, type, name, fixed
// fields) before each resource's data, every entry on a four-byte boundary.
std::vector<std::uint8_t> resourceFile(
    const std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>>& dialogs) {
  testsupport::TemplateBytes file;
  file.dword(0).dword(32).ordinal(0).ordinal(0).dword(0).dword(0).dword(0).dword(0);
  for (const auto& [name, data] : dialogs) {
    file.dword(static_cast<std::uint32_t>(data.size())).dword(32).ordinal(5).ordinal(name);
    file.dword(0).word(0x1030).word(0x0409).dword(0).dword(0);
    for (const std::uint8_t byte : data) {
      file.byte(byte);
    }
    file.align();
  }
  return file.bytes();
}

TEST(SimDesktopTest, LayoutsAreReadFromTheCompiledDialogResources) {
  testsupport::TemplateBytes form;
  form.header(0, 2, 0, 0, 10, 10).word(0).word(0).string(u"x");
  form.item(0, 0x08000000, 1, 2, 3, 4, 11).ordinal(kButtonAtom).string(u"Say \"hi\", a").word(0);
  form.item(0, 0x00200002, 0, 0, 5, 5, 12).string(u"ListBox").string(u"").word(0);
  std::vector<std::uint8_t> file = resourceFile({{7, form.bytes()}, {8, {1, 0, 0xFF}}});
  // A last entry that claims more data than there is.
  file.insert(file.end(), {0xFF, 0xFF, 0, 0, 32, 0, 0, 0, 0xFF, 0xFF, 5, 0, 0xFF, 0xFF, 9, 0});

  const Layouts layouts = parseLayouts(file.data(), file.size());
  ASSERT_EQ(layouts.size(), 1U);
  const std::vector<LayoutControl>& controls = layouts.at(7);
  ASSERT_EQ(controls.size(), 2U);
  EXPECT_EQ(controls[0].id, 11);
  EXPECT_EQ(controls[0].text, "Say \"hi\", a");
  EXPECT_FALSE(controls[0].enabled);
  EXPECT_EQ(controls[1].id, 12);
  EXPECT_TRUE(controls[1].sorted);
  EXPECT_TRUE(controls[1].enabled);
  EXPECT_TRUE(programLayouts().contains(IDD_STRENNIX)) << "the program's own layouts";
}

TEST(SimDesktopTest, SortedListsIgnoreCaseAndFindWholeTextsOnly) {
  SimDesktop sim;
  RecordingEvents events;
  const Hwnd form = sim.uiPort().createForm(101, events);
  const FormControl list{form, 1101};
  EXPECT_EQ(sim.listBoxPort().listAdd(list, "zebra"), 0);
  sim.listBoxPort().setListSorted(list, true);
  EXPECT_EQ(sim.listBoxPort().listCount(list), 0);

  EXPECT_EQ(sim.listBoxPort().listAdd(list, "delta"), 0);
  EXPECT_EQ(sim.listBoxPort().listAdd(list, "Bravo"), 0);
  EXPECT_EQ(sim.listBoxPort().listAdd(list, "charlie"), 1);
  EXPECT_EQ(sim.listBoxPort().listAdd(list, "Echo"), 3);
  EXPECT_EQ(sim.listBoxPort().listItem(list, 2), "delta");

  EXPECT_EQ(sim.listBoxPort().listFindExact(list, "CHARLIE"), 1);
  EXPECT_EQ(sim.listBoxPort().listFindExact(list, "char"), -1);

  // The selection stays on its item while others come and go.
  sim.controlState(form, 1101).selected = 2;
  sim.listBoxPort().listAdd(list, "alpha");
  EXPECT_EQ(sim.listBoxPort().listSelected(list), 3);
  sim.listBoxPort().listDelete(list, 0);
  EXPECT_EQ(sim.listBoxPort().listSelected(list), 2);
  sim.listBoxPort().listDelete(list, 2);
  EXPECT_EQ(sim.listBoxPort().listSelected(list), -1);
  EXPECT_EQ(sim.listBoxPort().listCount(list), 3);
}

}  // namespace
}  // namespace strennix::sim
