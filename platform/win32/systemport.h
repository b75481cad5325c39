// SystemPort on KERNEL32: the system's version and language, the command
// line, libraries and named mutexes.
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
  NamedMutex createMutex(const std::string& name) override;
  bool equalIgnoringCase(std::string_view a, std::string_view b) override;
  std::string ansiFromUtf16(const std::u16string& text) override;
  void freeLibrary(ModuleHandle module) noexcept override;
  void closeMutex(std::uint32_t mutex) noexcept override;
};

}  // namespace strennix::win32
