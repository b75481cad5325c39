#include "language/langhandler.h"

#include <array>
#include <cstdio>
#include <utility>
#include <vector>

#include "app/core/textlines.h"
#include "platform/winconst.h"

namespace strennix {

std::string textBetween(std::string_view text, std::string_view open, std::string_view close) {
  const std::size_t first = text.find(open);
  const std::size_t last = text.rfind(close);
  if (first == std::string_view::npos || last == std::string_view::npos) {
    return {};
  }
  const std::size_t begin = first + open.size();
  if (last <= begin) {
    return {};
  }
  return std::string(text.substr(begin, last - begin));
}

LangHandler::LangHandler(FilePort& files) : files_(files) {}

void LangHandler::setLanguage(std::uint16_t language) {
  language_ = language & win::kPrimaryLangIdMask;
}

void LangHandler::setLanguageFolder(std::string folder) { folder_ = std::move(folder); }

std::string LangHandler::languageFile() const {
  std::array<char, 16> name{};
  std::snprintf(name.data(), name.size(), "%#04x", static_cast<unsigned>(language_));
  return folder_ + "\\" + name.data() + ".lang";
}

std::string LangHandler::translate(const std::string& english) const {
  const std::string file = languageFile();
  if (!files_.exists(file)) {
    return english;
  }
  // A file that cannot be read leaves the English text, as a missing one does.
  const FileContents contents = files_.readAll(file);
  if (contents.status != ReadStatus::Ok) {
    return english;
  }
  std::string result = english;
  for (std::string_view line : splitLines(contents.bytes)) {
    if (line.empty() || line.front() == '#') {
      continue;
    }
    if (textBetween(line, "<begin_en>", "</end_en>") != english) {
      continue;
    }
    std::string translation = textBetween(line, "<begin>", "</end>");
    if (!translation.empty()) {
      result = std::move(translation);
    }
  }
  return result;
}

}  // namespace strennix
