#pragma once

#include "platform/types.h"

namespace strennix {

class ClockPort {
 public:
  virtual ~ClockPort() = default;
  virtual DateTime localNow() = 0;
};

}  // namespace strennix
