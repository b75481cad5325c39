#include "platform/sim/simprocessport.h"

namespace strennix::sim {

bool SimProcessPort::runsUnderWow64() { return world_.wow64; }

ProcessId SimProcessPort::currentProcessId() { return world_.currentProcess; }

std::uint64_t SimProcessPort::processStartTime(ProcessId process) {
  const auto found = world_.processStarts.find(process);
  return found == world_.processStarts.end() ? 0 : found->second;
}

std::uint32_t SimProcessPort::sessionId() { return world_.session; }

std::uint64_t SimProcessPort::bootTime() { return world_.systemStart; }

ChildProcess SimProcessPort::startProcess(const std::string& path, const std::string& arguments) {
  const auto program = world_.programs.find(path);
  if (program == world_.programs.end()) {
    return ChildProcess{};
  }
  world_.started.push_back(StartedProgram{path, arguments, program->second.exitCodeAtStart});
  const std::uint32_t handle = world_.newResource();
  openChildren_[handle] = world_.started.size() - 1;
  ++world_.childHandles.acquired;
  return ChildProcess{*this, ChildProcessIds{handle, world_.newResource()}};
}

std::optional<std::uint32_t> SimProcessPort::exitCode(const ChildProcess& child) {
  const StartedProgram* program = programOf(child);
  return program != nullptr ? program->exitCode : std::nullopt;
}

bool SimProcessPort::askToEnd(const ChildProcess& child) {
  StartedProgram* program = programOf(child);
  if (program == nullptr || program->exitCode) {
    return false;
  }
  program->askedToEnd = true;
  if (!world_.programs.at(program->path).ignoresEndSignal) {
    program->exitCode = 0;
  }
  return true;
}

bool SimProcessPort::waitForExit(const ChildProcess& child, std::uint32_t /*timeoutMs*/) {
  const StartedProgram* program = programOf(child);
  return program != nullptr && program->exitCode.has_value();
}

void SimProcessPort::terminate(const ChildProcess& child, std::uint32_t exitCode) {
  StartedProgram* program = programOf(child);
  if (program != nullptr && !program->exitCode) {
    program->exitCode = exitCode;
    program->terminated = true;
  }
}

void SimProcessPort::closeChild(const ChildProcessIds& child) noexcept {
  world_.countRelease(world_.childHandles, openChildren_.erase(child.process) != 0);
}

StartedProgram* SimProcessPort::programOf(const ChildProcess& child) {
  const auto found = openChildren_.find(child.get().process);
  return found != openChildren_.end() ? &world_.started[found->second] : nullptr;
}

}  // namespace strennix::sim
