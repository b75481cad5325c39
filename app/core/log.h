// The one log writer. Every module appends to a log file of its own in the
// current directory, one open and close per line, only while logging is on.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/files.h"

namespace strennix {

inline constexpr const char* kAppLog = "applog.txt";
inline constexpr const char* kSetupAppLog = "setupapplog.txt";
inline constexpr const char* kSetupHookLog = "setuphooklog.txt";
inline constexpr const char* kFileControlLog = "filecontrollog.txt";
inline constexpr const char* kUifxLog = "uifxlog.txt";
inline constexpr const char* kTrayMenuLog = "traymenulog.txt";
inline constexpr const char* kWinAuthLog = "winauthlog.txt";
inline constexpr const char* kNameFromWindowLog = "namefromwindowlog.txt";
inline constexpr const char* kGfxLog = "gfxlog.txt";

// "Wed Jan 02 02:03:55 1980": ctime's layout with the day of the month as
// two digits, without the line feed.
std::string ctimeText(const DateTime& time);

class Logger {
 public:
  Logger(FilePort& files, ClockPort& clock);

  // `--debug` or `--log`: log files and dumps are written.
  bool debugMode = false;
  // `--log`: trace lines are written too.
  bool loggingMode = false;

  // Switches the modes on from the command line's arguments (any letter
  // case), saying so in the program's log.
  void readSwitches(const std::vector<std::string>& arguments);

  // Appends "<time stamp>   <message>\n" while debugMode is on.
  void writeLog(std::string_view file, std::string_view message) const;
  // A trace line: written only while loggingMode is on as well.
  void trace(std::string_view file, std::string_view message) const;
  // Appends a block of text without time stamp (the dumps); debugMode only.
  void writeBlock(std::string_view file, std::string_view text) const;
  [[nodiscard]] std::string now() const;

 private:
  FilePort& files_;
  ClockPort& clock_;
};

// One module's log: the writer bound to the module's own file, so that
// its calls name only the line.
class ModuleLog {
 public:
  ModuleLog(const Logger& logger, const char* file) : logger_(logger), file_(file) {}

  void writeLog(std::string_view message) const { logger_.writeLog(file_, message); }
  void trace(std::string_view message) const { logger_.trace(file_, message); }
  void writeBlock(std::string_view text) const { logger_.writeBlock(file_, text); }

 private:
  const Logger& logger_;
  const char* file_;
};

}  // namespace strennix
