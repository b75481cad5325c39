// Programs that strennix.exe starts and ends: the 64-bit helper.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/handle.h"
#include "platform/types.h"

namespace strennix {

class ProcessPort;

// A started program: its process handle and the end signal it was given.
struct ChildProcessIds {
  std::uint32_t process = 0;
  std::uint32_t endSignal = 0;
};

struct ChildProcessTraits {
  using Value = ChildProcessIds;
  using Owner = ProcessPort;
  static bool valid(const Value& value) { return value.process != 0; }
  static void release(Owner& owner, const Value& value) noexcept;
};

using ChildProcess = UniqueHandle<ChildProcessTraits>;

class ProcessPort {
 public:
  virtual ~ProcessPort() = default;

  // Whether this 32-bit program runs on 64-bit Windows (IsWow64Process,
  // taken from kernel32 at run time: false where the system lacks it).
  virtual bool runsUnderWow64() = 0;
  virtual ProcessId currentProcessId() = 0;
  // When the process started, in FILETIME ticks (GetProcessTimes, taken at
  // run time); 0 where the system cannot tell (the 9x family, no access).
  virtual std::uint64_t processStartTime(ProcessId process) = 0;
  // This program's session (ProcessIdToSessionId, taken at run time); 0
  // where the system has no sessions.
  virtual std::uint32_t sessionId() = 0;
  // When the system started, in seconds since 1601: now less the time since
  // the start, so it may be off by a second or two between calls.
  virtual std::uint64_t bootTime() = 0;
  // CreateProcessA with the command line "<path>" arguments <end signal>:
  // the program inherits an event that only it and this program hold, by
  // its handle in decimal, and ends when askToEnd sets it. Invalid when the
  // program could not be started.
  virtual ChildProcess startProcess(const std::string& path, const std::string& arguments) = 0;
  // Its exit code; nothing while it runs.
  virtual std::optional<std::uint32_t> exitCode(const ChildProcess& child) = 0;
  // Sets its end signal: unlike a WM_QUIT, which any program can post, no
  // other program can give it.
  virtual bool askToEnd(const ChildProcess& child) = 0;
  // False when it still runs after the time.
  virtual bool waitForExit(const ChildProcess& child, std::uint32_t timeoutMs) = 0;
  virtual void terminate(const ChildProcess& child, std::uint32_t exitCode) = 0;

  virtual void closeChild(const ChildProcessIds& child) noexcept = 0;
};

inline void ChildProcessTraits::release(Owner& owner, const Value& value) noexcept {
  owner.closeChild(value);
}

}  // namespace strennix
