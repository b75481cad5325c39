#include "settings/dumps.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "platform/hookprotocol.h"
#include "resources/version.h"

namespace strennix {

namespace {

std::string formatted(const char* format, long long value) {
  std::array<char, 64> buffer{};
  std::snprintf(buffer.data(), buffer.size(), format, value);
  return buffer.data();
}

std::string settingLines(const Settings& settings) {
  const auto line = [](const char* name, long long value) {
    return std::string("Strennix->") + name + formatted("=%lld\n", value);
  };
  const auto mask = [](std::uint32_t value) {
    return static_cast<long long>(static_cast<std::int32_t>(value));
  };
  const auto flag = [](bool value) { return value ? 1LL : 0LL; };
  std::string text;
  text += line("usingVMax", flag(settings.usingVMax));
  text += line("usingHMax", flag(settings.usingHMax));
  text += line("usingShade", flag(settings.usingShade));
  text += line("usingMinIcon", flag(settings.usingMinIcon));
  text += line("usingMinMenu", flag(settings.usingMinMenu));
  text += line("usingTop", flag(settings.usingTop));
  text += line("numberOfButtons", settings.numberOfButtons);
  text += line("priority", settings.priority);
  text += line("buttonXOffset", settings.buttonXOffset);
  text += line("buttonYOffset", settings.buttonYOffset);
  text += line("buttonXStretch", settings.buttonXStretch);
  text += line("buttonYStretch", settings.buttonYStretch);
  text += line("drawOnAll", flag(settings.drawOnAll));
  text += line("excludeStyles", mask(settings.excludeStyles));
  text += line("excludeExStyles", mask(settings.excludeExStyles));
  text += line("excludingClasses", flag(settings.excludingClasses));
  text += line("excludingNames", flag(settings.excludingNames));
  text += line("menuStay", flag(settings.menuStay));
  text += line("menuSort", flag(settings.menuSort));
  return text;
}

}  // namespace

void dumpSystemInfo(const Logger& log, SystemPort& system, FilePort& files) {
  if (!log.debugMode) {
    return;
  }
  const OsVersion version = system.version().value_or(OsVersion{});
  std::string text;
  text += formatted("OSVERSIONINFO.dwMajorVersion: %lld\n",
                    static_cast<std::int32_t>(version.majorVersion));
  text += formatted("OSVERSIONINFO.dwMinorVersion: %lld\n",
                    static_cast<std::int32_t>(version.minorVersion));
  text += formatted("OSVERSIONINFO.dwBuildNumber: %lld\n",
                    static_cast<std::int32_t>(version.buildNumber));
  text += formatted("OSVERSIONINFO.dwdwPlatformId: %lld\n",
                    static_cast<std::int32_t>(version.platformId));
  text += std::string("Strnx version: ") + kVersion + "\n";
  text += "Path: " + system.executablePath() + "\n";
  const char* library = hookprotocol::ownFiles(system.programIs64Bit()).library;
  text += std::string("Finding ") + library + formatted(": %lld\n", files.exists(library) ? 1 : 0);
  log.writeBlock(kAppLog, text);
}

void dumpVariables(const Logger& log, const char* file, const Settings& settings,
                   const WindowLists& lists) {
  if (!log.debugMode) {
    return;
  }
  const auto count = [](const char* name, std::int32_t value) {
    return std::string("Strennix->") + name + formatted("=%lld\n", value);
  };
  std::string text = "Variables at " + log.now() + "\n**********\n";
  text += settingLines(settings);
  text += count("numberOfMinimizedWindows", lists.menu().count());
  text += count("numberOfTrayedWindows", lists.trayed().count());
  text += count("numberOfShadedWindows", lists.shaded().count());
  text += "**********\n";
  log.writeBlock(file, text);
}

}  // namespace strennix
