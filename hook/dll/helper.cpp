// strennix32.exe and strennix64.exe: the helper, one source built for both
// bitnesses. A hook library reaches only the processes of its own bitness,
// so on 64-bit Windows strennix.exe starts the helper of the other bitness
// from its own folder, with its process id as the only argument:
//
//   strennix64.exe <process id of strennix.exe>   (beside the 32-bit program)
//   strennix32.exe <process id of strennix.exe>   (beside the 64-bit program)
//
// It installs the hooks of the library of its own bitness (hook64.dll or
// hook.dll, beside it) for all threads and pumps messages until
// strennix.exe ends, however it ends, or until a WM_QUIT reaches its thread.
// It has no window and writes no file: the exit code (HelperExit) tells
// strennix.exe why it ended.
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

#include <cstdlib>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

#include "hook/dll/threadhooks.h"
#include "platform/handle.h"
#include "platform/hookprotocol.h"

namespace {

using strennix::UniqueHandle;
using strennix::hookprotocol::HelperExit;

// The owner of the helper's handles: the API itself, no state.
struct Api {};

struct KernelObjectTraits {
  using Value = HANDLE;
  using Owner = Api;
  static bool valid(const Value& value) { return value != nullptr; }
  static void release(Owner& /*api*/, const Value& value) noexcept { CloseHandle(value); }
};

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

int exitCode(HelperExit reason) { return static_cast<int>(reason); }

// The process id on the command line; 0 when there is none.
DWORD programId(int argc, char** argv) {
  if (argc != 2) {
    return 0;
  }
  char* end = nullptr;
  const unsigned long id = std::strtoul(argv[1], &end, 10);
  return *end == '\0' ? static_cast<DWORD>(id) : 0;
}

// The library is loaded by full path from the helper's folder, not through
// the search path, where another program's file of that name could stand.
HMODULE loadHookLibrary() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return nullptr;
  }
  char* slash = std::strrchr(path, '\\');
  char* name = slash != nullptr ? slash + 1 : path;
  const std::size_t room = sizeof(path) - static_cast<std::size_t>(name - path);
  if (std::strlen(strennix::hookprotocol::kOwnFiles.library) >= room) {
    return nullptr;
  }
  std::strcpy(name, strennix::hookprotocol::kOwnFiles.library);
  return LoadLibraryA(path);
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

// Windows runs global hooks for the processes of the other bitness on this
// thread, so it must keep taking messages until the end, or those processes
// would stall.
// onIdle runs each time `interval` passes without a message.
template <class OnIdle>
void pumpUntilProgramEnds(HANDLE program, DWORD interval, OnIdle onIdle) {
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
      if (message.message == WM_QUIT) {
        return;
      }
      DispatchMessageA(&message);
    }
    const DWORD woken = MsgWaitForMultipleObjects(1, &program, FALSE, interval, QS_ALLINPUT);
    if (woken == WAIT_TIMEOUT) {
      onIdle();
    } else if (woken != WAIT_OBJECT_0 + 1) {
      return;  // the program has ended (or the wait failed: nothing to wait for)
    }
  }
}

HelperExit hookGlobally(Api& api, const HookProcs& procs, HANDLE program) {
  const UniqueHandle<HookTraits> mouseHook(
      api, SetWindowsHookExA(WH_MOUSE, procs.mouse, procs.library, 0));
  const UniqueHandle<HookTraits> cbtHook(api,
                                         SetWindowsHookExA(WH_CBT, procs.cbt, procs.library, 0));
  if (!mouseHook || !cbtHook) {
    return HelperExit::HookRefused;
  }
  pumpUntilProgramEnds(program, INFINITE, [] {});
  return HelperExit::Ended;
}

HelperExit hookThreadByThread(Api& api, const HookProcs& procs, HANDLE program,
                              DWORD programProcess) {
  PerThreadHooks hooks(api, procs, programProcess);
  hooks.scan();
  pumpUntilProgramEnds(program, kScanIntervalMs, [&hooks] { hooks.scan(); });
  return HelperExit::Ended;
}

}  // namespace

int main(int argc, char** argv) {
  Api api;
  const DWORD id = programId(argc, argv);
  if (id == 0) {
    return exitCode(HelperExit::BadCommandLine);
  }
  const UniqueHandle<KernelObjectTraits> program(api, OpenProcess(SYNCHRONIZE, FALSE, id));
  if (!program) {
    return exitCode(HelperExit::ProgramGone);
  }
  const UniqueHandle<LibraryTraits> library(api, loadHookLibrary());
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
  if (runsOnWine()) {
    return exitCode(hookThreadByThread(api, procs, program.get(), id));
  }
  return exitCode(hookGlobally(api, procs, program.get()));
}
