#include "platform/sim/simtext.h"

#include <algorithm>
#include <cctype>

namespace strennix::sim {

std::string lower(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return result;
}

bool sameText(std::string_view a, std::string_view b) { return lower(a) == lower(b); }

std::string latin1(const std::u16string& text) {
  std::string result;
  result.reserve(text.size());
  for (const char16_t c : text) {
    result.push_back(c > 0xFF ? '?' : static_cast<char>(c));
  }
  return result;
}

std::string keyPath(const std::string& path) {
  std::string result = lower(path);
  while (!result.empty() && result.back() == '\\') {
    result.pop_back();
  }
  const auto first = result.find_first_not_of('\\');
  return first == std::string::npos ? std::string() : result.substr(first);
}

}  // namespace strennix::sim
