// KERNEL32: version, language, the command line, libraries, named mutexes
// and the locale-aware text comparison.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/handle.h"
#include "platform/types.h"

namespace strennix {

class SystemPort;

struct ModuleTraits {
  using Value = ModuleHandle;
  using Owner = SystemPort;
  static bool valid(const Value& value) { return value != ModuleHandle{}; }
  static void release(Owner& owner, const Value& value) noexcept;
};

struct MutexTraits {
  using Value = std::uint32_t;
  using Owner = SystemPort;
  static bool valid(const Value& value) { return value != 0; }
  static void release(Owner& owner, const Value& value) noexcept;
};

using Module = UniqueHandle<ModuleTraits>;
using Mutex = UniqueHandle<MutexTraits>;

// A named mutex, and whether another holder had made it first.
struct NamedMutex {
  Mutex mutex;
  bool alreadyExisted = false;
};

// The fields of OSVERSIONINFOA (size 148) that the program reads.
struct OsVersion {
  std::uint32_t majorVersion = 0;
  std::uint32_t minorVersion = 0;
  std::uint32_t buildNumber = 0;
  std::uint32_t platformId = 0;
};

class SystemPort {
 public:
  virtual ~SystemPort() = default;

  virtual std::optional<OsVersion> version() = 0;
  virtual std::uint16_t userDefaultLangId() = 0;
  // Full path of the running executable; empty when it has none.
  virtual std::string executablePath() = 0;
  // The command-line arguments, index 0 being the program path.
  virtual std::vector<std::string> arguments() = 0;
  // This program is the 64-bit one (and so runs on 64-bit Windows).
  virtual bool programIs64Bit() = 0;

  virtual Module loadLibrary(const std::string& name) = 0;
  virtual ProcAddress procAddress(const Module& module, const std::string& name) = 0;

  // CreateMutexA, not owned; invalid when it cannot be made.
  virtual NamedMutex createMutex(const std::string& name) = 0;

  // CompareStringA with NORM_IGNORECASE on the user's default locale.
  virtual bool equalIgnoringCase(std::string_view a, std::string_view b) = 0;
  // UTF-16 to the active ANSI code page.
  virtual std::string ansiFromUtf16(const std::u16string& text) = 0;

  virtual void freeLibrary(ModuleHandle module) noexcept = 0;
  virtual void closeMutex(std::uint32_t mutex) noexcept = 0;
};

inline void ModuleTraits::release(Owner& owner, const Value& value) noexcept {
  owner.freeLibrary(value);
}
inline void MutexTraits::release(Owner& owner, const Value& value) noexcept {
  owner.closeMutex(value);
}

}  // namespace strennix
