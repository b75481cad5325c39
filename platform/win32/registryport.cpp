#include "platform/win32/registryport.h"

#include "platform/win32/win32handles.h"

namespace strennix::win32 {

namespace {

HKEY toKey(std::uint32_t key) { return toHandle<HKEY>(key); }

HKEY rootKey(RegRoot root) {
  switch (root) {
    case RegRoot::CurrentUser:
      return HKEY_CURRENT_USER;
    case RegRoot::LocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegRoot::PerformanceData:
      return HKEY_PERFORMANCE_DATA;
  }
  return nullptr;
}

// A whole value is read in at most this many rounds: a value that keeps
// growing between the size query and the read is given up on.
constexpr int kReadAttempts = 4;

}  // namespace

RegistryKey Win32RegistryPort::openKey(RegRoot root, const std::string& path, KeyAccess access,
                                       bool create) {
  // The predefined key answers the performance data; closing it ends the
  // collection.
  if (root == RegRoot::PerformanceData) {
    return {*this, fromHandle(HKEY_PERFORMANCE_DATA)};
  }
  HKEY key = nullptr;
  LONG status = ERROR_SUCCESS;
  if (create) {
    status = RegCreateKeyExA(rootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_ALL_ACCESS, nullptr, &key, nullptr);
  } else {
    const REGSAM rights = access == KeyAccess::Read ? KEY_READ : KEY_ALL_ACCESS;
    status = RegOpenKeyExA(rootKey(root), path.c_str(), 0, rights, &key);
  }
  if (status != ERROR_SUCCESS) {
    return {};
  }
  return {*this, fromHandle(key)};
}

std::optional<RegValue> Win32RegistryPort::readValue(const RegistryKey& key,
                                                     const std::string& name) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(toKey(key.get()), name.c_str(), nullptr, &type, nullptr, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
    RegValue value;
    value.data.resize(size);
    DWORD read = size;
    const LONG status =
        RegQueryValueExA(toKey(key.get()), name.c_str(), nullptr, &type, value.data.data(), &read);
    if (status == ERROR_SUCCESS) {
      value.type = type;
      value.data.resize(read);
      return value;
    }
    if (status != ERROR_MORE_DATA) {
      return std::nullopt;
    }
    size = read > size ? read : size * 2 + 1;
  }
  return std::nullopt;
}

std::int32_t Win32RegistryPort::queryInto(const RegistryKey& key, const std::string& name,
                                          std::vector<std::uint8_t>& buffer,
                                          std::uint32_t& bytesRead) {
  DWORD type = 0;
  auto size = static_cast<DWORD>(buffer.size());
  const LONG status = RegQueryValueExA(toKey(key.get()), name.c_str(), nullptr, &type,
                                       buffer.empty() ? nullptr : buffer.data(), &size);
  bytesRead = status == ERROR_SUCCESS ? size : 0;
  return status;
}

bool Win32RegistryPort::setValue(const RegistryKey& key, const std::string& name,
                                 std::uint32_t type, const std::vector<std::uint8_t>& data) {
  return RegSetValueExA(toKey(key.get()), name.c_str(), 0, type, data.data(),
                        static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool Win32RegistryPort::deleteValue(const RegistryKey& key, const std::string& name) {
  return RegDeleteValueA(toKey(key.get()), name.c_str()) == ERROR_SUCCESS;
}

void Win32RegistryPort::closeKey(std::uint32_t key) noexcept { RegCloseKey(toKey(key)); }

}  // namespace strennix::win32
