// The two exclusion lists, in file order; duplicates and empty entries kept.
#pragma once

#include <string>
#include <vector>

namespace strennix {

struct ExclusionLists {
  std::vector<std::string> excludedClasses;
  std::vector<std::string> excludedNames;
};

}  // namespace strennix
