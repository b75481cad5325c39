#include "platform/sim/simregistryport.h"

#include <algorithm>

#include "platform/sim/simtext.h"
#include "platform/winconst.h"

namespace strennix::sim {

namespace {}  // namespace

const SimRegistryPort::OpenKey* SimRegistryPort::openKeyOf(const RegistryKey& key) const {
  const auto found = openKeys_.find(key.get());
  return found == openKeys_.end() ? nullptr : &found->second;
}

SimRegKey* SimRegistryPort::keyDataOf(const RegistryKey& key) {
  const OpenKey* open = openKeyOf(key);
  if (open == nullptr || open->root == RegRoot::PerformanceData) {
    return nullptr;
  }
  return world_.findKey(open->root, open->path);
}

SimRegKey* SimRegistryPort::writableKeyOf(const RegistryKey& key) {
  const OpenKey* open = openKeyOf(key);
  if (open == nullptr || open->access != KeyAccess::AllAccess) {
    return nullptr;
  }
  return keyDataOf(key);
}

std::vector<std::uint8_t>& SimRegistryPort::performanceQuery() {
  ++world_.performanceQueries;
  return world_.performanceData;
}

RegistryKey SimRegistryPort::openKey(RegRoot root, const std::string& path, KeyAccess access,
                                     bool create) {
  if (root != RegRoot::PerformanceData) {
    if (world_.isUnopenable(path)) {
      return RegistryKey{};
    }
    if (create) {
      world_.createKey(root, path);
    } else if (world_.findKey(root, path) == nullptr) {
      return RegistryKey{};
    }
  }
  const std::uint32_t handle = world_.newResource();
  openKeys_[handle] = OpenKey{root, keyPath(path), access};
  ++world_.registryKeys.acquired;
  return RegistryKey{*this, handle};
}

std::optional<RegValue> SimRegistryPort::readValue(const RegistryKey& key,
                                                   const std::string& name) {
  const OpenKey* open = openKeyOf(key);
  if (open != nullptr && open->root == RegRoot::PerformanceData) {
    return RegValue{win::kRegBinary, performanceQuery()};
  }
  const SimRegKey* data = keyDataOf(key);
  const RegValue* value = data == nullptr ? nullptr : data->find(name);
  if (value == nullptr) {
    return std::nullopt;
  }
  return *value;
}

std::int32_t SimRegistryPort::queryInto(const RegistryKey& key, const std::string& name,
                                        std::vector<std::uint8_t>& buffer,
                                        std::uint32_t& bytesRead) {
  bytesRead = 0;
  const OpenKey* open = openKeyOf(key);
  if (open == nullptr) {
    return win::kErrorInvalidHandle;
  }
  const std::vector<std::uint8_t>* data = nullptr;
  if (open->root == RegRoot::PerformanceData) {
    data = &performanceQuery();
    // Like the real performance data, a short buffer learns nothing of the
    // size it would need.
    if (buffer.size() < data->size()) {
      return win::kErrorMoreData;
    }
  } else {
    const SimRegKey* keyData = keyDataOf(key);
    const RegValue* value = keyData == nullptr ? nullptr : keyData->find(name);
    if (value == nullptr) {
      return win::kErrorFileNotFound;
    }
    data = &value->data;
    if (buffer.size() < data->size()) {
      bytesRead = static_cast<std::uint32_t>(data->size());
      return win::kErrorMoreData;
    }
  }
  std::copy(data->begin(), data->end(), buffer.begin());
  bytesRead = static_cast<std::uint32_t>(data->size());
  return win::kErrorSuccess;
}

bool SimRegistryPort::setValue(const RegistryKey& key, const std::string& name, std::uint32_t type,
                               const std::vector<std::uint8_t>& data) {
  SimRegKey* keyData = writableKeyOf(key);
  if (keyData == nullptr || world_.isRefusedWrite(name)) {
    return false;
  }
  keyData->put(name, RegValue{type, data});
  return true;
}

bool SimRegistryPort::deleteValue(const RegistryKey& key, const std::string& name) {
  SimRegKey* keyData = writableKeyOf(key);
  return keyData != nullptr && keyData->erase(name);
}

void SimRegistryPort::closeKey(std::uint32_t key) noexcept {
  world_.countRelease(world_.registryKeys, openKeys_.erase(key) != 0);
}

}  // namespace strennix::sim
