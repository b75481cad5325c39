// ClockPort on the C runtime's local time.
#pragma once

#include "platform/clock.h"

namespace strennix::win32 {

class Win32ClockPort final : public ClockPort {
 public:
  DateTime localNow() override;
};

}  // namespace strennix::win32
