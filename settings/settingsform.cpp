#include "settings/settingsform.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "app/core/registrystore.h"
#include "resources/resource.h"
#include "settings/integer.h"
#include "settings/tags.h"

namespace strennix {

namespace {

// The form's captions that a language file may translate, in the order they
// are looked up.
constexpr std::array kTranslatedControls = {
    IDC_BTNEDITCLASSES, IDC_BTNEDITNAMES,    IDC_BTNHIDE,     IDC_BTNQUIT,      IDC_BTNSAVE,
    IDC_CHKCLASSES,     IDC_CHKHMAX,         IDC_CHKMENUSTAY, IDC_CHKMINICON,   IDC_CHKMINMENU,
    IDC_CHKMSGBOX,      IDC_CHKNAMES,        IDC_CHKSHADE,    IDC_CHKSTART,     IDC_CHKTOOL,
    IDC_CHKTOP,         IDC_CHKTRANSP,       IDC_CHKVMAX,     IDC_GROUPBUTTONS, IDC_GROUPEXCLUDE,
    IDC_GRPDRAWON,      IDC_GRPMENU,         IDC_GRPPRIORITY, IDC_LBLSORT,      IDC_RDBTNALLWINDOWS,
    IDC_RDBTNALPHA,     IDC_RDBTNFOREGROUND, IDC_RDBTNTIME};

struct TagBox {
  int controlId;
  std::string_view tag;
};

// The order in which regToForm tests the button tags.
constexpr std::array<TagBox, 6> kButtonsLoadOrder = {{
    {IDC_CHKHMAX, kTagHMax},
    {IDC_CHKVMAX, kTagVMax},
    {IDC_CHKTOP, kTagTop},
    {IDC_CHKSHADE, kTagShade},
    {IDC_CHKMINICON, kTagToIcon},
    {IDC_CHKMINMENU, kTagToMenu},
}};

// The order in which formToReg writes them.
constexpr std::array<TagBox, 6> kButtonsSaveOrder = {{
    {IDC_CHKVMAX, kTagVMax},
    {IDC_CHKHMAX, kTagHMax},
    {IDC_CHKSHADE, kTagShade},
    {IDC_CHKTOP, kTagTop},
    {IDC_CHKMINMENU, kTagToMenu},
    {IDC_CHKMINICON, kTagToIcon},
}};

constexpr std::array<TagBox, 3> kExStyleBoxes = {{
    {IDC_CHKTOOL, kTagExToolWindow},
    {IDC_CHKMSGBOX, kTagExDlgModalFrame},
    {IDC_CHKTRANSP, kTagExTransparent},
}};

constexpr int kMaxTrackPosition = 9;

// Adds or removes one tag, touching nothing else of the text.
void applyTag(std::string& text, std::string_view tag, bool wanted) {
  const std::size_t at = text.find(tag);
  if (wanted && at == std::string::npos) {
    text += tag;
  } else if (!wanted && at != std::string::npos) {
    text.erase(at, tag.size());
  }
}

const char* flag(bool on) { return on ? "1" : "0"; }

}  // namespace

SettingsBinding::SettingsBinding(RegistryPort& registry, SystemPort& system,
                                 FormControlsPort& controls, const Form& form, const Logger& log)
    : registry_(registry),
      system_(system),
      controls_(controls),
      form_(form),
      log_(log, kSetupAppLog) {}

void SettingsBinding::translateCaptions(const Translator& lang) {
  for (const int id : kTranslatedControls) {
    const FormControl caption = control(id);
    controls_.setText(caption, lang.translate(controls_.text(caption)));
  }
}

FormControl SettingsBinding::control(int controlId) const { return form_.control(controlId); }

bool SettingsBinding::isChecked(int controlId) const {
  return controls_.checked(control(controlId));
}

void SettingsBinding::check(int controlId, bool checked) {
  controls_.setChecked(control(controlId), checked);
}

void SettingsBinding::enable(int controlId, bool enabled) {
  controls_.setEnabled(control(controlId), enabled);
}

void SettingsBinding::regToForm(Settings& settings) {
  log_.trace("Called regToForm");
  {
    const SettingsKey key(registry_);
    settings.numberOfButtons = 0;
    const std::string buttons = key.readString(kValueButtons);
    for (const TagBox& box : kButtonsLoadOrder) {
      if (hasTag(buttons, box.tag)) {
        check(box.controlId);
        ++settings.numberOfButtons;
      }
    }

    const std::string exStyles = key.readString(kValueExcludeExStyles);
    for (const TagBox& box : kExStyleBoxes) {
      if (hasTag(exStyles, box.tag)) {
        check(box.controlId);
      }
    }

    if (key.readString(kValueClasses) == "1") {
      check(IDC_CHKCLASSES);
      enable(IDC_BTNEDITCLASSES);
    }
    if (key.readString(kValueNames) == "1") {
      check(IDC_CHKNAMES);
      enable(IDC_BTNEDITNAMES);
    }

    const std::string menu = key.readString(kValueMenu);
    if (hasTag(menu, kTagStay)) {
      check(IDC_CHKMENUSTAY);
    }
    // A radio pair: exactly one of the two is checked.
    const bool alpha = hasTag(menu, kTagAlpha);
    check(IDC_RDBTNALPHA, alpha);
    check(IDC_RDBTNTIME, !alpha);

    const bool all = key.readString(kValueDrawOn) == kDrawOnAll;
    check(IDC_RDBTNFOREGROUND, !all);
    check(IDC_RDBTNALLWINDOWS, all);

    const std::int32_t priority = strToInt(key.readString("priority"));
    controls_.setTrackPosition(control(IDC_TRACKPRIORITY),
                               std::clamp(priority, 0, kMaxTrackPosition));

    runEntryToForm();
  }
  log_.trace("Exited regToForm");
}

void SettingsBinding::runEntryToForm() {
  const SettingsKey run(registry_, kRunKeyPath, false);
  if (run.exists(kRunValueName)) {
    check(IDC_CHKSTART);
  }
}

void SettingsBinding::formToReg() {
  log_.trace("Called formToReg.");
  {
    SettingsKey key(registry_);
    std::string buttons;
    for (const TagBox& box : kButtonsSaveOrder) {
      if (isChecked(box.controlId)) {
        buttons += box.tag;
      }
    }
    key.writeString(kValueButtons, buttons);

    writeExStyles(key);

    key.writeString(kValueClasses, flag(isChecked(IDC_CHKCLASSES)));
    key.writeString(kValueNames, flag(isChecked(IDC_CHKNAMES)));

    std::string menu;
    if (isChecked(IDC_CHKMENUSTAY)) {
      menu += kTagStay;
    }
    if (isChecked(IDC_RDBTNALPHA)) {
      menu += kTagAlpha;
    }
    key.writeString(kValueMenu, menu);

    key.writeString(kValueDrawOn, isChecked(IDC_RDBTNALLWINDOWS) ? kDrawOnAll : kDrawOnOne);
    key.writeString(kValuePriority,
                    std::to_string(controls_.trackPosition(control(IDC_TRACKPRIORITY))));

    writeRunEntry();
  }
  log_.trace("Exited formToReg.");
}

void SettingsBinding::writeExStyles(SettingsKey& key) {
  std::string exStyles = key.readString(kValueExcludeExStyles);
  for (const TagBox& box : kExStyleBoxes) {
    applyTag(exStyles, box.tag, isChecked(box.controlId));
  }
  key.writeString(kValueExcludeExStyles, exStyles);
}

// Unchecking removes the entry: otherwise the box would come back checked on
// the next load and the program could never be taken out of the log-on list.
// The path is quoted: unquoted, a path with blanks can start another program
// at log-on. A missing Run key is created, and a failure is raised for the
// error box rather than leaving the box ticked over nothing.
void SettingsBinding::writeRunEntry() {
  if (isChecked(IDC_CHKSTART)) {
    SettingsKey run(registry_, kRunKeyPath, true);
    run.writeString(kRunValueName, '"' + system_.executablePath() + '"');
    return;
  }
  SettingsKey run(registry_, kRunKeyPath, false);
  if (run.exists(kRunValueName) && !run.deleteValue(kRunValueName)) {
    throw StrennixError(std::string("Failed to delete '") + kRunValueName + "'");
  }
}

void SettingsBinding::chkClassesClick() { enable(IDC_BTNEDITCLASSES, isChecked(IDC_CHKCLASSES)); }

void SettingsBinding::chkNamesClick() { enable(IDC_BTNEDITNAMES, isChecked(IDC_CHKNAMES)); }

}  // namespace strennix
