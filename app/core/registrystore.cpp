#include "app/core/registrystore.h"

#include <algorithm>

#include "platform/forms.h"
#include "platform/winconst.h"

namespace strennix {

namespace {

// REG_EXPAND_SZ: still text; the form library read it as a string too.

[[noreturn]] void throwDataType(const std::string& name) {
  throw StrennixError("Invalid data type for '" + name + "'");
}

}  // namespace

SettingsKey::SettingsKey(RegistryPort& registry)
    : SettingsKey(registry, kSettingsKeyPath, true, KeyAccess::AllAccess) {}

SettingsKey::SettingsKey(RegistryPort& registry, const std::string& path, bool create,
                         KeyAccess access)
    : registry_(registry), key_(registry.openKey(RegRoot::CurrentUser, path, access, create)) {}

bool SettingsKey::exists(const std::string& name) const {
  return isOpen() && registry_.readValue(key_, name).has_value();
}

std::string SettingsKey::readString(const std::string& name) const {
  if (!isOpen()) {
    return {};
  }
  const std::optional<RegValue> value = registry_.readValue(key_, name);
  if (!value) {
    return {};
  }
  if (value->type != win::kRegSz && value->type != win::kRegExpandSz) {
    throwDataType(name);
  }
  // The stored terminator is optional; the text ends at the first NUL.
  const auto end = std::find(value->data.begin(), value->data.end(), std::uint8_t{0});
  return {value->data.begin(), end};
}

void SettingsKey::writeString(const std::string& name, std::string_view text) {
  std::vector<std::uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  write(name, win::kRegSz, data);
}

std::optional<std::uint32_t> SettingsKey::readDword(const std::string& name) const {
  if (!isOpen()) {
    return std::nullopt;
  }
  const std::optional<RegValue> value = registry_.readValue(key_, name);
  if (!value) {
    return std::nullopt;
  }
  if (value->type != win::kRegDword || value->data.size() != 4) {
    throwDataType(name);
  }
  const std::vector<std::uint8_t>& d = value->data;
  return static_cast<std::uint32_t>(d[0]) | (static_cast<std::uint32_t>(d[1]) << 8) |
         (static_cast<std::uint32_t>(d[2]) << 16) | (static_cast<std::uint32_t>(d[3]) << 24);
}

void SettingsKey::writeDword(const std::string& name, std::uint32_t value) {
  write(name, win::kRegDword,
        {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
         static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

bool SettingsKey::deleteValue(const std::string& name) {
  return isOpen() && registry_.deleteValue(key_, name);
}

void SettingsKey::write(const std::string& name, std::uint32_t type,
                        const std::vector<std::uint8_t>& data) {
  if (!isOpen() || !registry_.setValue(key_, name, type, data)) {
    throw StrennixError("Failed to set data for '" + name + "'");
  }
}

}  // namespace strennix
