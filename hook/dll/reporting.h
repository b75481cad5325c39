// Which hook library reports an event. On 64-bit Windows the system runs a
// global hook for a process of the other bitness on the thread that
// installed it: the program's hooks run inside strennix.exe for the windows
// of the other bitness, the helper's inside the helper (strennix64.exe or
// strennix32.exe) for the windows of the program's bitness. There the event
// is left to the other library, which is mapped into the window's
// own process and reports it from there; so every event is reported once.
// No Windows types and no includes: the unit tests call it on the host.
#pragma once

namespace strennix {

// windowProcess: the process of the window the event is about; hookProcess:
// the process the hook runs in; programProcess: strennix.exe's. Events of
// the program's own windows are left out: they are never extended.
constexpr bool reportsEvent(unsigned windowProcess, unsigned hookProcess, unsigned programProcess) {
  return windowProcess == hookProcess && hookProcess != programProcess;
}

}  // namespace strennix
