// The controls of the form layouts in a resource script, so that simulated
// forms start as the real back end builds them: with their captions, and
// disabled or sorting where the layout says so.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace strennix::sim {

struct LayoutControl {
  int id = 0;
  std::string text;
  bool enabled = true;
  bool sorted = false;
};

using Layouts = std::map<int, std::vector<LayoutControl>>;

// Reads the CONTROL statements of every DIALOGEX in `script`, resolving
// names through the #defines of `header` and of the script itself.
// Statements it cannot read are skipped.
Layouts parseLayouts(std::string_view script, std::string_view header);

// The layouts of resources/strennix.rc, read once.
const Layouts& programLayouts();

}  // namespace strennix::sim
