#include "hook/helper64.h"

#include <string>

#include "platform/hookprotocol.h"

namespace strennix {

namespace {

using hookprotocol::HelperExit;
using hookprotocol::kHelper64Name;

// Time for the helper to load hook64.dll and install its hooks; a healthy
// one is ready long before.
constexpr std::uint32_t kReadyTimeoutMs = 3000;
// Time to take down its hooks after WM_QUIT.
constexpr std::uint32_t kEndTimeoutMs = 2000;
// Nobody reads it: the helper is forgotten right after.
constexpr std::uint32_t kTerminatedExitCode = 1;

std::string besideProgram(const std::string& programPath, const char* name) {
  const auto slash = programPath.rfind('\\');
  return slash == std::string::npos ? name : programPath.substr(0, slash + 1) + name;
}

std::string whyEnded(std::uint32_t exitCode) {
  switch (static_cast<HelperExit>(exitCode)) {
    case HelperExit::BadCommandLine:
      return "it got no process id";
    case HelperExit::ProgramGone:
      return "it could not open strennix.exe";
    case HelperExit::LibraryMissing:
      return "hook64.dll not found";
    case HelperExit::ExportMissing:
      return "MouseProc or CBTProc not found in hook64.dll";
    case HelperExit::HookRefused:
      return "its hooks were refused";
    case HelperExit::Ended:
      break;
  }
  return "exit code " + std::to_string(exitCode);
}

}  // namespace

Helper64::Helper64(SystemPort& system, ProcessPort& processes, const Logger& log)
    : system_(system), processes_(processes), log_(log, kSetupHookLog) {}

Helper64::~Helper64() {
  if (helper_) {
    endHelper();
  }
}

void Helper64::beginHelper() {
  // A 32-bit Windows has no 64-bit programs to reach.
  if (!processes_.runsUnderWow64()) {
    return;
  }
  log_.trace("Called beginHelper");
  const std::string path = besideProgram(system_.executablePath(), kHelper64Name);
  helper_ = processes_.startProcess(path, std::to_string(processes_.currentProcessId()));
  if (!helper_) {
    log_.writeLog(std::string("Couldn't start ") + kHelper64Name +
                  ". 64-bit windows get no hooks.");
    return;
  }
  processes_.waitUntilIdle(helper_, kReadyTimeoutMs);
  if (const auto exitCode = processes_.exitCode(helper_)) {
    reportEnded(*exitCode);
    return;
  }
  log_.trace(std::string("  Started ") + kHelper64Name);
  log_.trace("Exited beginHelper");
}

void Helper64::endHelper() {
  if (!helper_) {
    return;
  }
  log_.trace("Called endHelper");
  if (const auto exitCode = processes_.exitCode(helper_)) {
    reportEnded(*exitCode);
    return;
  }
  processes_.postQuit(helper_);
  if (!processes_.waitForExit(helper_, kEndTimeoutMs)) {
    processes_.terminate(helper_, kTerminatedExitCode);
    log_.writeLog(std::string(kHelper64Name) + " didn't end. Terminated it.");
  }
  helper_.reset();
  log_.trace("Exited endHelper");
}

void Helper64::reportEnded(std::uint32_t exitCode) {
  helper_.reset();
  log_.writeLog(std::string(kHelper64Name) + " ended: " + whyEnded(exitCode) +
                ". 64-bit windows get no hooks.");
}

}  // namespace strennix
