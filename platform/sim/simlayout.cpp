#include "platform/sim/simlayout.h"

#include <cctype>
#include <charconv>
#include <optional>
#include <set>
#include <sstream>

namespace strennix::sim {

extern const char* const kLayoutScript;
extern const char* const kLayoutHeader;

namespace {

using Defines = std::map<std::string, std::string, std::less<>>;

std::string trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(first, last - first + 1));
}

// Removes /* */ and // comments outside string literals.
std::string withoutComments(std::string_view text) {
  std::string result;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && text.substr(i, 2) == "/*") {
      const auto end = text.find("*/", i + 2);
      i = end == std::string_view::npos ? text.size() : end + 1;
      continue;
    } else if (!quoted && text.substr(i, 2) == "//") {
      i = text.find('\n', i);
      if (i == std::string_view::npos) {
        break;
      }
      result.push_back('\n');
      continue;
    }
    result.push_back(c);
  }
  return result;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    result.push_back(trim(line));
  }
  return result;
}

void readDefines(const std::string& text, Defines& defines) {
  for (const std::string& line : lines(text)) {
    if (line.rfind("#define", 0) != 0) {
      continue;
    }
    const std::string rest = trim(std::string_view(line).substr(7));
    const auto space = rest.find_first_of(" \t");
    if (space != std::string::npos) {
      defines[rest.substr(0, space)] = trim(std::string_view(rest).substr(space));
    }
  }
}

std::optional<int> number(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

std::optional<int> resolve(const std::string& name, const Defines& defines) {
  if (const auto value = number(name)) {
    return value;
  }
  const auto found = defines.find(name);
  return found == defines.end() ? std::nullopt : number(found->second);
}

// The names in a style expression, with the script's own macros expanded.
void styleNames(const std::string& expression, const Defines& defines, int depth,
                std::set<std::string>& names) {
  std::string name;
  for (const char c : expression + " ") {
    if (std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_') {
      name.push_back(c);
      continue;
    }
    if (!name.empty()) {
      const auto found = defines.find(name);
      if (found != defines.end() && depth < 8) {
        styleNames(found->second, defines, depth + 1, names);
      }
      names.insert(name);
      name.clear();
    }
  }
}

// Fields separated by commas outside string literals.
std::vector<std::string> fields(std::string_view statement) {
  std::vector<std::string> result(1);
  bool quoted = false;
  for (const char c : statement) {
    if (c == '"') {
      quoted = !quoted;
    }
    if (c == ',' && !quoted) {
      result.emplace_back();
    } else {
      result.back().push_back(c);
    }
  }
  for (std::string& field : result) {
    field = trim(field);
  }
  return result;
}

// A resource string: in quotes, with "" standing for one quote.
std::optional<std::string> unquoted(const std::string& field) {
  if (field.size() < 2 || field.front() != '"' || field.back() != '"') {
    return std::nullopt;
  }
  std::string text;
  const std::string inner = field.substr(1, field.size() - 2);
  for (std::size_t i = 0; i < inner.size(); ++i) {
    text.push_back(inner[i]);
    if (inner[i] == '"' && i + 1 < inner.size() && inner[i + 1] == '"') {
      ++i;
    }
  }
  return text;
}

// CONTROL "text", id, class, style, x, y, width, height[, exstyle]
std::optional<LayoutControl> control(const std::string& statement, const Defines& defines) {
  const std::vector<std::string> parts = fields(statement.substr(7));
  if (parts.size() < 8) {
    return std::nullopt;
  }
  const auto text = unquoted(parts[0]);
  const auto id = resolve(parts[1], defines);
  if (!text || !id) {
    return std::nullopt;
  }
  std::set<std::string> styles;
  styleNames(parts[3], defines, 0, styles);
  return LayoutControl{*id, *text, !styles.contains("WS_DISABLED"),
                       styles.contains("LBS_SORT") || styles.contains("LBS_STANDARD")};
}

}  // namespace

Layouts parseLayouts(std::string_view script, std::string_view header) {
  Defines defines;
  readDefines(withoutComments(header), defines);
  const std::string text = withoutComments(script);
  readDefines(text, defines);

  Layouts layouts;
  std::optional<int> layout;
  bool inside = false;
  std::string statement;
  const auto flush = [&] {
    if (layout && !statement.empty()) {
      if (const auto parsed = control(statement, defines)) {
        layouts[*layout].push_back(*parsed);
      }
    }
    statement.clear();
  };
  for (const std::string& line : lines(text)) {
    std::istringstream words(line);
    std::string first;
    std::string second;
    words >> first >> second;
    if (second == "DIALOGEX" || second == "DIALOG") {
      layout = resolve(first, defines);
      inside = false;
    } else if (first == "BEGIN" && layout) {
      inside = true;
    } else if (first == "END" && inside) {
      flush();
      inside = false;
      layout.reset();
    } else if (inside && first == "CONTROL") {
      flush();
      statement = line;
    } else if (inside && !statement.empty()) {
      statement += " " + line;
    }
  }
  return layouts;
}

const Layouts& programLayouts() {
  static const Layouts layouts = parseLayouts(kLayoutScript, kLayoutHeader);
  return layouts;
}

}  // namespace strennix::sim
