// What the program and its hook libraries agree on. The hook libraries are
// built without the C++ runtime, so this header includes nothing.
#pragma once

namespace strennix::hookprotocol {

// Posted by the hook libraries to the main window.
inline constexpr unsigned kWmApp = 0x8000;
inline constexpr unsigned kStrnxDestroy = kWmApp + 0x65;
inline constexpr unsigned kStrnxNcLButtonUp = kWmApp + 0x66;

// How the hook libraries find the main window.
inline constexpr const char* kMainClass = "TStrennix";
inline constexpr const char* kMainCaption = "Strennix";

// Where the program publishes its hook handles for the 9x family.
inline constexpr const char* kSettingsKey = "Software\\Corvane inc.\\Strennix";
inline constexpr const char* kMouseHookValue = "mH";
inline constexpr const char* kCbtHookValue = "cbtH";

// The files beside strennix.exe and the libraries' exports. On 64-bit
// Windows strennix.exe starts the helper, which installs hook64.dll's hooks.
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

}  // namespace strennix::hookprotocol
