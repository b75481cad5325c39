// strennix32.exe and strennix64.exe: the helper, one source built for both
// bitnesses. A hook library reaches only the processes of its own bitness,
// so on 64-bit Windows strennix.exe starts the helper of the other bitness
// from its own folder, with its process id and an end signal:
//
//   strennix64.exe <process id> <end signal>   (beside the 32-bit program)
//   strennix32.exe <process id> <end signal>   (beside the 64-bit program)
//
// It serves only a process started from its own folder. It installs the
// hooks of the library of its own bitness (hook64.dll or hook.dll, beside
// it) for all threads and pumps messages until strennix.exe ends, however it
// ends, or sets the end signal, an event the helper inherited from it and
// that no other program holds; a WM_QUIT, which any program can post, ends
// nothing. It has no window and writes no file: the exit code (HelperExit)
// tells strennix.exe why it ended.
//
// Under Wine a global hook is called by loading its library into the process
// that gets the event; where that fails (a library of the other bitness) the
// rest of the chain is skipped, so the helper's global hooks would silence
// the program's own library in every process of the program's bitness.
// There the helper hooks the threads of the processes of its own bitness one
// by one instead, scanning for new ones as it waits.
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "hook/dll/helperarguments.h"
#include "hook/dll/kernelhandles.h"
#include "hook/dll/programfolder.h"
#include "hook/dll/threadhooks.h"
#include "platform/handle.h"
#include "platform/hookprotocol.h"

namespace {

using strennix::UniqueHandle;
using strennix::hookprotocol::HelperExit;

using strennix::hookdll::Api;
using strennix::hookdll::KernelObjectTraits;

// CreateToolhelp32Snapshot fails with INVALID_HANDLE_VALUE, not null.
struct SnapshotTraits {
  using Value = HANDLE;
  using Owner = Api;
  static bool valid(const Value& value) { return value != INVALID_HANDLE_VALUE; }
  static void release(Owner& /*api*/, const Value& value) noexcept { CloseHandle(value); }
};

struct LibraryTraits {
  using Value = HMODULE;
  using Owner = Api;
  static bool valid(const Value& value) { return value != nullptr; }
  static void release(Owner& /*api*/, const Value& value) noexcept { FreeLibrary(value); }
};

struct HookTraits {
  using Value = HHOOK;
  using Owner = Api;
  static bool valid(const Value& value) { return value != nullptr; }
  static void release(Owner& /*api*/, const Value& value) noexcept { UnhookWindowsHookEx(value); }
};

struct HookProcs {
  HMODULE library = nullptr;
  HOOKPROC mouse = nullptr;
  HOOKPROC cbt = nullptr;
};

// How often the threads are scanned under Wine: a window opened since the
// last scan misses at most this much of its first input.
constexpr DWORD kScanIntervalMs = 250;

using QueryFullProcessImageNameFunction = BOOL(WINAPI*)(HANDLE, DWORD, char*, DWORD*);
using GetModuleFileNameExFunction = DWORD(WINAPI*)(HANDLE, HMODULE, char*, DWORD);

int exitCode(HelperExit reason) { return static_cast<int>(reason); }

// Kernel handles have 32 significant bits in either bitness.
HANDLE handleOf(std::uint32_t value) {
  return reinterpret_cast<HANDLE>(  // NOLINT(performance-no-int-to-ptr)
      static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
}

// This helper's own path; empty when it does not fit MAX_PATH.
std::string ownPath() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return {};
  }
  return {path, length};
}

// Opened to be waited for and to read its image's path. Windows XP knows no
// limited query; there PSAPI reads the path, which needs more.
HANDLE openProgram(DWORD id) {
  const HANDLE limited = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  if (limited != nullptr) {
    return limited;
  }
  return OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
}

// The path of the process's executable through QueryFullProcessImageNameA
// (Vista and later, taken at run time), which also reads a process of the
// other bitness; empty where it is missing or fails.
std::string fullImageName(HANDLE process) {
  const auto query = reinterpret_cast<QueryFullProcessImageNameFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA")));
  char path[MAX_PATH];
  DWORD length = MAX_PATH;
  if (query == nullptr || query(process, 0, path, &length) == FALSE) {
    return {};
  }
  return {path, length};
}

