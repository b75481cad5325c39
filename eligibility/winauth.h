// Which top-level windows of other programs get the extra buttons: three
// predicates on styles, the owning process's file name and the class name,
// evaluated afresh on every call.
#pragma once

#include <string_view>
#include <vector>

#include "app/core/exclusionlists.h"
#include "app/core/log.h"
#include "app/core/settings.h"
#include "app/core/windowfilter.h"
#include "eligibility/namefromwindow.h"
#include "platform/system.h"
#include "platform/types.h"
#include "platform/windowinfo.h"

namespace strennix {

class WinAuth : public WindowFilter {
 public:
  WinAuth(WindowInfoPort& windows, SystemPort& system, NameFromWindow& names,
          const Settings& settings, const ExclusionLists& lists, const Logger& log);

  // The program's own two windows, which are never extended.
  void setOwnWindows(Hwnd settingsForm, Hwnd trayForm);

  bool checkStyles(Hwnd window);
  // No process lookup is made while the file-name list is off.
  bool checkNames(Hwnd window);
  bool checkClasses(Hwnd window);
  // checkStyles, checkNames, checkClasses in this order, stopping at the
  // first that refuses: the common part of drawing and click handling.
  bool passesAll(Hwnd window) override;

 private:
  bool listed(const std::vector<std::string>& list, std::string_view name);

  WindowInfoPort& windows_;
  SystemPort& system_;
  NameFromWindow& names_;
  const Settings& settings_;
  const ExclusionLists& lists_;
  ModuleLog log_;
  Hwnd settingsForm_{};
  Hwnd trayForm_{};
};

}  // namespace strennix
