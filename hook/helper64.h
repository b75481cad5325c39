// The 64-bit helper: on 64-bit Windows strennix.exe starts strennix64.exe
// from its own folder after its own hooks are installed, so that the hooks
// of hook64.dll reach 64-bit programs too, and ends it at Exit. Its start
// and failures go to the hook module's log; nothing is ever shown.
#pragma once

#include <cstdint>

#include "app/core/log.h"
#include "platform/processes.h"
#include "platform/system.h"

namespace strennix {

class Helper64 {
 public:
  Helper64(SystemPort& system, ProcessPort& processes, const Logger& log);
  // A helper still running is ended as at Exit.
  ~Helper64();
  Helper64(const Helper64&) = delete;
  Helper64& operator=(const Helper64&) = delete;
  Helper64(Helper64&&) = delete;
  Helper64& operator=(Helper64&&) = delete;

  // Under WoW64 only: starts the helper with this program's process id and
  // waits until it is ready or has ended.
  void beginHelper();
  // Asks the helper to end at once; one that does not is terminated.
  void endHelper();

  [[nodiscard]] bool running() const { return helper_.valid(); }

 private:
  // Logs and forgets a helper that has ended by itself.
  void reportEnded(std::uint32_t exitCode);

  SystemPort& system_;
  ProcessPort& processes_;
  ModuleLog log_;
  ChildProcess helper_;
};

}  // namespace strennix
