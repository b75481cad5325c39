// The controls of the compiled form layouts, so that simulated forms start as
// the real back end builds them: with their captions, and disabled or sorting
// where the layout says so. Both back ends read the same DIALOGEX template
// bytes through one reader (platform/dialogtemplate.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace strennix::sim {

struct LayoutControl {
  int id = 0;
  std::string text;
  bool enabled = true;
  bool sorted = false;
};

using Layouts = std::map<int, std::vector<LayoutControl>>;

// Reads every dialog resource with a numbered name from the bytes of a
// compiled resource file (.res). Entries that run past the data or are no
// complete template are skipped.
Layouts parseLayouts(const std::uint8_t* data, std::size_t size);

// The layouts of resources/layouts.rc as the resource compiler wrote them,
// read once.
const Layouts& programLayouts();

}  // namespace strennix::sim
