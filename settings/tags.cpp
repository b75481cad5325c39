#include "settings/tags.h"

namespace strennix {

namespace {

template <std::size_t N>
std::uint32_t maskOf(std::string_view text, const std::array<StyleTag, N>& table) {
  std::uint32_t mask = 0;
  for (const StyleTag& entry : table) {
    if (hasTag(text, entry.tag)) {
      mask |= entry.value;
    }
  }
  return mask;
}

}  // namespace

bool hasTag(std::string_view text, std::string_view tag) {
  return text.find(tag) != std::string_view::npos;
}

std::uint32_t styleMask(std::string_view text) { return maskOf(text, kStyleTags); }

std::uint32_t exStyleMask(std::string_view text) { return maskOf(text, kExStyleTags); }

}  // namespace strennix
