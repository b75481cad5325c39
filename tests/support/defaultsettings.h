// The settings a first start writes under HKCU\Software\Corvane inc.\Strennix,
// as the tests expect them. They are stated here on their own, not taken from
// the program, so that a changed default fails the tests that rely on it.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "resources/version.h"

namespace strennix::testsupport {

using SettingValues = std::vector<std::pair<std::string, std::string>>;

// The sixteenth value, "installPath", is the folder the program was started
// from.
inline constexpr const char* kInstallPath = "installPath";

// The other fifteen, in the order the first start writes them.
inline SettingValues firstStartSettings() {
  return {{"Version", kVersion},
          {"Buttons", "<hmax><vmax><top><shade><toicon><tomenu>"},
          {"Classes", "0"},
          {"Names", "0"},
          {"ExcludeStyles", "<WS_POPUP><WS_CHILD>"},
          {"ExcludeExStyles", "<WS_EX_DLGMODALFRAME><WS_EX_TOOLWINDOW><WS_EX_TRANSPARENT>"},
          {"Menu", "<stay><alpha>"},
          {"Priority", "4"},
          {"ButtonXOffset", "58"},
          {"ButtonYOffset", "6"},
          {"ButtonXStretch", "16"},
          {"ButtonYStretch", "14"},
          {"HMaxPercentage", "100"},
          {"VMaxPercentage", "100"},
          {"DrawOn", "<one>"}};
}

// The fifteen with `changes` made; a name that is not among them (such as
// kInstallPath) is added at the end.
inline SettingValues firstStartSettings(const std::map<std::string, std::string>& changes) {
  SettingValues values = firstStartSettings();
  std::map<std::string, std::string> added = changes;
  for (auto& [name, value] : values) {
    if (const auto changed = added.find(name); changed != added.end()) {
      value = changed->second;
      added.erase(changed);
    }
  }
  values.insert(values.end(), added.begin(), added.end());
  return values;
}

}  // namespace strennix::testsupport