// The same through PSAPI, loaded from the system's folder; empty where it
// cannot read it.
std::string moduleImageName(Api& api, HANDLE process) {
  char system[MAX_PATH];
  const UINT folder = GetSystemDirectoryA(system, MAX_PATH);
  if (folder == 0 || folder >= MAX_PATH) {
    return {};
  }
  const UniqueHandle<LibraryTraits> psapi(
      api, LoadLibraryA((std::string(system, folder) + "\\psapi.dll").c_str()));
  if (!psapi) {
    return {};
  }
  const auto moduleName = reinterpret_cast<GetModuleFileNameExFunction>(
      reinterpret_cast<void*>(GetProcAddress(psapi.get(), "GetModuleFileNameExA")));
  char path[MAX_PATH];
  const DWORD length = moduleName != nullptr ? moduleName(process, nullptr, path, MAX_PATH) : 0;
  return length == 0 || length >= MAX_PATH ? std::string() : std::string(path, length);
}

// The path of the process's executable; empty when it cannot be read.
std::string imagePath(Api& api, HANDLE process) {
  std::string path = fullImageName(process);
  return path.empty() ? moduleImageName(api, process) : path;
}

// The library is loaded by full path from the helper's folder, not through
// the search path, where another program's file of that name could stand.
HMODULE loadHookLibrary(const std::string& own) {
  const std::string path = strennix::besideProgram(own, strennix::hookprotocol::kOwnFiles.library);
  return path.empty() ? nullptr : LoadLibraryA(path.c_str());
}

HOOKPROC procedure(HMODULE library, const char* name) {
  return reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

bool runsOnWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

enum class Bitness { Own, Other, Unknown };

bool helperUnderWow64() {
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) != FALSE && wow64 != FALSE;
}

// A process of the helper's own bitness is one whose WoW64 state is the
// helper's: under WoW64 both, or neither.
Bitness bitnessOf(Api& api, DWORD process, bool ownWow64) {
  const UniqueHandle<KernelObjectTraits> handle(
      api, OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
  BOOL wow64 = FALSE;
  if (!handle || IsWow64Process(handle.get(), &wow64) == FALSE) {
    return Bitness::Unknown;
  }
  return (wow64 != FALSE) == ownWow64 ? Bitness::Own : Bitness::Other;
}

std::vector<strennix::RunningThread> runningThreads(Api& api) {
  std::vector<strennix::RunningThread> threads;
  const UniqueHandle<SnapshotTraits> snapshot(api, CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot) {
    return threads;
  }
  THREADENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Thread32First(snapshot.get(), &entry); more != FALSE;
       more = Thread32Next(snapshot.get(), &entry)) {
    threads.push_back({entry.th32ThreadID, entry.th32OwnerProcessID});
  }
  return threads;
}

// The two hooks of one thread, released together.
struct ThreadHooks {
  UniqueHandle<HookTraits> mouse;
  UniqueHandle<HookTraits> cbt;
};

// The hooks of the threads of the processes of the helper's bitness, kept up
// to date by scan().
class PerThreadHooks {
 public:
  PerThreadHooks(Api& api, const HookProcs& procs, DWORD programProcess)
      : api_(api),
        procs_(procs),
        ownWow64_(helperUnderWow64()),
        book_(GetCurrentProcessId(), programProcess) {}

  void scan() {
    const strennix::ThreadScan changes = book_.scan(runningThreads(api_));
    for (unsigned thread : changes.ended) {
      hooks_.erase(thread);
    }
    std::map<unsigned, Bitness> bitness;
    for (const strennix::RunningThread& entry : changes.fresh) {
      auto known = bitness.find(entry.process);
      if (known == bitness.end()) {
        known = bitness.emplace(entry.process, bitnessOf(api_, entry.process, ownWow64_)).first;
      }
      if (known->second == Bitness::Own) {
        hook(entry.thread);
      } else if (known->second == Bitness::Unknown) {
        book_.refused(entry.thread);
      }
    }
  }

 private:
  void hook(unsigned thread) {
    ThreadHooks hooks{UniqueHandle<HookTraits>(
                          api_, SetWindowsHookExA(WH_MOUSE, procs_.mouse, procs_.library, thread)),
                      UniqueHandle<HookTraits>(
                          api_, SetWindowsHookExA(WH_CBT, procs_.cbt, procs_.library, thread))};
    if (!hooks.mouse || !hooks.cbt) {
      book_.refused(thread);
      return;
    }
    hooks_.emplace(thread, std::move(hooks));
    book_.hooked(thread);
  }

