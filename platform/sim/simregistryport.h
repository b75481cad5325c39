// The simulated RegistryPort: keys of the shared world's registry opened
// for reading or writing, and HKEY_PERFORMANCE_DATA answered from the
// world's performance data.
#pragma once

#include <map>

#include "platform/registry.h"
#include "platform/sim/simworld.h"

namespace strennix::sim {

class SimRegistryPort : public RegistryPort {
 public:
  explicit SimRegistryPort(SimWorld& world) : world_(world) {}

  RegistryKey openKey(RegRoot root, const std::string& path, KeyAccess access,
                      bool create) override;
  std::optional<RegValue> readValue(const RegistryKey& key, const std::string& name) override;
  std::int32_t queryInto(const RegistryKey& key, const std::string& name,
                         std::vector<std::uint8_t>& buffer, std::uint32_t& bytesRead) override;
  bool setValue(const RegistryKey& key, const std::string& name, std::uint32_t type,
                const std::vector<std::uint8_t>& data) override;
  bool deleteValue(const RegistryKey& key, const std::string& name) override;
  void closeKey(std::uint32_t key) noexcept override;

 private:
  struct OpenKey {
    RegRoot root = RegRoot::CurrentUser;
    std::string path;
    KeyAccess access = KeyAccess::Read;
  };

  const OpenKey* openKeyOf(const RegistryKey& key) const;
  // The key behind a handle; nullptr for performance data or a bad handle.
  SimRegKey* keyDataOf(const RegistryKey& key);
  // The key behind a handle opened for writing.
  SimRegKey* writableKeyOf(const RegistryKey& key);
  // The answer to a query of performance data.
  std::vector<std::uint8_t>& performanceQuery();

  SimWorld& world_;
  std::map<std::uint32_t, OpenKey> openKeys_;
};

}  // namespace strennix::sim
