// ProcessNamesPort on KERNEL32 and PSAPI: the process handles, the Toolhelp
// walk and the image names that a window's program is named from.
#pragma once

#include "platform/processnames.h"

namespace strennix::win32 {

class Win32ProcessNamesPort final : public ProcessNamesPort {
 public:
  Process openProcess(std::uint32_t access, ProcessId processId) override;
  Snapshot processSnapshot(const Module& kernel32) override;
  std::optional<ProcessEntry> firstProcess(const Module& kernel32,
                                           const Snapshot& snapshot) override;
  std::optional<ProcessEntry> nextProcess(const Module& kernel32,
                                          const Snapshot& snapshot) override;
  std::optional<ModuleHandle> firstProcessModule(const Module& psapi,
                                                 const Process& process) override;
  std::optional<std::string> moduleBaseName(const Module& psapi, const Process& process,
                                            ModuleHandle module, std::uint32_t bufferSize) override;
  std::optional<std::string> fullProcessImageName(const Module& kernel32,
                                                  const Process& process) override;
  void closeProcess(std::uint32_t process) noexcept override;
  void closeSnapshot(std::uint32_t snapshot) noexcept override;
};

}  // namespace strennix::win32
