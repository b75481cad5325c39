#include "app/core/log.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <string>

namespace strennix {

namespace {

constexpr std::array<const char*, 7> kWeekdays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

const char* nameAt(const auto& names, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= names.size()) {
    return "???";
  }
  return names[static_cast<std::size_t>(index)];
}

}  // namespace

std::string ctimeText(const DateTime& time) {
  std::array<char, 64> buffer{};
  std::snprintf(buffer.data(), buffer.size(), "%s %s %02d %02d:%02d:%02d %04d",
                nameAt(kWeekdays, time.weekday), nameAt(kMonths, time.month - 1), time.day,
                time.hour, time.minute, time.second, time.year);
  return buffer.data();
}

Logger::Logger(FilePort& files, ClockPort& clock) : files_(files), clock_(clock) {}

std::string Logger::now() const { return ctimeText(clock_.localNow()); }

void Logger::readSwitches(const std::vector<std::string>& arguments) {
  for (std::string lowered : arguments) {
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lowered == "--debug") {
      debugMode = true;
      writeLog(kAppLog, "Starting application in debugmode.\nDumping some systeminfo.");
    }
    if (lowered == "--log") {
      debugMode = true;
      loggingMode = true;
      writeLog(kAppLog, "Starting application in loggingmode.\nDumping some systeminfo.");
    }
  }
}

void Logger::writeLog(std::string_view file, std::string_view message) const {
  if (!debugMode) {
    return;
  }
  std::string line = now();
  line += "   ";
  line += message;
  line += '\n';
  files_.append(std::string(file), line);
}

void Logger::trace(std::string_view file, std::string_view message) const {
  if (loggingMode) {
    writeLog(file, message);
  }
}

void Logger::writeBlock(std::string_view file, std::string_view text) const {
  if (debugMode) {
    files_.append(std::string(file), text);
  }
}

}  // namespace strennix
