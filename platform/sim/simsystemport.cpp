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

bool SimSystemPort::equalIgnoringCase(std::string_view a, std::string_view b) {
  return sameText(a, b);
}

std::string SimSystemPort::ansiFromUtf16(const std::u16string& text) { return latin1(text); }

void SimSystemPort::freeLibrary(ModuleHandle module) noexcept {
  const auto refs = moduleRefs_.find(module);
  const bool loaded = refs != moduleRefs_.end() && refs->second > 0;
  if (loaded) {
    --refs->second;
  }
  world_.countRelease(world_.modules, loaded);
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

}  // namespace strennix::sim
