// The program's hot paths on the simulated desktop.
//
// Redraw: one tick of the main form's redraw timer with "draw on all windows",
// for 10, 100 and 1000 top-level windows, with the file-name list off and on
// with each of the three process-name lookups. Items are windows, so a flat
// items/s figure across sizes means linear growth. Every window belongs to a
// process of its own, beside a fixed set of system processes, so lookups that
// walk every process grow with the desktop.
//
// Click: one title-bar click from the hook's message to the finished action,
// for each of the six buttons. Only the click is timed; between iterations the
// action is undone, untimed, so that every click meets the same state.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/program.h"
#include "eligibility/namefromwindow.h"
#include "platform/sim/simdesktop.h"
#include "platform/winconst.h"
#include "resources/resource.h"
#include "tests/support/defaultsettings.h"
#include "tests/support/perfdatabuilder.h"

namespace strennix {
namespace {

constexpr const char* kKey = "Software\\Corvane inc.\\Strennix";
constexpr int kSystemProcesses = 40;
// A real English "Counter" list holds a couple of thousand names; "Process"
// and "ID Process" sit at their usual indices among them.
constexpr int kCounterNames = 2000;

enum class Lookup { Off, Toolhelp, Psapi, PerformanceData };

// The settings of a first start, but drawing on every window and with both
// lists in force when asked.
void storeSettings(sim::SimDesktop& sim, bool drawOnAll, bool excludingNames) {
  const auto values = testsupport::firstStartSettings({{"Classes", "1"},
                                                       {"Names", excludingNames ? "1" : "0"},
                                                       {"Priority", "9"},
                                                       {"DrawOn", drawOnAll ? "<all>" : "<one>"},
                                                       {testsupport::kInstallPath, "C:\\Apps\\"}});
  for (const auto& [name, value] : values) {
    sim.setRegString(RegRoot::CurrentUser, kKey, name, value);
  }
  sim.files["classes.txt"] = "Shell_TrayWnd\r\nProgman\r\ntooltips_class32\r\n#32768\r\n";
  sim.files["files.txt"] = "explorer.exe\r\ntaskmgr.exe\r\nwinlogon.exe\r\n";
}

std::vector<std::uint8_t> counterList() {
  std::vector<std::pair<std::string, std::string>> pairs = {{"1", "1847"}};
  for (int index = 2; index <= 2 * kCounterNames; index += 2) {
    std::string name = "Counter " + std::to_string(index);
    if (index == static_cast<int>(perf::kProcessObjectIndex)) {
      name = "Process";
    } else if (index == static_cast<int>(perf::kIdProcessIndex)) {
      name = "ID Process";
    }
    pairs.emplace_back(std::to_string(index), std::move(name));
  }
  return perf::buildCounterList(pairs);
}

// Processes: the system's, then one per window; the performance data lists
// them all and ends, as Windows does, with the "_Total" instance.
void addProcesses(sim::SimDesktop& sim, int windows) {
  std::vector<perf::InstanceSpec> instances;
  const auto add = [&](ProcessId id, const std::string& exe) {
    sim.processes[id] = sim::SimProcess{"C:\\WINDOWS\\" + exe, exe, false};
    const std::string stem = exe.substr(0, exe.rfind('.'));
    instances.push_back(perf::InstanceSpec{std::u16string(stem.begin(), stem.end()), id});
  };
  for (int i = 0; i < kSystemProcesses; ++i) {
    add(static_cast<ProcessId>(4 + 4 * i), "svc" + std::to_string(i) + ".exe");
  }
  for (int i = 0; i < windows; ++i) {
    add(static_cast<ProcessId>(1000 + 4 * i), "app" + std::to_string(i) + ".exe");
  }
  instances.push_back(perf::InstanceSpec{u"_Total", 0});
  sim.performanceData = perf::PerfDataBuilder::processObject(instances);
  sim.setRegValue(RegRoot::LocalMachine, kPerflibKey, "Counter", win::kRegMultiSz, counterList());
}

void chooseLookup(sim::SimDesktop& sim, Lookup lookup) {
  switch (lookup) {
    case Lookup::Off:
    case Lookup::Psapi:
      sim.osVersion = OsVersion{5, 1, 2600, win::kPlatformWin32Nt};
      break;
    case Lookup::Toolhelp:
      sim.osVersion = OsVersion{4, 10, 2222, win::kPlatformWin32Windows};
      sim.libraries.erase("psapi.dll");
      break;
    case Lookup::PerformanceData:
      sim.osVersion = OsVersion{5, 1, 2600, win::kPlatformWin32Nt};
      sim.libraries.erase("psapi.dll");
      break;
  }
}

// The program started on a simulated desktop, as the entry point starts it.
struct BenchProgram {
  BenchProgram(bool drawOnAll, Lookup lookup) {
    storeSettings(sim, drawOnAll, lookup != Lookup::Off);
    chooseLookup(sim, lookup);
    composed = std::make_unique<Program>(sim.ports(), application);
    form = &composed->mainForm();
    tray = &composed->trayForm();
  }

