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

}  // namespace strennix::hookprotocol
