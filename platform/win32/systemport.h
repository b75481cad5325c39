// SystemPort on KERNEL32 and PSAPI: the system's version and language, the
// command line, libraries, processes and named mutexes.
#pragma once

#include "platform/system.h"

namespace strennix::win32 {

class Win32SystemPort final : public SystemPort {
 public:
  std::optional<OsVersion> version() override;
  std::uint16_t userDefaultLangId() override;
  std::string executablePath() override;
  std::vector<std::string> arguments() override;
  bool programIs64Bit() override;
  Module loadLibrary(const std::string& name) override;
  ProcAddress procAddress(const Module& module, const std::string& name) override;
  Process openProcess(std::uint32_t access, ProcessId processId) override;
  NamedMutex createMutex(const std::string& name) override;
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
  bool equalIgnoringCase(std::string_view a, std::string_view b) override;
  std::string ansiFromUtf16(const std::u16string& text) override;
  void freeLibrary(ModuleHandle module) noexcept override;
  void closeProcess(std::uint32_t process) noexcept override;
  void closeSnapshot(std::uint32_t snapshot) noexcept override;
  void closeMutex(std::uint32_t mutex) noexcept override;
};

}  // namespace strennix::win32
