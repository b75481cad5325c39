// ProcessPort on KERNEL32: the programs strennix.exe starts itself (the
// helper of the other bitness).
#pragma once

#include "platform/processes.h"

namespace strennix::win32 {

class Win32ProcessPort final : public ProcessPort {
 public:
  bool runsUnderWow64() override;
  ProcessId currentProcessId() override;
  ChildProcess startProcess(const std::string& path, const std::string& arguments) override;
  void waitUntilIdle(const ChildProcess& child, std::uint32_t timeoutMs) override;
  std::optional<std::uint32_t> exitCode(const ChildProcess& child) override;
  bool postQuit(const ChildProcess& child) override;
  bool waitForExit(const ChildProcess& child, std::uint32_t timeoutMs) override;
  void terminate(const ChildProcess& child, std::uint32_t exitCode) override;
  void closeChild(const ChildProcessIds& child) noexcept override;
};

}  // namespace strennix::win32
