// RegistryPort on ADVAPI32: the current user's and the local machine's
// keys, and the performance data.
#pragma once

#include "platform/registry.h"

namespace strennix::win32 {

class Win32RegistryPort final : public RegistryPort {
 public:
  RegistryKey openKey(RegRoot root, const std::string& path, KeyAccess access,
                      bool create) override;
  std::optional<RegValue> readValue(const RegistryKey& key, const std::string& name) override;
  std::int32_t queryInto(const RegistryKey& key, const std::string& name,
                         std::vector<std::uint8_t>& buffer, std::uint32_t& bytesRead) override;
  bool setValue(const RegistryKey& key, const std::string& name, std::uint32_t type,
                const std::vector<std::uint8_t>& data) override;
  bool deleteValue(const RegistryKey& key, const std::string& name) override;
  void closeKey(std::uint32_t key) noexcept override;
};

}  // namespace strennix::win32
