#include "platform/win32/systemport.h"

#include <windows.h>
// After <windows.h>, which it needs.
#include <tlhelp32.h>

#include <cstdlib>

#include "platform/hookprotocol.h"
#include "platform/win32/win32handles.h"

namespace strennix::win32 {

namespace {

// The records as the Windows 95 family and NT know them; the 64-bit program
// only ever meets the 64-bit system's records, which hold wider pointers.
static_assert(sizeof(OSVERSIONINFOA) == 148);
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

std::string ansiText(const std::u16string& text) {
  if (text.empty()) {
    return {};
  }
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) {
    return {};
  }
  std::string result(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, length, result.data(), needed, nullptr, nullptr);
  return result;
}

std::optional<OsVersion> Win32SystemPort::version() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (GetVersionExA(&info) == FALSE) {
    return std::nullopt;
  }
  return OsVersion{info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber, info.dwPlatformId};
}

std::uint16_t Win32SystemPort::userDefaultLangId() { return GetUserDefaultLangID(); }

std::string Win32SystemPort::executablePath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      return {};
    }
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::vector<std::string> Win32SystemPort::arguments() {
  std::vector<std::string> result;
  result.reserve(static_cast<std::size_t>(__argc));
  for (int i = 0; i < __argc; ++i) {
    result.emplace_back(__argv[i]);
  }
  return result;
}

bool Win32SystemPort::programIs64Bit() { return hookprotocol::kBuiltFor64Bit; }

Module Win32SystemPort::loadLibrary(const std::string& name) {
  return {*this, fromRaw<ModuleHandle>(LoadLibraryA(name.c_str()))};
}

ProcAddress Win32SystemPort::procAddress(const Module& module, const std::string& name) {
  if (!module.valid()) {
    return ProcAddress{};
  }
  return fromRaw<ProcAddress>(
      reinterpret_cast<void*>(GetProcAddress(toRaw<HMODULE>(module.get()), name.c_str())));
}

Process Win32SystemPort::openProcess(std::uint32_t access, ProcessId processId) {
  return {*this, fromHandle(OpenProcess(access, FALSE, processId))};
}

Snapshot Win32SystemPort::processSnapshot(const Module& kernel32) {
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

std::optional<ProcessEntry> Win32SystemPort::firstProcess(const Module& kernel32,
                                                          const Snapshot& snapshot) {
  return walkProcesses(kernel32, snapshot, "Process32First");
}

std::optional<ProcessEntry> Win32SystemPort::nextProcess(const Module& kernel32,
                                                         const Snapshot& snapshot) {
  return walkProcesses(kernel32, snapshot, "Process32Next");
}

std::optional<ModuleHandle> Win32SystemPort::firstProcessModule(const Module& psapi,
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

std::optional<std::string> Win32SystemPort::moduleBaseName(const Module& psapi,
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

std::optional<std::string> Win32SystemPort::fullProcessImageName(const Module& kernel32,
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

bool Win32SystemPort::equalIgnoringCase(std::string_view a, std::string_view b) {
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                        b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

std::string Win32SystemPort::ansiFromUtf16(const std::u16string& text) { return ansiText(text); }

void Win32SystemPort::freeLibrary(ModuleHandle module) noexcept {
  FreeLibrary(toRaw<HMODULE>(module));
}

void Win32SystemPort::closeProcess(std::uint32_t process) noexcept {
  CloseHandle(toHandle<HANDLE>(process));
}

void Win32SystemPort::closeSnapshot(std::uint32_t snapshot) noexcept {
  CloseHandle(toHandle<HANDLE>(snapshot));
}

NamedMutex Win32SystemPort::createMutex(const std::string& name) {
  const HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  return NamedMutex{Mutex(*this, fromHandle(mutex)), mutex != nullptr && existed};
}

void Win32SystemPort::closeMutex(std::uint32_t mutex) noexcept {
  CloseHandle(toHandle<HANDLE>(mutex));
}

}  // namespace strennix::win32
