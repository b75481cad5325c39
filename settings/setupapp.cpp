#include "settings/setupapp.h"

#include <array>
#include <string>

#include "app/core/registrystore.h"
#include "platform/datafiles.h"
#include "platform/forms.h"
#include "platform/winconst.h"

namespace strennix {

namespace {

constexpr const char* kPsapiWarning =
    "Strennix could not locate the file psapi.dll on your system.\n"
    "Strennix will work anyway, but since Strennix and other\n"
    "applications can use the file to perform better, it is recommended that\n"
    "you copy the file from your Windows installation-disc to your system.\n"
    "\n"
    "This message will not appear again.";

struct Default {
  const char* name;
  std::string_view value;
};

// In the order they are written; "installPath" follows them.
constexpr std::array<Default, 15> kDefaults = {{
    {kValueVersion, kSettingsVersion},
    {kValueButtons, "<hmax><vmax><top><shade><toicon><tomenu>"},
    {kValueClasses, "0"},
    {kValueNames, "0"},
    {kValueExcludeStyles, "<WS_POPUP><WS_CHILD>"},
    {kValueExcludeExStyles, "<WS_EX_DLGMODALFRAME><WS_EX_TOOLWINDOW><WS_EX_TRANSPARENT>"},
    {kValueMenu, "<stay><alpha>"},
    {kValuePriority, "4"},
    {kValueButtonXOffset, "58"},
    {kValueButtonYOffset, "6"},
    {kValueButtonXStretch, "16"},
    {kValueButtonYStretch, "14"},
    {kValueHMaxPercentage, "100"},
    {kValueVMaxPercentage, "100"},
    {kValueDrawOn, "<one>"},
}};

void writeDefaults(SettingsKey& key, SystemPort& system) {
  for (const Default& value : kDefaults) {
    key.writeString(value.name, value.value);
  }
  key.writeString(kValueInstallPath, folderOf(system.executablePath()));
}

}  // namespace

void zeroVars(Settings& settings, WindowLists& lists, const ModuleLog& log) {
  log.trace("Called zeroVars");
  settings = Settings{};
  lists.clear();
  log.trace("Exited zeroVars");
}

void checkPsapi(SystemPort& system, MessageBoxPort& boxes) {
  const std::optional<OsVersion> version = system.version();
  if (!version || version->platformId != win::kPlatformWin32Nt) {
    return;
  }
  // Only the test: whoever needs the library loads it again.
  if (const Module psapi = system.loadLibrary("psapi.dll"); psapi.valid()) {
    return;
  }
  boxes.messageBox(Hwnd{}, kPsapiWarning, kApplicationTitle, win::kMbOk | win::kMbIconWarning);
}

bool versionIsOlder(std::string_view version) {
  // char_traits<char> compares as unsigned char, so high ANSI bytes sort last.
  return version < kSettingsVersion;
}

bool checkFirstStart(RegistryPort& registry, SystemPort& system, MessageBoxPort& boxes,
                     const ModuleLog& log) {
  SettingsKey key(registry);
  std::string version = "0.0.0.0";
  if (key.exists(kValueVersion)) {
    version = key.readString(kValueVersion);
  } else {
    checkPsapi(system, boxes);
  }
  if (!versionIsOlder(version)) {
    log.trace("  Hiding form.");
    return false;
  }
  log.trace("  First time starting, showing form and setting defaults.");
  writeDefaults(key, system);
  return true;
}

}  // namespace strennix
