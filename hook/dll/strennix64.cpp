// strennix64.exe: the 64-bit helper. A 32-bit hook library cannot be mapped
// into 64-bit processes, so on 64-bit Windows strennix.exe starts this
// program from its own folder, with its process id as the only argument:
//
//   strennix64.exe <process id of strennix.exe>
//
// It installs the hooks of hook64.dll (beside it) for all threads and pumps
// messages until strennix.exe ends, however it ends, or until a WM_QUIT
// reaches its thread. It has no window and writes no file: the exit code
// (HelperExit) tells strennix.exe why it ended.
#include <windows.h>

#include <cstdlib>
#include <cstring>

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

// hook64.dll is loaded by full path from the helper's folder, not through
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
  if (std::strlen(strennix::hookprotocol::kHook64LibraryName) >= room) {
    return nullptr;
  }
  std::strcpy(name, strennix::hookprotocol::kHook64LibraryName);
  return LoadLibraryA(path);
}

HOOKPROC procedure(HMODULE library, const char* name) {
  return reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// Windows runs these hooks for 32-bit processes on this thread, so it must
// keep taking messages until the end, or those processes would stall.
void pumpUntilProgramEnds(HANDLE program) {
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
      if (message.message == WM_QUIT) {
        return;
      }
      DispatchMessageA(&message);
    }
    const DWORD woken = MsgWaitForMultipleObjects(1, &program, FALSE, INFINITE, QS_ALLINPUT);
    if (woken != WAIT_OBJECT_0 + 1) {
      return;  // the program has ended (or the wait failed: nothing to wait for)
    }
  }
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
  const HOOKPROC mouseProc = procedure(library.get(), strennix::hookprotocol::kMouseProcName);
  const HOOKPROC cbtProc = procedure(library.get(), strennix::hookprotocol::kCbtProcName);
  if (mouseProc == nullptr || cbtProc == nullptr) {
    return exitCode(HelperExit::ExportMissing);
  }
  // Declared after the library: the hooks go before it is released.
  const UniqueHandle<HookTraits> mouseHook(
      api, SetWindowsHookExA(WH_MOUSE, mouseProc, library.get(), 0));
  const UniqueHandle<HookTraits> cbtHook(api, SetWindowsHookExA(WH_CBT, cbtProc, library.get(), 0));
  if (!mouseHook || !cbtHook) {
    return exitCode(HelperExit::HookRefused);
  }
  pumpUntilProgramEnds(program.get());
  return exitCode(HelperExit::Ended);
}
