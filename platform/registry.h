// The registry: the settings key of the current user, the Run key, and the
// performance data of the local machine.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/handle.h"

namespace strennix {

class RegistryPort;

enum class RegRoot { CurrentUser, LocalMachine, PerformanceData };

struct RegistryKeyTraits {
  using Value = std::uint32_t;
  using Owner = RegistryPort;
  static bool valid(const Value& value) { return value != 0; }
  static void release(Owner& owner, const Value& value) noexcept;
};

using RegistryKey = UniqueHandle<RegistryKeyTraits>;

struct RegValue {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};

enum class KeyAccess { Read, AllAccess };

class RegistryPort {
 public:
  virtual ~RegistryPort() = default;

  // RegOpenKeyExA, or RegCreateKeyExA when `create` is set. For
  // RegRoot::PerformanceData the path is ignored and the predefined key is
  // answered (closing it closes the performance data). Invalid on failure.
  virtual RegistryKey openKey(RegRoot root, const std::string& path, KeyAccess access,
                              bool create) = 0;
  // The whole value; nothing when it does not exist or cannot be read.
  virtual std::optional<RegValue> readValue(const RegistryKey& key, const std::string& name) = 0;
  // RegQueryValueExA into a buffer of buffer.size() bytes: answers the error
  // code (ERROR_MORE_DATA when the buffer is too small) and the bytes written.
  virtual std::int32_t queryInto(const RegistryKey& key, const std::string& name,
                                 std::vector<std::uint8_t>& buffer, std::uint32_t& bytesRead) = 0;
  virtual bool setValue(const RegistryKey& key, const std::string& name, std::uint32_t type,
                        const std::vector<std::uint8_t>& data) = 0;
  virtual bool deleteValue(const RegistryKey& key, const std::string& name) = 0;

  virtual void closeKey(std::uint32_t key) noexcept = 0;
};

inline void RegistryKeyTraits::release(Owner& owner, const Value& value) noexcept {
  owner.closeKey(value);
}

}  // namespace strennix
