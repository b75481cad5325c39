// What the name of a window's program is read through, for
// eligibility/namefromwindow alone: process handles, the Toolhelp walk, PSAPI
// and QueryFullProcessImageNameA, each with its entry points taken at run time
// from a library that the caller loaded through the SystemPort.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/handle.h"
#include "platform/system.h"
#include "platform/types.h"

namespace strennix {

class ProcessNamesPort;

struct ProcessTraits {
  using Value = std::uint32_t;
  using Owner = ProcessNamesPort;
  static bool valid(const Value& value) { return value != 0; }
  static void release(Owner& owner, const Value& value) noexcept;
};

struct SnapshotTraits {
  using Value = std::uint32_t;
  using Owner = ProcessNamesPort;
  static bool valid(const Value& value) { return value != 0; }
  static void release(Owner& owner, const Value& value) noexcept;
};

using Process = UniqueHandle<ProcessTraits>;
using Snapshot = UniqueHandle<SnapshotTraits>;

struct ProcessEntry {
  ProcessId processId = 0;
  std::string exeFile;
};

class ProcessNamesPort {
 public:
  virtual ~ProcessNamesPort() = default;

  virtual Process openProcess(std::uint32_t access, ProcessId processId) = 0;

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

  virtual void closeProcess(std::uint32_t process) noexcept = 0;
  virtual void closeSnapshot(std::uint32_t snapshot) noexcept = 0;
};

inline void ProcessTraits::release(Owner& owner, const Value& value) noexcept {
  owner.closeProcess(value);
}
inline void SnapshotTraits::release(Owner& owner, const Value& value) noexcept {
  owner.closeSnapshot(value);
}

}  // namespace strennix
