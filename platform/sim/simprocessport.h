// The simulated ProcessPort: programs this one starts, taken from the
// world's list of programs the system can start, with their handles counted.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/processes.h"
#include "platform/sim/simworld.h"

namespace strennix::sim {

class SimProcessPort : public ProcessPort {
 public:
  explicit SimProcessPort(SimWorld& world) : world_(world) {}

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
  StartedProgram* programOf(const ChildProcess& child);

  SimWorld& world_;
  // Open process handle -> position in the world's started programs.
  std::map<std::uint32_t, std::size_t> openChildren_;
};

}  // namespace strennix::sim
