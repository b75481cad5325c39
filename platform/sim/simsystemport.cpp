#include "platform/sim/simsystemport.h"

#include <algorithm>

#include "platform/winconst.h"

#include "platform/sim/simtext.h"

namespace strennix::sim {

namespace {

// LoadLibrary looks at the file name only and adds ".dll" when there is no
// extension.
std::string libraryName(const std::string& name) {
  std::string result = lower(name);
  const auto slash = result.find_last_of("\\/");
  if (slash != std::string::npos) {
    result = result.substr(slash + 1);
  }
  if (result.find('.') == std::string::npos) {
    result += ".dll";
  }
  return result;
}

}  // namespace

std::optional<OsVersion> SimSystemPort::version() { return world_.osVersion; }

std::uint16_t SimSystemPort::userDefaultLangId() { return world_.langId; }

std::string SimSystemPort::executablePath() { return world_.exePath; }

std::vector<std::string> SimSystemPort::arguments() { return world_.commandLine; }

bool SimSystemPort::programIs64Bit() { return world_.program64Bit; }

std::optional<std::string> SimSystemPort::libraryKey(const std::string& name) const {
  const std::string wanted = libraryName(name);
  for (const auto& [library, exported] : world_.libraries) {
    if (libraryName(library) == wanted) {
      return library;
    }
  }
  return std::nullopt;
}

Module SimSystemPort::loadLibrary(const std::string& name) {
  world_.libraryLoads.push_back(name);
  const auto library = libraryKey(name);
  if (!library) {
    return Module{};
  }
  const std::string normal = libraryName(*library);
  auto [entry, added] = moduleOfLibrary_.try_emplace(normal);
  if (added) {
    entry->second = world_.newResourceOf<ModuleHandle>();
    libraryOfModule_[entry->second] = *library;
  }
  ++moduleRefs_[entry->second];
  ++world_.modules.acquired;
  return Module{*this, entry->second};
}

bool SimSystemPort::exports(const Module& module, const std::string& name) const {
  const auto refs = moduleRefs_.find(module.get());
  if (refs == moduleRefs_.end() || refs->second <= 0) {
    return false;
  }
  const auto library = world_.libraries.find(libraryOfModule_.at(module.get()));
  return library != world_.libraries.end() && library->second.contains(name);
}

ProcAddress SimSystemPort::procAddress(const Module& module, const std::string& name) {
  if (!exports(module, name)) {
    return ProcAddress{};
  }
  const auto& exported = world_.libraries.at(libraryOfModule_.at(module.get()));
  const auto index = std::distance(exported.begin(), exported.find(name));
  const auto base = static_cast<std::uintptr_t>(module.get());
  return ProcAddress{base + 0x1000 + static_cast<std::uintptr_t>(index) * 0x10};
}

Process SimSystemPort::openProcess(std::uint32_t access, ProcessId processId) {
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

Snapshot SimSystemPort::processSnapshot(const Module& kernel32) {
  if (!exports(kernel32, "CreateToolhelp32Snapshot")) {
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

std::optional<ProcessEntry> SimSystemPort::firstProcess(const Module& kernel32,
                                                        const Snapshot& snapshot) {
  if (!exports(kernel32, "Process32First")) {
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

std::optional<ProcessEntry> SimSystemPort::nextProcess(const Module& kernel32,
                                                       const Snapshot& snapshot) {
  if (!exports(kernel32, "Process32Next")) {
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

std::optional<ModuleHandle> SimSystemPort::firstProcessModule(const Module& psapi,
                                                              const Process& process) {
  if (!exports(psapi, "EnumProcessModules") || !openProcesses_.contains(process.get())) {
    return std::nullopt;
  }
  // The executable's image base.
  return ModuleHandle{0x00400000};
}

std::optional<std::string> SimSystemPort::moduleBaseName(const Module& psapi,
                                                         const Process& process,
                                                         ModuleHandle module,
                                                         std::uint32_t bufferSize) {
  if (!exports(psapi, "GetModuleBaseNameA") || module == ModuleHandle{} || bufferSize == 0) {
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

std::optional<std::string> SimSystemPort::fullProcessImageName(const Module& kernel32,
                                                               const Process& process) {
  if (!exports(kernel32, "QueryFullProcessImageNameA")) {
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

bool SimSystemPort::equalIgnoringCase(std::string_view a, std::string_view b) {
  return sameText(a, b);
}

std::string SimSystemPort::ansiFromUtf16(const std::u16string& text) {
  std::string result;
  result.reserve(text.size());
  for (const char16_t c : text) {
    result.push_back(c > 0xFF ? '?' : static_cast<char>(c));
  }
  return result;
}

void SimSystemPort::freeLibrary(ModuleHandle module) noexcept {
  const auto refs = moduleRefs_.find(module);
  const bool loaded = refs != moduleRefs_.end() && refs->second > 0;
  if (loaded) {
    --refs->second;
  }
  world_.countRelease(world_.modules, loaded);
}

void SimSystemPort::closeProcess(std::uint32_t process) noexcept {
  world_.countRelease(world_.processHandles, openProcesses_.erase(process) != 0);
}

NamedMutex SimSystemPort::createMutex(const std::string& name) {
  const bool existed = std::any_of(openMutexes_.begin(), openMutexes_.end(),
                                   [&name](const auto& open) { return open.second == name; });
  const std::uint32_t handle = world_.newResource();
  openMutexes_[handle] = name;
  ++world_.mutexes.acquired;
  return NamedMutex{Mutex(*this, handle), existed};
}

void SimSystemPort::closeMutex(std::uint32_t mutex) noexcept {
  world_.countRelease(world_.mutexes, openMutexes_.erase(mutex) != 0);
}

void SimSystemPort::closeSnapshot(std::uint32_t snapshot) noexcept {
  world_.countRelease(world_.snapshotHandles, snapshots_.erase(snapshot) != 0);
}

}  // namespace strennix::sim
