// What the window actions need of the language files: a message in the
// user's language, looked up by its English text.
#pragma once

#include <string>

namespace strennix {

class Translator {
 public:
  virtual ~Translator() = default;
  // The translation, or the text itself.
  [[nodiscard]] virtual std::string translate(const std::string& english) const = 0;
};

}  // namespace strennix
