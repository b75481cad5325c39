// The helper of the other bitness: on 64-bit Windows strennix.exe starts it
// from its own folder after its own hooks are installed, so that the hooks
// of the other bitness's library reach the programs of that bitness too, and
// ends it at Exit. The 32-bit program starts strennix64.exe (with
// hook64.dll), the 64-bit program strennix32.exe (with hook.dll). Its start
// and failures go to the hook module's log; nothing is ever shown.
#pragma once

#include <cstdint>
#include <string>

#include "app/core/log.h"
#include "platform/hookprotocol.h"
#include "platform/processes.h"
#include "platform/system.h"

namespace strennix {

class Helper {
 public:
  Helper(SystemPort& system, ProcessPort& processes, const Logger& log);
  // A helper still running is ended as at Exit.
  ~Helper();
  Helper(const Helper&) = delete;
  Helper& operator=(const Helper&) = delete;
  Helper(Helper&&) = delete;
  Helper& operator=(Helper&&) = delete;

  // On 64-bit Windows only: starts the helper with this program's process
  // id, without waiting for it.
  void beginHelper();
  // On each timer tick: a helper that has ended is logged, and one that
  // ended on its own (not for a failed set-up) is started again, a few
  // times at most. True when it had ended.
  bool checkHelper();
  // Asks the helper to end at once; one that does not is terminated.
  void endHelper();

  [[nodiscard]] bool running() const { return helper_.valid(); }

 private:
  void startHelper();
  // Logs and forgets a helper that has ended by itself.
  void reportEnded(std::uint32_t exitCode);
  // Where its hooks are missing, for the log.
  [[nodiscard]] std::string noHooks() const;
  // The helper's files: those of the bitness this program is not.
  [[nodiscard]] const hookprotocol::BitnessFiles& other() const;

  SystemPort& system_;
  ProcessPort& processes_;
  ModuleLog log_;
  ChildProcess helper_;
  int restarts_ = 0;
};

}  // namespace strennix
