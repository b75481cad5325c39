#include "platform/win32/systemport.h"

#include <windows.h>

#include <cstdlib>

#include "platform/hookprotocol.h"
#include "platform/win32/win32handles.h"

namespace strennix::win32 {

namespace {

// The records as the Windows 95 family and NT know them; the 64-bit program
// only ever meets the 64-bit system's records, which hold wider pointers.
static_assert(sizeof(OSVERSIONINFOA) == 148);
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

bool Win32SystemPort::equalIgnoringCase(std::string_view a, std::string_view b) {
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                        b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

std::string Win32SystemPort::ansiFromUtf16(const std::u16string& text) { return ansiText(text); }

void Win32SystemPort::freeLibrary(ModuleHandle module) noexcept {
  FreeLibrary(toRaw<HMODULE>(module));
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
