// The executable file name of the process that owns a window. On the NT
// family it comes first from QueryFullProcessImageNameA where the system
// offers it (Vista and later), which works across bitness and for most
// elevated processes; otherwise, and on older systems, one of three ways by
// platform: a Toolhelp32 snapshot (Windows 95/98/ME), PSAPI (NT family), or
// the registry's performance data (NT without psapi.dll). Every failure
// answers "unknown"; the answer is never empty.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/core/log.h"
#include "platform/processnames.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/types.h"
#include "platform/windows.h"

namespace strennix {

inline constexpr const char* kUnknownProcess = "unknown";
inline constexpr const char* kPerflibKey =
    R"(SOFTWARE\Microsoft\Windows NT\CurrentVersion\Perflib\009)";

class NameFromWindow {
 public:
  NameFromWindow(SystemPort& system, ProcessNamesPort& processes, WindowPort& windows,
                 RegistryPort& registry, const Logger& log);

  // Branches on the platform id, asked afresh on every call.
  std::string nameFromWindow(Hwnd window);
  // The last component of the process's image path; nothing when the
  // system lacks QueryFullProcessImageNameA or the process refuses it.
  std::optional<std::string> nameFromImagePath(Hwnd window);
  std::string nameFromToolhelp(Hwnd window);
  std::string nameFromPsapi(Hwnd window);
  // The Process object's instance name of the process.
  std::string nameFromPerflib(ProcessId processId);
  // The index text of an English counter or object name in the Perflib
  // "Counter" list; nothing when the list or the name is not there.
  std::optional<std::string> perflibCounterIndex(std::string_view name);

 private:
  SystemPort& system_;
  ProcessNamesPort& processes_;
  WindowPort& windows_;
  RegistryPort& registry_;
  ModuleLog log_;
};

}  // namespace strennix
