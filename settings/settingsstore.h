// The settings loader: registry values into the settings record, the
// exclusion lists and the redraw interval.
#pragma once

#include <cstdint>
#include <functional>

#include "app/core/exclusionlists.h"
#include "app/core/filecontrol.h"
#include "app/core/log.h"
#include "app/core/settings.h"
#include "platform/registry.h"

namespace strennix {

// Milliseconds between two redraws: 1000 at priority 0, 100 at priority 9.
std::uint32_t redrawInterval(std::int32_t priority);

class SettingsStore {
 public:
  SettingsStore(RegistryPort& registry, FileControl& fileControl, const Logger& log);

  // Loads every field but numberOfButtons, in a fixed order. A value that
  // fails (not an integer, wrong registry type) throws StrennixError; the
  // fields loaded before it keep their new values, the rest their old ones.
  // The interval is handed on as soon as the priority is known.
  void regToVars(Settings& settings, ExclusionLists& lists,
                 const std::function<void(std::uint32_t)>& setRedrawInterval);

 private:
  RegistryPort& registry_;
  FileControl& fileControl_;
  ModuleLog log_;
};

}  // namespace strennix
