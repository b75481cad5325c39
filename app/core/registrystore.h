// The registry store of the settings: key paths, value names, the version
// the settings are written for, and a key that is opened for one operation
// and closed again when it goes out of scope.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/hookprotocol.h"
#include "platform/registry.h"
#include "resources/version.h"

namespace strennix {

inline constexpr const char* kSettingsKeyPath = hookprotocol::kSettingsKey;
inline constexpr const char* kRunKeyPath = R"(Software\Microsoft\Windows\CurrentVersion\Run)";
inline constexpr const char* kRunValueName = "Strennix";
inline constexpr std::string_view kSettingsVersion = kVersion;

// Value names of the settings key.
inline constexpr const char* kValueVersion = "Version";
inline constexpr const char* kValueButtons = "Buttons";
inline constexpr const char* kValueClasses = "Classes";
inline constexpr const char* kValueNames = "Names";
inline constexpr const char* kValueExcludeStyles = "ExcludeStyles";
inline constexpr const char* kValueExcludeExStyles = "ExcludeExStyles";
inline constexpr const char* kValueMenu = "Menu";
inline constexpr const char* kValuePriority = "Priority";
inline constexpr const char* kValueButtonXOffset = "ButtonXOffset";
inline constexpr const char* kValueButtonYOffset = "ButtonYOffset";
inline constexpr const char* kValueButtonXStretch = "ButtonXStretch";
inline constexpr const char* kValueButtonYStretch = "ButtonYStretch";
inline constexpr const char* kValueHMaxPercentage = "HMaxPercentage";
inline constexpr const char* kValueVMaxPercentage = "VMaxPercentage";
inline constexpr const char* kValueDrawOn = "DrawOn";
inline constexpr const char* kValueButtonLook = "ButtonLook";
inline constexpr const char* kValueInstallPath = "installPath";
inline constexpr const char* kValueLang = "lang";
inline constexpr const char* kValueMouseHook = hookprotocol::kMouseHookValue;
inline constexpr const char* kValueCbtHook = hookprotocol::kCbtHookValue;

// A key under HKEY_CURRENT_USER, open for the life of the object. A key that
// could not be opened reads as empty and refuses every write.
class SettingsKey {
 public:
  // The settings key with full access, created when missing.
  explicit SettingsKey(RegistryPort& registry);
  // Any key by its full path from HKEY_CURRENT_USER.
  SettingsKey(RegistryPort& registry, const std::string& path, bool create,
              KeyAccess access = KeyAccess::AllAccess);

  [[nodiscard]] bool isOpen() const { return key_.valid(); }
  [[nodiscard]] bool exists(const std::string& name) const;

  // The text of a string value, empty when missing. A value of another type
  // throws StrennixError("Invalid data type for '<name>'").
  [[nodiscard]] std::string readString(const std::string& name) const;
  // A REG_SZ with its terminating NUL; a refusal throws
  // StrennixError("Failed to set data for '<name>'").
  void writeString(const std::string& name, std::string_view text);

  // A DWORD value, nothing when missing; another type throws as readString.
  [[nodiscard]] std::optional<std::uint32_t> readDword(const std::string& name) const;
  void writeDword(const std::string& name, std::uint32_t value);

  // Removes a value; false when it could not be removed (or was missing).
  bool deleteValue(const std::string& name);

 private:
  void write(const std::string& name, std::uint32_t type, const std::vector<std::uint8_t>& data);

  RegistryPort& registry_;
  RegistryKey key_;
};

}  // namespace strennix
