#include "settings/settingsstore.h"

#include <algorithm>
#include <string>

#include "app/core/registrystore.h"
#include "platform/hookprotocol.h"
#include "settings/integer.h"
#include "settings/tags.h"

namespace strennix {

namespace {

constexpr std::int32_t kMaxPriority = 9;
constexpr std::int32_t kMaxPercentage = 100;

std::int32_t readInt(const SettingsKey& key, const std::string& name) {
  return strToInt(key.readString(name));
}

ButtonLook buttonLookOf(const std::string& text) {
  if (text == kLookPainted) {
    return ButtonLook::Painted;
  }
  return text == kLookWindows ? ButtonLook::Windows : ButtonLook::Automatic;
}

std::int32_t notNegative(std::int32_t value) { return std::max(value, 0); }

// A button fits a title bar: the hook libraries ignore a published row of
// larger buttons, and the hit test stays cheap whatever is written.
std::int32_t buttonStretch(std::int32_t value) {
  return std::clamp(value, 0, hookprotocol::kMaxButtonStretch);
}

// Outside 0..100 falls back to the whole work area, not to nothing.
std::int32_t percentage(std::int32_t value) {
  return value < 0 || value > kMaxPercentage ? kMaxPercentage : value;
}

}  // namespace

std::uint32_t redrawInterval(std::int32_t priority) {
  return static_cast<std::uint32_t>(1000 - 100 * priority);
}

SettingsStore::SettingsStore(RegistryPort& registry, FileControl& fileControl, const Logger& log)
    : registry_(registry), fileControl_(fileControl), log_(log, kSetupAppLog) {}

void SettingsStore::regToVars(Settings& settings, ExclusionLists& lists,
                              const std::function<void(std::uint32_t)>& setRedrawInterval) {
  log_.trace("Called regToVars. (Critical)");
  {
    const SettingsKey key(registry_);

    const std::string buttons = key.readString(kValueButtons);
    settings.usingVMax = hasTag(buttons, kTagVMax);
    settings.usingHMax = hasTag(buttons, kTagHMax);
    settings.usingTop = hasTag(buttons, kTagTop);
    settings.usingShade = hasTag(buttons, kTagShade);
    settings.usingMinIcon = hasTag(buttons, kTagToIcon);
    settings.usingMinMenu = hasTag(buttons, kTagToMenu);
    // Counted here as well as by the form's load: when a later value fails,
    // the form's count never runs, and the hit test would miss a button that
    // the drawing already paints.
    settings.numberOfButtons = buttonsOn(settings);

    settings.excludingClasses = key.readString("classes") == "1";
    settings.excludingNames = key.readString("names") == "1";
    fileControl_.readClasses(settings.excludingClasses, lists.excludedClasses);
    fileControl_.readNames(settings.excludingNames, lists.excludedNames);

    const std::string menu = key.readString(kValueMenu);
    settings.menuStay = hasTag(menu, kTagStay);
    settings.menuSort = hasTag(menu, kTagAlpha);

    settings.drawOnAll = key.readString(kValueDrawOn) == kDrawOnAll;
    settings.buttonLook = buttonLookOf(key.readString(kValueButtonLook));

    settings.priority = std::clamp(readInt(key, "priority"), 0, kMaxPriority);
    setRedrawInterval(redrawInterval(settings.priority));

    settings.buttonXOffset = notNegative(readInt(key, kValueButtonXOffset));
    settings.buttonYOffset = notNegative(readInt(key, kValueButtonYOffset));
    settings.buttonXStretch = buttonStretch(readInt(key, kValueButtonXStretch));
    settings.buttonYStretch = buttonStretch(readInt(key, kValueButtonYStretch));

    settings.vMaxPercentage = percentage(readInt(key, kValueVMaxPercentage));
    settings.hMaxPercentage = percentage(readInt(key, kValueHMaxPercentage));

    settings.excludeStyles = styleMask(key.readString(kValueExcludeStyles));
    settings.excludeExStyles = exStyleMask(key.readString(kValueExcludeExStyles));
  }
  log_.trace("Exited regToVars.");
}

}  // namespace strennix
