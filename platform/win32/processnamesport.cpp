#include "platform/win32/processnamesport.h"

#include <windows.h>
// After <windows.h>, which it needs.
#include <tlhelp32.h>

#include "platform/win32/win32handles.h"

namespace strennix::win32 {

namespace {

// The record as the Windows 95 family and NT know it; the 64-bit program
// only ever meets the 64-bit system's record, which holds wider pointers.
static_assert(sizeof(void*) == 8 || sizeof(PROCESSENTRY32) == 296);

// The longest path the system takes (with the \\?\ prefix).
constexpr std::size_t kLongestPath = 32768;

// EnumProcessModules gets room for exactly one module: the executable.
constexpr DWORD kRoomForOneModule = sizeof(HMODULE);

using CreateSnapshotFunction = HANDLE(WINAPI*)(DWORD, DWORD);
using ProcessWalkFunction = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
using EnumProcessModulesFunction = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
using GetModuleBaseNameFunction = DWORD(WINAPI*)(HANDLE, HMODULE, char*, DWORD);
using QueryFullProcessImageNameFunction = BOOL(WINAPI*)(HANDLE, DWORD, char*, DWORD*);

// An entry point of a module loaded at run time; null when it is missing.
template <class Function>
Function entryPoint(const Module& module, const char* name) {
  if (!module.valid()) {
    return nullptr;
  }
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(toRaw<HMODULE>(module.get()), name)));
}

std::optional<ProcessEntry> walkProcesses(const Module& kernel32, const Snapshot& snapshot,
                                          const char* functionName) {
  const auto walk = entryPoint<ProcessWalkFunction>(kernel32, functionName);
  if (walk == nullptr || !snapshot.valid()) {
    return std::nullopt;
  }
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  if (walk(toHandle<HANDLE>(snapshot.get()), &entry) == FALSE) {
    return std::nullopt;
  }
  entry.szExeFile[sizeof(entry.szExeFile) - 1] = '\0';
  return ProcessEntry{entry.th32ProcessID, entry.szExeFile};
}

}  // namespace

Process Win32ProcessNamesPort::openProcess(std::uint32_t access, ProcessId processId) {
  return {*this, fromHandle(OpenProcess(access, FALSE, processId))};
}

Snapshot Win32ProcessNamesPort::processSnapshot(const Module& kernel32) {
  const auto create = entryPoint<CreateSnapshotFunction>(kernel32, "CreateToolhelp32Snapshot");
  if (create == nullptr) {
    return {};
  }
  const HANDLE snapshot = create(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return {};
  }
  return {*this, fromHandle(snapshot)};
}

std::optional<ProcessEntry> Win32ProcessNamesPort::firstProcess(const Module& kernel32,
                                                                const Snapshot& snapshot) {
  return walkProcesses(kernel32, snapshot, "Process32First");
}

std::optional<ProcessEntry> Win32ProcessNamesPort::nextProcess(const Module& kernel32,
                                                               const Snapshot& snapshot) {
  return walkProcesses(kernel32, snapshot, "Process32Next");
}

std::optional<ModuleHandle> Win32ProcessNamesPort::firstProcessModule(const Module& psapi,
                                                                      const Process& process) {
  const auto enumerate = entryPoint<EnumProcessModulesFunction>(psapi, "EnumProcessModules");
  if (enumerate == nullptr || !process.valid()) {
    return std::nullopt;
  }
  HMODULE module = nullptr;
  DWORD needed = 0;
  if (enumerate(toHandle<HANDLE>(process.get()), &module, kRoomForOneModule, &needed) == FALSE ||
      needed == 0) {
    return std::nullopt;
  }
  return fromRaw<ModuleHandle>(module);
}

std::optional<std::string> Win32ProcessNamesPort::moduleBaseName(const Module& psapi,
                                                                 const Process& process,
                                                                 ModuleHandle module,
                                                                 std::uint32_t bufferSize) {
  const auto baseName = entryPoint<GetModuleBaseNameFunction>(psapi, "GetModuleBaseNameA");
  if (baseName == nullptr || !process.valid() || bufferSize == 0) {
    return std::nullopt;
  }
  std::string name(bufferSize, '\0');
  const DWORD length =
      baseName(toHandle<HANDLE>(process.get()), toRaw<HMODULE>(module), name.data(), bufferSize);
  if (length == 0) {
    return std::nullopt;
  }
  name.resize(length < bufferSize ? length : bufferSize - 1);
  return name;
}

std::optional<std::string> Win32ProcessNamesPort::fullProcessImageName(const Module& kernel32,
                                                                       const Process& process) {
  const auto query =
      entryPoint<QueryFullProcessImageNameFunction>(kernel32, "QueryFullProcessImageNameA");
  if (query == nullptr || !process.valid()) {
    return std::nullopt;
  }
  // Paths may be longer than MAX_PATH; the call answers how much it wrote.
  std::string path(MAX_PATH, '\0');
  for (;;) {
    auto length = static_cast<DWORD>(path.size());
    if (query(toHandle<HANDLE>(process.get()), 0, path.data(), &length) != FALSE) {
      path.resize(length);
      return path;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() >= kLongestPath) {
      return std::nullopt;
    }
    path.resize(path.size() * 2);
  }
}

void Win32ProcessNamesPort::closeProcess(std::uint32_t process) noexcept {
  CloseHandle(toHandle<HANDLE>(process));
}

void Win32ProcessNamesPort::closeSnapshot(std::uint32_t snapshot) noexcept {
  CloseHandle(toHandle<HANDLE>(snapshot));
}

}  // namespace strennix::win32
