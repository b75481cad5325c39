// ProcessPort on KERNEL32: when a process, the session and the system
// started, and the programs strennix.exe starts itself (the helper of the
// other bitness).
#pragma once

#include "platform/processes.h"
#include "platform/processnames.h"

namespace strennix::win32 {

class Win32ProcessPort final : public ProcessPort {
 public:
  // Opens the processes whose start it reads through `names`.
  explicit Win32ProcessPort(ProcessNamesPort& names) : names_(names) {}

  bool runsUnderWow64() override;
  ProcessId currentProcessId() override;
  std::uint64_t processStartTime(ProcessId process) override;
  std::uint32_t sessionId() override;
  std::uint64_t bootTime() override;
  ChildProcess startProcess(const std::string& path, const std::string& arguments) override;
  std::optional<std::uint32_t> exitCode(const ChildProcess& child) override;
  bool askToEnd(const ChildProcess& child) override;
  bool waitForExit(const ChildProcess& child, std::uint32_t timeoutMs) override;
  void terminate(const ChildProcess& child, std::uint32_t exitCode) override;
  void closeChild(const ChildProcessIds& child) noexcept override;

 private:
  ProcessNamesPort& names_;
};

}  // namespace strennix::win32