  sim::SimDesktop sim;
  Application application{sim, sim};
  std::unique_ptr<Program> composed;
  TStrennix* form = nullptr;
  TTrayForm* tray = nullptr;
};

void redrawAllWindows(benchmark::State& state, Lookup lookup) {
  const auto windows = static_cast<int>(state.range(0));
  BenchProgram program(true, lookup);
  sim::SimDesktop& sim = program.sim;
  addProcesses(sim, windows);
  for (int i = 0; i < windows; ++i) {
    sim::SimWindow window;
    window.rect = Rect{10 + i % 300, 10 + i % 200, 510 + i % 300, 310 + i % 200};
    window.className = "AppWindow" + std::to_string(i % 7);
    window.processId = static_cast<ProcessId>(1000 + 4 * i);
    sim.addWindow(window);
  }

  for (auto _ : state) {
    sim.tick(program.form->handle(), IDT_TIMER1);
    benchmark::DoNotOptimize(sim.draws.data());
    sim.draws.clear();
  }
  if (!sim.everythingReleased()) {
    state.SkipWithError("a device context, brush, module or handle was left open");
  }
  state.SetItemsProcessed(state.iterations() * windows);
  state.counters["windows"] = windows;
}

void BM_RedrawFileListOff(benchmark::State& state) { redrawAllWindows(state, Lookup::Off); }
void BM_RedrawToolhelp(benchmark::State& state) { redrawAllWindows(state, Lookup::Toolhelp); }
void BM_RedrawPsapi(benchmark::State& state) { redrawAllWindows(state, Lookup::Psapi); }
void BM_RedrawPerformanceData(benchmark::State& state) {
  redrawAllWindows(state, Lookup::PerformanceData);
}

BENCHMARK(BM_RedrawFileListOff)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RedrawToolhelp)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RedrawPsapi)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RedrawPerformanceData)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

// ---- title-bar clicks --------------------------------------------------------

// The worked example: defaults, all six buttons, a window whose rectangle is
// (100, 50, 740, 450), so the row spans 586 < x < 682 at y 57 to 68.
constexpr Rect kEditor{100, 50, 740, 450};

// A point inside the button at `place` (0 = rightmost) of a window with this
// rectangle.
Point buttonPoint(const Rect& window, int place) {
  return Point{window.right - 58 - 16 * place - 7, window.top + 10};
}

enum Place { kTop = 0, kToIcon, kShade, kToMenu, kVMax, kHMax };

void clickAndUndo(benchmark::State& state, Place place) {
  BenchProgram program(false, Lookup::Off);
  sim::SimDesktop& sim = program.sim;
  TStrennix& main = *program.form;
  sim::SimWindow window;
  window.rect = kEditor;
  window.title = "Editor";
  const Hwnd editor = sim.addWindow(window);
  sim.setForeground(editor);

  const auto undo = [&] {
    switch (place) {
      case kToIcon:
        sim.post(main.handle(), win::kWmAsTray, 0, win::kWmLButtonUp);
        break;
      case kToMenu:
        sim.controlState(program.tray->handle(), IDC_LISTBOX1).selected = 0;
        sim.doubleClick(program.tray->handle(), IDC_LISTBOX1);
        break;
      default: {  // the other four toggle: a second click undoes the first
        const Point point = buttonPoint(sim.window(editor).rect, place);
        sim.post(main.handle(), win::kStrnxNcLButtonUp, point.x, point.y);
        break;
      }
    }
    sim.setForeground(editor);
  };

  // What each click must have done, checked outside the timed part.
  const auto acted = [&] {
    const sim::SimWindow& target = sim.window(editor);
    const WindowLists& lists = program.composed->lists();
    switch (place) {
      case kTop:
        return (target.exStyle & win::kWsExTopmost) != 0;
      case kToIcon:
        return !target.visible && lists.trayed().count() == 1;
      case kShade:
        return target.rect.height() == 27;
      case kToMenu:
        return !target.visible && lists.menu().count() == 1;
      case kVMax:
        return lists.stretched(Axis::Vertical).count() == 1;
      case kHMax:
        return lists.stretched(Axis::Horizontal).count() == 1;
    }
    return false;
  };

  for (auto _ : state) {
    // Restoring a stretched window centres it, so the button moves.
    const Point click = buttonPoint(sim.window(editor).rect, place);
    const auto start = std::chrono::steady_clock::now();
    sim.post(main.handle(), win::kStrnxNcLButtonUp, click.x, click.y);
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    if (!acted()) {
      state.SkipWithError("the click did not run its action");
      break;
    }
    undo();
  }
  const Rect rect = sim.window(editor).rect;
  const bool steady = rect.width() == kEditor.width() && rect.height() == kEditor.height() &&
                      sim.windowPort().isVisible(editor) &&
                      (sim.window(editor).exStyle & win::kWsExTopmost) == 0 &&
                      program.composed->lists().trayed().count() == 0 &&
                      program.composed->lists().menu().count() == 0 &&
                      program.composed->lists().shaded().count() == 0 &&
                      program.composed->lists().stretched(Axis::Vertical).count() == 0 &&
                      program.composed->lists().stretched(Axis::Horizontal).count() == 0;
  if (!steady) {
    state.SkipWithError("the undo did not give the window its state back");
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_ClickStayOnTop(benchmark::State& state) { clickAndUndo(state, kTop); }
void BM_ClickMinimizeToTrayIcon(benchmark::State& state) { clickAndUndo(state, kToIcon); }
void BM_ClickShade(benchmark::State& state) { clickAndUndo(state, kShade); }
void BM_ClickMinimizeToTrayMenu(benchmark::State& state) { clickAndUndo(state, kToMenu); }
void BM_ClickMaximizeVertically(benchmark::State& state) { clickAndUndo(state, kVMax); }
void BM_ClickMaximizeHorizontally(benchmark::State& state) { clickAndUndo(state, kHMax); }

BENCHMARK(BM_ClickStayOnTop)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClickMinimizeToTrayIcon)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClickShade)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClickMinimizeToTrayMenu)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClickMaximizeVertically)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClickMaximizeHorizontally)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace strennix

BENCHMARK_MAIN();
