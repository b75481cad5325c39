#include "eligibility/namefromwindow.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "eligibility/perfdata.h"
#include "platform/winconst.h"

namespace strennix {

namespace {

constexpr std::uint32_t kNameBufferSize = 260;
constexpr std::size_t kFirstPerfBufferSize = 12000;
constexpr std::size_t kPerfBufferGrowth = 1000;
// A performance-data answer that keeps asking for more beyond this is not
// going to end; give up rather than grow without bound.
constexpr std::size_t kPerfBufferLimit = std::size_t{16} * 1024 * 1024;

std::string withoutDirectory(const std::string& path) {
  const auto slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::optional<std::uint32_t> decimal(std::string_view text) {
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

NameFromWindow::NameFromWindow(SystemPort& system, ProcessNamesPort& processes, WindowPort& windows,
                               RegistryPort& registry, const Logger& log)
    : system_(system),
      processes_(processes),
      windows_(windows),
      registry_(registry),
      log_(log, kNameFromWindowLog) {}

std::string NameFromWindow::nameFromWindow(Hwnd window) {
  log_.trace("Called nameFromWindow");
  const auto version = system_.version();
  if (!version) {
    return kUnknownProcess;
  }
  switch (version->platformId) {
    case win::kPlatformWin32Windows:
      return nameFromToolhelp(window);
    case win::kPlatformWin32Nt: {
      auto name = nameFromImagePath(window);
      return name ? *std::move(name) : nameFromPsapi(window);
    }
    default:
      return kUnknownProcess;
  }
}

std::optional<std::string> NameFromWindow::nameFromImagePath(Hwnd window) {
  // Before Vista the call does not exist: the older ways alone, as ever.
  const Module kernel32 = system_.loadLibrary("kernel32.dll");
  if (system_.procAddress(kernel32, "QueryFullProcessImageNameA") == ProcAddress{}) {
    return std::nullopt;
  }
  log_.trace("Called nameFromImagePath");
  const Process process = processes_.openProcess(win::kProcessQueryLimitedInformation,
                                                 windows_.windowProcessId(window));
  const auto path = process ? processes_.fullProcessImageName(kernel32, process) : std::nullopt;
  const std::string name = path ? withoutDirectory(*path) : std::string();
  if (name.empty()) {
    log_.trace("  No image path, asking psapi");
    return std::nullopt;
  }
  log_.trace("Exited nameFromImagePath");
  return name;
}

std::string NameFromWindow::nameFromToolhelp(Hwnd window) {
  const Module kernel32 = system_.loadLibrary("kernel32.dll");
  if (!kernel32) {
    return kUnknownProcess;
  }
  const Snapshot snapshot = processes_.processSnapshot(kernel32);
  if (!snapshot) {
    return kUnknownProcess;
  }
  const ProcessId processId = windows_.windowProcessId(window);
  for (auto entry = processes_.firstProcess(kernel32, snapshot); entry;
       entry = processes_.nextProcess(kernel32, snapshot)) {
    if (entry->processId == processId) {
      return withoutDirectory(entry->exeFile);
    }
  }
  return kUnknownProcess;
}

std::string NameFromWindow::nameFromPsapi(Hwnd window) {
  const Module psapi = system_.loadLibrary("psapi.dll");
  if (!psapi) {
    return nameFromPerflib(windows_.windowProcessId(window));
  }
  if (system_.procAddress(psapi, "EnumProcessModules") == ProcAddress{} ||
      system_.procAddress(psapi, "GetModuleBaseNameA") == ProcAddress{}) {
    return kUnknownProcess;
  }
  const ProcessId processId = windows_.windowProcessId(window);
  const Process process =
      processes_.openProcess(win::kProcessQueryInformation | win::kProcessVmRead, processId);
  if (!process) {
    return kUnknownProcess;
  }
  const auto module = processes_.firstProcessModule(psapi, process);
  if (!module) {
    return kUnknownProcess;
  }
  const auto name = processes_.moduleBaseName(psapi, process, *module, kNameBufferSize);
  return name && !name->empty() ? *name : kUnknownProcess;
}

std::optional<std::string> NameFromWindow::perflibCounterIndex(std::string_view name) {
  const RegistryKey key =
      registry_.openKey(RegRoot::LocalMachine, kPerflibKey, KeyAccess::Read, false);
  if (!key) {
    return std::nullopt;
  }
  const auto counters = registry_.readValue(key, "Counter");
  if (!counters) {
    return std::nullopt;
  }
  return perf::counterIndex(counters->data, name);
}

std::string NameFromWindow::nameFromPerflib(ProcessId processId) {
  const auto processIndex = perflibCounterIndex("Process");
  if (!processIndex) {
    return kUnknownProcess;
  }
  const RegistryKey performanceData =
      registry_.openKey(RegRoot::PerformanceData, "", KeyAccess::Read, false);
  if (!performanceData) {
    return kUnknownProcess;
  }
  std::vector<std::uint8_t> buffer(kFirstPerfBufferSize);
  std::uint32_t bytesRead = 0;
  std::int32_t status = registry_.queryInto(performanceData, *processIndex, buffer, bytesRead);
  while (status == win::kErrorMoreData && buffer.size() < kPerfBufferLimit) {
    buffer.resize(buffer.size() + kPerfBufferGrowth);
    status = registry_.queryInto(performanceData, *processIndex, buffer, bytesRead);
  }
  if (status != win::kErrorSuccess) {
    return kUnknownProcess;
  }
  const auto idText = perflibCounterIndex("ID Process");
  const auto idIndex = idText ? decimal(*idText) : std::nullopt;
  if (!idIndex) {
    return kUnknownProcess;
  }
  const std::span<const std::uint8_t> answer(buffer.data(),
                                             std::min<std::size_t>(bytesRead, buffer.size()));
  const auto name = perf::processInstanceName(answer, *idIndex, processId);
  if (!name) {
    return kUnknownProcess;
  }
  // The instance name is the file name without ".exe"; the other strategies
  // answer the file name, and files.txt lists file names.
  const std::string text = system_.ansiFromUtf16(*name);
  return text.empty() ? kUnknownProcess : text + ".exe";
}

}  // namespace strennix
