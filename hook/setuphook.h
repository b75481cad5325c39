// Installation and removal of the two system-wide hooks that live in
// hook.dll, and the registry values that publish their handles to it.
#pragma once

#include "app/core/log.h"
#include "platform/buttonrows.h"
#include "platform/hookprotocol.h"
#include "platform/hooks.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/types.h"

namespace strennix {

class SetupHook {
 public:
  SetupHook(SystemPort& system, HookPort& hooks, RegistryPort& registry, ButtonRowsPort& rows,
            const Logger& logger);
  // Hooks still installed are removed before the library goes, so that no
  // hook is left pointing into unloaded code.
  ~SetupHook();
  SetupHook(const SetupHook&) = delete;
  SetupHook& operator=(const SetupHook&) = delete;
  SetupHook(SetupHook&&) = delete;
  SetupHook& operator=(SetupHook&&) = delete;

  // Takes the published button rows for this run, naming mainWindow as the
  // one window the hook libraries report to, then loads the library and
  // installs both hooks for all threads. Every step runs even after a
  // failure; failures are logged, never raised.
  void beginHook(Hwnd mainWindow);
  // Removes both hooks and releases the library.
  void endHook();
  // Publish a hook handle as "mH" / "cbtH" (REG_DWORD) in the settings key.
  void mhToReg(HookHandle hook);
  void cbthToReg(HookHandle hook);

  Module hookLibrary;
  ProcAddress mouseProc{};
  HookHandle mouseHook{};
  ProcAddress cbtProc{};
  HookHandle cbtHook{};

 private:
  [[nodiscard]] ProcAddress exportOf(const char* name) const;
  // Opens the settings key without creating it and sets a REG_DWORD; false
  // when the key could not be opened.
  bool publishHandle(const char* valueName, HookHandle hook);

  SystemPort& system_;
  HookPort& hooks_;
  RegistryPort& registry_;
  ButtonRowsPort& rows_;
  ModuleLog log_;
};

}  // namespace strennix
