// Lines of the program's text files (the exclusion lists and the language
// files), as Notepad and other editors write them.
#pragma once

#include <string_view>
#include <vector>

namespace strennix {

// Lines end at CR LF, a lone CR or a lone LF; a last line without an end
// counts, an empty remainder does not. The views point into `text`.
std::vector<std::string_view> splitLines(std::string_view text);

}  // namespace strennix