  Api& api_;
  HookProcs procs_;
  bool ownWow64_;
  strennix::ThreadHookBook book_;
  std::map<unsigned, ThreadHooks> hooks_;
};

// What the helper waits for: the program's end and its end signal.
struct ProgramWatch {
  HANDLE program = nullptr;
  HANDLE endSignal = nullptr;
};

// Windows runs global hooks for the processes of the other bitness on this
// thread, so it must keep taking messages until the end, or those processes
// would stall. A WM_QUIT among them is taken like any other: only the
// program ends the helper.
// onIdle runs each time `interval` passes without a message.
template <class OnIdle>
void pumpUntilProgramEnds(const ProgramWatch& watch, DWORD interval, OnIdle onIdle) {
  const HANDLE ends[] = {watch.program, watch.endSignal};
  constexpr DWORD kEnds = sizeof(ends) / sizeof(ends[0]);
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
      DispatchMessageA(&message);
    }
    const DWORD woken = MsgWaitForMultipleObjects(kEnds, ends, FALSE, interval, QS_ALLINPUT);
    if (woken == WAIT_TIMEOUT) {
      onIdle();
    } else if (woken != WAIT_OBJECT_0 + kEnds) {
      return;  // the program has ended or asked (or the wait failed: nothing to wait for)
    }
  }
}

HelperExit hookGlobally(Api& api, const HookProcs& procs, const ProgramWatch& watch) {
  const UniqueHandle<HookTraits> mouseHook(
      api, SetWindowsHookExA(WH_MOUSE, procs.mouse, procs.library, 0));
  const UniqueHandle<HookTraits> cbtHook(api,
                                         SetWindowsHookExA(WH_CBT, procs.cbt, procs.library, 0));
  if (!mouseHook || !cbtHook) {
    return HelperExit::HookRefused;
  }
  pumpUntilProgramEnds(watch, INFINITE, [] {});
  return HelperExit::Ended;
}

HelperExit hookThreadByThread(Api& api, const HookProcs& procs, const ProgramWatch& watch,
                              DWORD programProcess) {
  PerThreadHooks hooks(api, procs, programProcess);
  hooks.scan();
  pumpUntilProgramEnds(watch, kScanIntervalMs, [&hooks] { hooks.scan(); });
  return HelperExit::Ended;
}

// The end signal must be an object that is not set yet; an odd number on a
// forged command line is no handle of this process, or one of another kind.
bool waitableAndUnset(HANDLE object) { return WaitForSingleObject(object, 0) == WAIT_TIMEOUT; }

}  // namespace

int main(int argc, char** argv) {
  Api api;
  const auto arguments = strennix::helperArguments(argc, argv);
  if (!arguments) {
    return exitCode(HelperExit::BadCommandLine);
  }
  const DWORD id = arguments->process;
  const UniqueHandle<KernelObjectTraits> program(api, openProgram(id));
  if (!program) {
    return exitCode(HelperExit::ProgramGone);
  }
  const std::string own = ownPath();
  if (!strennix::inSameFolder(imagePath(api, program.get()), own)) {
    return exitCode(HelperExit::NotTheProgram);
  }
  const UniqueHandle<KernelObjectTraits> endSignal(api, handleOf(arguments->endSignal));
  if (!waitableAndUnset(endSignal.get())) {
    return exitCode(HelperExit::BadCommandLine);
  }
  const UniqueHandle<LibraryTraits> library(api, loadHookLibrary(own));
  if (!library) {
    return exitCode(HelperExit::LibraryMissing);
  }
  const HookProcs procs{library.get(),
                        procedure(library.get(), strennix::hookprotocol::kMouseProcName),
                        procedure(library.get(), strennix::hookprotocol::kCbtProcName)};
  if (procs.mouse == nullptr || procs.cbt == nullptr) {
    return exitCode(HelperExit::ExportMissing);
  }
  // The hooks are released inside these calls, before the library is.
  const ProgramWatch watch{program.get(), endSignal.get()};
  if (runsOnWine()) {
    return exitCode(hookThreadByThread(api, procs, watch, id));
  }
  return exitCode(hookGlobally(api, procs, watch));
}
