// Names that strennix.exe, the hook libraries and the 64-bit helper share:
// the files beside strennix.exe, the libraries' exports, and how the helper
// ends. No includes: the helper and the hook libraries are Win32 programs
// of their own.
#pragma once

namespace strennix {

inline constexpr const char* kHookLibraryName = "hook.dll";
inline constexpr const char* kHook64LibraryName = "hook64.dll";
inline constexpr const char* kHelper64Name = "strennix64.exe";

inline constexpr const char* kMouseProcName = "MouseProc";
inline constexpr const char* kCbtProcName = "CBTProc";

// The exit code of strennix64.exe, which tells strennix.exe why it ended.
enum class HelperExit : unsigned {
  Ended = 0,           // strennix.exe ended, or asked it to end
  BadCommandLine = 1,  // no process id of strennix.exe on the command line
  ProgramGone = 2,     // that process could not be opened
  LibraryMissing = 3,  // hook64.dll is not beside the helper
  ExportMissing = 4,   // hook64.dll lacks MouseProc or CBTProc
  HookRefused = 5,     // the system refused a hook
};

}  // namespace strennix
