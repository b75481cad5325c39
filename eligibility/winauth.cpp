#include "eligibility/winauth.h"

#include <algorithm>

namespace strennix {

namespace {

// GetClassNameA's buffer: at most 259 characters are compared.
constexpr int kClassNameBufferSize = 260;

}  // namespace

WinAuth::WinAuth(WindowInfoPort& windows, SystemPort& system, NameFromWindow& names,
                 const Settings& settings, const ExclusionLists& lists, const Logger& log)
    : windows_(windows),
      system_(system),
      names_(names),
      settings_(settings),
      lists_(lists),
      log_(log, kWinAuthLog) {}

void WinAuth::setOwnWindows(Hwnd settingsForm, Hwnd trayForm) {
  settingsForm_ = settingsForm;
  trayForm_ = trayForm;
}

bool WinAuth::checkStyles(Hwnd window) {
  log_.trace("Called checkStyles. (Several exits)");
  if (window == settingsForm_ || window == trayForm_) {
    return false;
  }
  const WindowStyles styles = windows_.styles(window);
  if ((styles.exStyle & settings_.excludeExStyles) != 0) {
    return false;
  }
  return (styles.style & settings_.excludeStyles) == 0 && !windows_.isMaximized(window);
}

bool WinAuth::checkNames(Hwnd window) {
  log_.trace("Called checkNames. (Several exits)");
  if (!settings_.excludingNames) {
    return true;
  }
  return !listed(lists_.excludedNames, names_.nameFromWindow(window));
}

bool WinAuth::checkClasses(Hwnd window) {
  log_.trace("Called checkClasses. (Several exits)");
  if (!settings_.excludingClasses) {
    return true;
  }
  return !listed(lists_.excludedClasses, windows_.className(window, kClassNameBufferSize));
}

bool WinAuth::passesAll(Hwnd window) {
  return checkStyles(window) && checkNames(window) && checkClasses(window);
}

bool WinAuth::listed(const std::vector<std::string>& list, std::string_view name) {
  return std::any_of(list.begin(), list.end(), [this, name](const std::string& entry) {
    return system_.equalIgnoringCase(entry, name);
  });
}

}  // namespace strennix
