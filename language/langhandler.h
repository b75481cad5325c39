// Language files: a translation of the settings form's captions and of three
// messages, looked up by the English text itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/core/translator.h"
#include "platform/files.h"

namespace strennix {

// The text after the first `open` up to the last `close`; empty when either
// tag is missing or the range is empty.
std::string textBetween(std::string_view text, std::string_view open, std::string_view close);

class LangHandler : public Translator {
 public:
  explicit LangHandler(FilePort& files);

  // Keeps the primary language: the low 10 bits.
  void setLanguage(std::uint16_t language);
  void setLanguageFolder(std::string folder);
  // "<folder>\<%#04x of the language>.lang"
  [[nodiscard]] std::string languageFile() const;
  // The translation from the current language file, or the text itself.
  [[nodiscard]] std::string translate(const std::string& english) const override;

 private:
  FilePort& files_;
  std::uint16_t language_ = 9;
  std::string folder_;
};

}  // namespace strennix
