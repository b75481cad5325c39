// KERNEL32 and PSAPI: version, language, libraries, processes and the
// locale-aware text comparison.
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

struct ProcessTraits {
  using Value = std::uint32_t;
  using Owner = SystemPort;
  static bool valid(const Value& value) { return value != 0; }
  static void release(Owner& owner, const Value& value) noexcept;
};

struct SnapshotTraits {
  using Value = std::uint32_t;
  using Owner = SystemPort;
  static bool valid(const Value& value) { return value != 0; }
  static void release(Owner& owner, const Value& value) noexcept;
};

struct MutexTraits {
  using Value = std::uint32_t;
  using Owner = SystemPort;
  static bool valid(const Value& value) { return value != 0; }
  static void release(Owner& owner, const Value& value) noexcept;
};

using Module = UniqueHandle<ModuleTraits>;
using Process = UniqueHandle<ProcessTraits>;
using Snapshot = UniqueHandle<SnapshotTraits>;
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

struct ProcessEntry {
  ProcessId processId = 0;
  std::string exeFile;
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

  virtual Process openProcess(std::uint32_t access, ProcessId processId) = 0;
  // CreateMutexA, not owned; invalid when it cannot be made.
  virtual NamedMutex createMutex(const std::string& name) = 0;

  // Toolhelp32, with its entry points taken from `kernel32` at run time:
  // invalid or nothing when an entry point is missing or the call fails.
  virtual Snapshot processSnapshot(const Module& kernel32) = 0;
  virtual std::optional<ProcessEntry> firstProcess(const Module& kernel32,
                                                   const Snapshot& snapshot) = 0;
  virtual std::optional<ProcessEntry> nextProcess(const Module& kernel32,
                                                  const Snapshot& snapshot) = 0;

  // PSAPI, with its entry points taken from `psapi` at run time.
  // EnumProcessModules into room for exactly one module handle.
  virtual std::optional<ModuleHandle> firstProcessModule(const Module& psapi,
                                                         const Process& process) = 0;
  virtual std::optional<std::string> moduleBaseName(const Module& psapi, const Process& process,
                                                    ModuleHandle module,
                                                    std::uint32_t bufferSize) = 0;

  // QueryFullProcessImageNameA (Vista and later), with its entry point
  // taken from `kernel32` at run time: the executable's full path, nothing
  // when the entry point is missing or the call fails.
  virtual std::optional<std::string> fullProcessImageName(const Module& kernel32,
                                                          const Process& process) = 0;

  // CompareStringA with NORM_IGNORECASE on the user's default locale.
  virtual bool equalIgnoringCase(std::string_view a, std::string_view b) = 0;
  // UTF-16 to the active ANSI code page.
  virtual std::string ansiFromUtf16(const std::u16string& text) = 0;

  virtual void freeLibrary(ModuleHandle module) noexcept = 0;
  virtual void closeProcess(std::uint32_t process) noexcept = 0;
  virtual void closeSnapshot(std::uint32_t snapshot) noexcept = 0;
  virtual void closeMutex(std::uint32_t mutex) noexcept = 0;
};

inline void ModuleTraits::release(Owner& owner, const Value& value) noexcept {
  owner.freeLibrary(value);
}
inline void ProcessTraits::release(Owner& owner, const Value& value) noexcept {
  owner.closeProcess(value);
}
inline void SnapshotTraits::release(Owner& owner, const Value& value) noexcept {
  owner.closeSnapshot(value);
}
inline void MutexTraits::release(Owner& owner, const Value& value) noexcept {
  owner.closeMutex(value);
}

}  // namespace strennix
