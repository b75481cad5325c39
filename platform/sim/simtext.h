// How the simulated desktop compares names: without regard to letter case,
// as the system does for registry keys, list items and window messages.
#pragma once

#include <string>
#include <string_view>

namespace strennix::sim {

std::string lower(std::string_view text);
bool sameText(std::string_view a, std::string_view b);

// UTF-16 text in the simulated ANSI code page (Latin-1): other characters
// become '?'.
std::string latin1(const std::u16string& text);

// A registry key path as keys are matched: lower case, without surrounding
// backslashes.
std::string keyPath(const std::string& path);

}  // namespace strennix::sim
