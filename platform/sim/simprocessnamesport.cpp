#include "platform/sim/simprocessnamesport.h"

#include "platform/winconst.h"

namespace strennix::sim {

Process SimProcessNamesPort::openProcess(std::uint32_t access, ProcessId processId) {
  const auto found = world_.processes.find(processId);
  if (found == world_.processes.end() || found->second.accessDenied) {
    return Process{};
  }
  if (world_.limitedAccessOnly.contains(processId) &&
      (access & ~win::kProcessQueryLimitedInformation) != 0) {
    return Process{};
  }
  const std::uint32_t handle = world_.newResource();
  openProcesses_[handle] = processId;
  ++world_.processHandles.acquired;
  return Process{*this, handle};
}

Snapshot SimProcessNamesPort::processSnapshot(const Module& kernel32) {
  if (!system_.exports(kernel32, "CreateToolhelp32Snapshot")) {
    return Snapshot{};
  }
  SnapshotState state;
  for (const auto& [id, process] : world_.processes) {
    state.entries.push_back(ProcessEntry{id, process.exeFile});
  }
  const std::uint32_t handle = world_.newResource();
  snapshots_[handle] = std::move(state);
  ++world_.snapshotHandles.acquired;
  return Snapshot{*this, handle};
}

std::optional<ProcessEntry> SimProcessNamesPort::firstProcess(const Module& kernel32,
                                                              const Snapshot& snapshot) {
  if (!system_.exports(kernel32, "Process32First")) {
    return std::nullopt;
  }
  const auto found = snapshots_.find(snapshot.get());
  if (found == snapshots_.end() || found->second.entries.empty()) {
    return std::nullopt;
  }
  found->second.next = 1;
  ++world_.processLookups;
  return found->second.entries.front();
}

std::optional<ProcessEntry> SimProcessNamesPort::nextProcess(const Module& kernel32,
                                                             const Snapshot& snapshot) {
  if (!system_.exports(kernel32, "Process32Next")) {
    return std::nullopt;
  }
  const auto found = snapshots_.find(snapshot.get());
  if (found == snapshots_.end()) {
    return std::nullopt;
  }
  SnapshotState& state = found->second;
  if (state.next == 0 || state.next >= state.entries.size()) {
    return std::nullopt;
  }
  return state.entries[state.next++];
}

std::optional<ModuleHandle> SimProcessNamesPort::firstProcessModule(const Module& psapi,
                                                                    const Process& process) {
  if (!system_.exports(psapi, "EnumProcessModules") || !openProcesses_.contains(process.get())) {
    return std::nullopt;
  }
  // The executable's image base.
  return ModuleHandle{0x00400000};
}

std::optional<std::string> SimProcessNamesPort::moduleBaseName(const Module& psapi,
                                                               const Process& process,
                                                               ModuleHandle module,
                                                               std::uint32_t bufferSize) {
  if (!system_.exports(psapi, "GetModuleBaseNameA") || module == ModuleHandle{} ||
      bufferSize == 0) {
    return std::nullopt;
  }
  const auto open = openProcesses_.find(process.get());
  if (open == openProcesses_.end()) {
    return std::nullopt;
  }
  const auto found = world_.processes.find(open->second);
  if (found == world_.processes.end() || found->second.baseName.empty()) {
    return std::nullopt;
  }
  ++world_.processLookups;
  return found->second.baseName.substr(0, bufferSize - 1);
}

std::optional<std::string> SimProcessNamesPort::fullProcessImageName(const Module& kernel32,
                                                                     const Process& process) {
  if (!system_.exports(kernel32, "QueryFullProcessImageNameA")) {
    return std::nullopt;
  }
  const auto open = openProcesses_.find(process.get());
  if (open == openProcesses_.end()) {
    return std::nullopt;
  }
  const auto path = world_.imagePaths.find(open->second);
  if (path == world_.imagePaths.end()) {
    return std::nullopt;
  }
  ++world_.processLookups;
  return path->second;
}

void SimProcessNamesPort::closeProcess(std::uint32_t process) noexcept {
  world_.countRelease(world_.processHandles, openProcesses_.erase(process) != 0);
}

void SimProcessNamesPort::closeSnapshot(std::uint32_t snapshot) noexcept {
  world_.countRelease(world_.snapshotHandles, snapshots_.erase(snapshot) != 0);
}

}  // namespace strennix::sim
