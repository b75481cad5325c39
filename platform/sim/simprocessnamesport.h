// The simulated ProcessNamesPort: the shared world's processes, with process
// handles and snapshots counted there, and entry points found in the
// libraries loaded through the simulated SystemPort.
#pragma once

#include <map>
#include <vector>

#include "platform/processnames.h"
#include "platform/sim/simsystemport.h"
#include "platform/sim/simworld.h"

namespace strennix::sim {

class SimProcessNamesPort : public ProcessNamesPort {
 public:
  SimProcessNamesPort(SimWorld& world, const SimSystemPort& system)
      : world_(world), system_(system) {}

  Process openProcess(std::uint32_t access, ProcessId processId) override;
  Snapshot processSnapshot(const Module& kernel32) override;
  std::optional<ProcessEntry> firstProcess(const Module& kernel32,
                                           const Snapshot& snapshot) override;
  std::optional<ProcessEntry> nextProcess(const Module& kernel32,
                                          const Snapshot& snapshot) override;
  std::optional<ModuleHandle> firstProcessModule(const Module& psapi,
                                                 const Process& process) override;
  std::optional<std::string> moduleBaseName(const Module& psapi, const Process& process,
                                            ModuleHandle module, std::uint32_t bufferSize) override;
  std::optional<std::string> fullProcessImageName(const Module& kernel32,
                                                  const Process& process) override;
  void closeProcess(std::uint32_t process) noexcept override;
  void closeSnapshot(std::uint32_t snapshot) noexcept override;

 private:
  struct SnapshotState {
    std::vector<ProcessEntry> entries;
    std::size_t next = 0;
  };

  SimWorld& world_;
  const SimSystemPort& system_;
  std::map<std::uint32_t, ProcessId> openProcesses_;
  std::map<std::uint32_t, SnapshotState> snapshots_;
};

}  // namespace strennix::sim
