// What the button windows take from the painted row: the pictures of a
// window's switched-on buttons, so that both ways show the same.
#pragma once

#include <vector>

#include "platform/types.h"

namespace strennix {

class ButtonFaces {
 public:
  virtual ~ButtonFaces() = default;
  // Slot 0 (the rightmost) first.
  virtual std::vector<IconHandle> facesOf(Hwnd window) = 0;
};

}  // namespace strennix
