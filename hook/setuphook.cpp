#include "hook/setuphook.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/core/registrystore.h"
#include "hook/dll/programfolder.h"
#include "platform/winconst.h"

namespace strennix {

SetupHook::SetupHook(SystemPort& system, HookPort& hooks, RegistryPort& registry,
                     ButtonRowsPort& rows, const Logger& logger)
    : system_(system),
      hooks_(hooks),
      registry_(registry),
      rows_(rows),
      log_(logger, kSetupHookLog) {}

SetupHook::~SetupHook() {
  if (mouseHook != HookHandle{}) {
    hooks_.unhook(mouseHook);
  }
  if (cbtHook != HookHandle{}) {
    hooks_.unhook(cbtHook);
  }
}

void SetupHook::beginHook(Hwnd mainWindow) {
  log_.trace("Called beginHook. (Critical)");
  // Before the hooks go in, so that no press at a place an earlier run
  // painted is kept from its window.
  if (!rows_.claim(mainWindow)) {
    log_.writeLog("Button rows not published: their shared memory is held by another program.");
  }
  const char* library = hookprotocol::ownFiles(system_.programIs64Bit()).library;
  const std::string path = besideProgram(system_.executablePath(), library);
  hookLibrary = path.empty() ? Module{} : system_.loadLibrary(path);
  if (!hookLibrary) {
    log_.writeLog("DLL not found. Fatal error");
  }

  mouseProc = exportOf(hookprotocol::kMouseProcName);
  if (mouseProc == ProcAddress{}) {
    log_.writeLog("MouseProc not found. Fatal error.");
  }
  mouseHook = hooks_.setWindowsHook(win::kWhMouse, mouseProc, hookLibrary.get(), 0);
  mhToReg(mouseHook);
  if (mouseHook == HookHandle{}) {
    log_.writeLog("MouseHook not valid. Fatal error.");
  }

  cbtProc = exportOf(hookprotocol::kCbtProcName);
  if (cbtProc == ProcAddress{}) {
    log_.writeLog("CBTProc not found. Fatal error.");
  }
  cbtHook = hooks_.setWindowsHook(win::kWhCbt, cbtProc, hookLibrary.get(), 0);
  cbthToReg(cbtHook);
  if (cbtHook == HookHandle{}) {
    log_.writeLog("CBTHook not valid. Fatal error.");
  }
  log_.trace("Exited beginHook.");
}

void SetupHook::endHook() {
  log_.trace("Called endHook");
  if (!hooks_.unhook(std::exchange(mouseHook, HookHandle{}))) {
    log_.writeLog("Didn't unhook mouse. Severe error.");
  }
  if (!hooks_.unhook(std::exchange(cbtHook, HookHandle{}))) {
    log_.writeLog("Didn't unhook CBT. Severe error.");
  }
  // The procedures die with the library.
  hookLibrary.reset();
  mouseProc = ProcAddress{};
  cbtProc = ProcAddress{};
  log_.trace("Exited endHook");
}

void SetupHook::mhToReg(HookHandle hook) {
  log_.trace("Called mhToReg");
  if (!publishHandle(kValueMouseHook, hook)) {
    log_.writeLog("Couldn't open registry. Fatal error.");
    return;
  }
  log_.trace("Exited mhToReg");
}

void SetupHook::cbthToReg(HookHandle hook) {
  log_.trace("Called cbthToReg");
  if (!publishHandle(kValueCbtHook, hook)) {
    log_.writeLog("Couldn't open registry. Fatal error");
    return;
  }
  log_.trace("Exited cbthToReg");
}

ProcAddress SetupHook::exportOf(const char* name) const {
  // GetProcAddress without a module would search the executable itself.
  return hookLibrary ? system_.procAddress(hookLibrary, name) : ProcAddress{};
}

bool SetupHook::publishHandle(const char* valueName, HookHandle hook) {
  const RegistryKey key =
      registry_.openKey(RegRoot::CurrentUser, kSettingsKeyPath, KeyAccess::AllAccess, false);
  if (!key) {
    return false;
  }
  // Nothing reads the values back in this process; a refused write only
  // leaves the library without its chain handle, so it is not checked.
  const std::uint32_t bits = handleBits(hook);
  const std::vector<std::uint8_t> littleEndian{
      static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
      static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
  registry_.setValue(key, valueName, win::kRegDword, littleEndian);
  return true;
}

}  // namespace strennix
