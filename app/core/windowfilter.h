// What the drawing needs of the eligibility rules: whether a window gets
// buttons at all.
#pragma once

#include "platform/types.h"

namespace strennix {

class WindowFilter {
 public:
  virtual ~WindowFilter() = default;
  virtual bool passesAll(Hwnd window) = 0;
};

}  // namespace strennix
