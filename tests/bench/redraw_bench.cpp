// The redraw timer's per-window cost on the simulated desktop: every
// top-level window is enumerated and handed to drawButtons, as with
// "draw on all windows", with the file-name list off and on. Items are
// windows, so a flat items/s figure across sizes means linear growth.
#include <benchmark/benchmark.h>

#include <string>

#include "app/log.h"
#include "buttons/gfx.h"
#include "eligibility/exclusionlists.h"
#include "eligibility/namefromwindow.h"
#include "eligibility/winauth.h"
#include "platform/sim/simdesktop.h"
#include "platform/winconst.h"
#include "settings/settings.h"

namespace strennix {
namespace {

Settings firstRunSettings(bool excludingNames) {
  Settings s;
  s.usingTop = s.usingMinIcon = s.usingShade = s.usingMinMenu = s.usingVMax = s.usingHMax = true;
  s.numberOfButtons = 6;
  s.buttonXOffset = 58;
  s.buttonYOffset = 6;
  s.buttonXStretch = 16;
  s.buttonYStretch = 14;
  s.drawOnAll = true;
  s.excludeStyles = win::kWsPopup | win::kWsChild;
  s.excludeExStyles = win::kWsExDlgModalFrame | win::kWsExToolWindow | win::kWsExTransparent;
  s.excludingClasses = true;
  s.excludingNames = excludingNames;
  return s;
}

void redrawAllWindows(benchmark::State& state, bool excludingNames) {
  const auto windows = static_cast<int>(state.range(0));
  sim::SimDesktop desk;
  Logger log{desk, desk};
  Settings settings = firstRunSettings(excludingNames);
  ExclusionLists lists;
  lists.excludedClasses = {"Shell_TrayWnd", "Progman", "tooltips_class32", "#32768"};
  lists.excludedNames = {"explorer.exe", "taskmgr.exe", "winlogon.exe"};
  for (int i = 0; i < windows; ++i) {
    const auto processId = static_cast<ProcessId>(1000 + i);
    const std::string exe = "app" + std::to_string(i) + ".exe";
    desk.processes[processId] = sim::SimProcess{"C:\\Apps\\" + exe, exe, false};
    sim::SimWindow window;
    window.rect = Rect{10 + i % 300, 10 + i % 200, 510 + i % 300, 310 + i % 200};
    window.className = "AppWindow" + std::to_string(i % 7);
    window.processId = processId;
    desk.addWindow(window);
  }
  NameFromWindow names{desk, desk, desk, log};
  WinAuth auth{desk, desk, names, settings, lists, log};
  Gfx gfx{desk, desk, auth, settings, log};
  gfx.setIcons(ButtonIcons{1, 2, 3, 4, 5, 6, 7});

  for (auto _ : state) {
    desk.enumWindows([&gfx](Hwnd window) {
      gfx.drawButtons(window);
      return true;
    });
    benchmark::DoNotOptimize(desk.draws.data());
    desk.draws.clear();
  }
  state.SetItemsProcessed(state.iterations() * windows);
  state.counters["windows"] = windows;
}

void BM_RedrawFileListOff(benchmark::State& state) { redrawAllWindows(state, false); }
void BM_RedrawFileListOn(benchmark::State& state) { redrawAllWindows(state, true); }

BENCHMARK(BM_RedrawFileListOff)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(BM_RedrawFileListOn)->Arg(10)->Arg(100)->Arg(1000);

}  // namespace
}  // namespace strennix

BENCHMARK_MAIN();
