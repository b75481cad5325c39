// The simulated SystemPort: the shared world's version, language, command
// line, libraries and named mutexes, with loaded modules counted there.
#pragma once

#include <map>

#include "platform/sim/simworld.h"
#include "platform/system.h"

namespace strennix::sim {

class SimSystemPort : public SystemPort {
 public:
  explicit SimSystemPort(SimWorld& world) : world_(world) {}

  std::optional<OsVersion> version() override;
  std::uint16_t userDefaultLangId() override;
  std::string executablePath() override;
  std::vector<std::string> arguments() override;
  bool programIs64Bit() override;
  Module loadLibrary(const std::string& name) override;
  ProcAddress procAddress(const Module& module, const std::string& name) override;
  bool equalIgnoringCase(std::string_view a, std::string_view b) override;
  std::string ansiFromUtf16(const std::u16string& text) override;
  void freeLibrary(ModuleHandle module) noexcept override;
  // Named mutexes of the session: a name exists while one of its handles is
  // open.
  NamedMutex createMutex(const std::string& name) override;
  void closeMutex(std::uint32_t mutex) noexcept override;

  // The loaded library behind a module handle, when it exports `name`.
  [[nodiscard]] bool exports(const Module& module, const std::string& name) const;

 private:
  [[nodiscard]] std::optional<std::string> libraryKey(const std::string& name) const;

  SimWorld& world_;
  // Module handle per library (stable, like a base address), its library
  // and how often it is loaded now.
  std::map<std::string, ModuleHandle> moduleOfLibrary_;
  std::map<ModuleHandle, std::string> libraryOfModule_;
  std::map<ModuleHandle, int> moduleRefs_;
  std::map<std::uint32_t, std::string> openMutexes_;
};

}  // namespace strennix::sim
