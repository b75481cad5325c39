// What the window actions need of the tray menu: a place to list the title
// of a window they have hidden.
#pragma once

#include <string>

namespace strennix {

class MenuList {
 public:
  virtual ~MenuList() = default;
  virtual void addTitle(const std::string& title) = 0;
};

}  // namespace strennix
