// starttimer.exe: times the start of a Win32 program under Wine, from just
// before CreateProcess to the moment other programs can see that its start-up
// is done, by polling every 2 ms from this process on the same desktop.
//
//   starttimer.exe strennix RUNS EXE
//       Done when a top-level window of class "TStrennix" (the main form)
//       exists and the taskbar shows a new notification icon. Strennix adds
//       its icon last in its begin sequence, just before it enables its redraw
//       timer. Wine's explorer makes one tooltip control per notification
//       icon, owned by the taskbar window (Shell_TrayWnd), and gives it the
//       icon's tool while Shell_NotifyIcon(NIM_ADD) is being handled; so the
//       icon is there when a tooltip control that did not exist before the
//       start, owned by the taskbar, holds a tool.
//   starttimer.exe window CLASS RUNS EXE
//       Done when a top-level window of class CLASS exists.
//   starttimer.exe wait-strennix
//   starttimer.exe wait-window CLASS
//       Wait (up to 60 s) until a program started by someone else has its
//       main window (and, for Strennix, some notification icon is shown).
//
// After each timed run the program is closed with WM_CLOSE and waited for.
// Prints one line per run: "run=N ms=T". Exit code 0, or 1 on a time-out.
#include <windows.h>
// After <windows.h>, which it needs.
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "tools/bench/benchclock.h"

namespace {

constexpr DWORD kPollMs = 2;
constexpr double kTimeoutMs = 60000;
constexpr DWORD kExitWaitMs = 30000;
// Lets the previous run's process and its desktop bookkeeping settle.
constexpr DWORD kPauseBetweenRunsMs = 1000;

// Every top-level tooltip control; the server filters by class, so a poll
// costs one request per tooltip control and no message.
std::set<HWND> tooltipControls() {
  std::set<HWND> found;
  for (HWND window = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr); window != nullptr;
       window = FindWindowExA(nullptr, window, TOOLTIPS_CLASSA, nullptr)) {
    found.insert(window);
  }
  return found;
}

bool holdsTaskbarIcon(HWND tooltip, HWND taskbar) {
  DWORD_PTR tools = 0;
  return GetWindow(tooltip, GW_OWNER) == taskbar &&
         SendMessageTimeoutA(tooltip, TTM_GETTOOLCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000, &tools) !=
             0 &&
         tools > 0;
}

// A notification icon shown by a tooltip control not among `before`.
bool newTrayIcon(const std::set<HWND>& before) {
  HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
  if (taskbar == nullptr) {
    return false;
  }
  for (HWND tooltip : tooltipControls()) {
    if (!before.contains(tooltip) && holdsTaskbarIcon(tooltip, taskbar)) {
      return true;
    }
  }
  return false;
}

struct Target {
  const char* className;
  bool needsIcon;
};

bool ready(const Target& target, const std::set<HWND>& tooltipsBefore) {
  return FindWindowA(target.className, nullptr) != nullptr &&
         (!target.needsIcon || newTrayIcon(tooltipsBefore));
}

// Milliseconds until ready, or a negative number on a time-out.
double waitUntilReady(const Target& target, const std::set<HWND>& tooltipsBefore, double since) {
  while (!ready(target, tooltipsBefore)) {
    if (nowMs() - since > kTimeoutMs) {
      return -1;
    }
    Sleep(kPollMs);
  }
  return nowMs() - since;
}

std::string directoryOf(const std::string& path) {
  const auto slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool closeAndWait(const Target& target, HANDLE process) {
  HWND window = FindWindowA(target.className, nullptr);
  if (window != nullptr) {
    PostMessageA(window, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(process, kExitWaitMs) == WAIT_OBJECT_0) {
    return true;
  }
  TerminateProcess(process, 1);
  return false;
}

int timeRuns(const Target& target, int runs, const std::string& exe) {
  std::string commandLine = "\"" + exe + "\"";
  const std::string directory = directoryOf(exe);
  for (int run = 1; run <= runs; ++run) {
    const std::set<HWND> tooltipsBefore = target.needsIcon ? tooltipControls() : std::set<HWND>{};
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const double start = nowMs();
    if (CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       directory.c_str(), &startup, &process) == FALSE) {
      std::fprintf(stderr, "cannot start %s (error %lu)\n", exe.c_str(), GetLastError());
      return 1;
    }
    const double ms = waitUntilReady(target, tooltipsBefore, start);
    if (ms < 0) {
      std::fprintf(stderr, "run %d: %s not ready after %.0f ms\n", run, exe.c_str(), kTimeoutMs);
    } else {
      std::printf("run=%d ms=%.1f\n", run, ms);
      std::fflush(stdout);
    }
    const bool ended = closeAndWait(target, process.hProcess);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (ms < 0 || !ended) {
      return 1;
    }
    Sleep(kPauseBetweenRunsMs);
  }
  return 0;
}

int usage() {
  std::fprintf(stderr,
               "usage: starttimer.exe strennix RUNS EXE | window CLASS RUNS EXE |"
               " wait-strennix | wait-window CLASS\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    return usage();
  }
  const std::string command = argv[1];
  if (command == "strennix" && argc == 4) {
    return timeRuns(Target{"TStrennix", true}, std::atoi(argv[2]), argv[3]);
  }
  if (command == "window" && argc == 5) {
    return timeRuns(Target{argv[2], false}, std::atoi(argv[3]), argv[4]);
  }
  // Any icon will do here: the caller waits a little longer anyway.
  if (command == "wait-strennix" && argc == 2) {
    return waitUntilReady(Target{"TStrennix", true}, {}, nowMs()) < 0 ? 1 : 0;
  }
  if (command == "wait-window" && argc == 3) {
    return waitUntilReady(Target{argv[2], false}, {}, nowMs()) < 0 ? 1 : 0;
  }
  return usage();
}
