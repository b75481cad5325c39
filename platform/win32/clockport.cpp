#include "platform/win32/clockport.h"

#include <ctime>

namespace strennix::win32 {

DateTime Win32ClockPort::localNow() {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  if (local == nullptr) {
    return DateTime{};
  }
  return DateTime{local->tm_year + 1900, local->tm_mon + 1, local->tm_mday, local->tm_wday,
                  local->tm_hour,        local->tm_min,     local->tm_sec};
}

}  // namespace strennix::win32
