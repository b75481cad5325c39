#include "hook/helper.h"

#include <string>

#include "hook/dll/programfolder.h"

namespace strennix {

namespace {

using hookprotocol::HelperExit;

// A helper that ends on its own is started again this many times at most,
// so that one that always dies cannot keep the program busy.
constexpr int kMostRestarts = 3;
// Time to take down its hooks once asked to end.
constexpr std::uint32_t kEndTimeoutMs = 2000;
// Nobody reads it: the helper is forgotten right after.
constexpr std::uint32_t kTerminatedExitCode = 1;

// A helper that could not set up would fail the same way again.
bool worthRestarting(std::uint32_t exitCode) {
  const auto why = static_cast<HelperExit>(exitCode);
  return why != HelperExit::BadCommandLine && why != HelperExit::ProgramGone &&
         why != HelperExit::LibraryMissing && why != HelperExit::ExportMissing &&
         why != HelperExit::HookRefused && why != HelperExit::NotTheProgram;
}

std::string whyEnded(std::uint32_t exitCode, const hookprotocol::BitnessFiles& files) {
  switch (static_cast<HelperExit>(exitCode)) {
    case HelperExit::BadCommandLine:
      return "it got no process id and end signal";
    case HelperExit::ProgramGone:
      return "it could not open strennix.exe";
    case HelperExit::LibraryMissing:
      return std::string(files.library) + " not found";
    case HelperExit::ExportMissing:
      return std::string("MouseProc or CBTProc not found in ") + files.library;
    case HelperExit::HookRefused:
      return "its hooks were refused";
    case HelperExit::NotTheProgram:
      return "the process it was given was not started from its folder";
    case HelperExit::Ended:
      break;
  }
  return "exit code " + std::to_string(exitCode);
}

}  // namespace

Helper::Helper(SystemPort& system, ProcessPort& processes, const Logger& log)
    : system_(system), processes_(processes), log_(log, kSetupHookLog) {}

Helper::~Helper() {
  if (helper_) {
    endHelper();
  }
}

void Helper::beginHelper() {
  // The 32-bit program on a 32-bit Windows has no 64-bit programs to reach;
  // a 64-bit program always runs on 64-bit Windows.
  if (!system_.programIs64Bit() && !processes_.runsUnderWow64()) {
    return;
  }
  log_.trace("Called beginHelper");
  startHelper();
  log_.trace("Exited beginHelper");
}

// Not waited for: the program's only thread goes on at once, and a helper
// that ends is seen by the next check.
void Helper::startHelper() {
  const std::string path = besideProgram(system_.executablePath(), other().helper);
  helper_ = processes_.startProcess(path, std::to_string(processes_.currentProcessId()));
  if (!helper_) {
    log_.writeLog(std::string("Couldn't start ") + other().helper + ". " + noHooks());
    return;
  }
  if (!checkHelper()) {
    log_.trace(std::string("  Started ") + other().helper);
  }
}

bool Helper::checkHelper() {
  if (!helper_) {
    return false;
  }
  const auto exitCode = processes_.exitCode(helper_);
  if (!exitCode) {
    return false;
  }
  reportEnded(*exitCode);
  if (worthRestarting(*exitCode) && restarts_ < kMostRestarts) {
    ++restarts_;
    log_.writeLog(std::string("Starting ") + other().helper + " again (" +
                  std::to_string(restarts_) + " of " + std::to_string(kMostRestarts) + ").");
    startHelper();
  }
  return true;
}

void Helper::endHelper() {
  if (!helper_) {
    return;
  }
  log_.trace("Called endHelper");
  if (const auto exitCode = processes_.exitCode(helper_)) {
    reportEnded(*exitCode);
    return;
  }
  processes_.askToEnd(helper_);
  if (!processes_.waitForExit(helper_, kEndTimeoutMs)) {
    processes_.terminate(helper_, kTerminatedExitCode);
    log_.writeLog(std::string(other().helper) + " didn't end. Terminated it.");
  }
  helper_.reset();
  log_.trace("Exited endHelper");
}

void Helper::reportEnded(std::uint32_t exitCode) {
  helper_.reset();
  log_.writeLog(std::string(other().helper) + " ended: " + whyEnded(exitCode, other()) + ". " +
                noHooks());
}

std::string Helper::noHooks() const {
  return std::string(other().windows) + " windows get no hooks.";
}

const hookprotocol::BitnessFiles& Helper::other() const {
  return hookprotocol::otherFiles(system_.programIs64Bit());
}

}  // namespace strennix
