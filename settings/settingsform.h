// The settings form's binding to the registry: loading the controls from the
// store, saving them back, and the two check boxes that enable Edit buttons.
#pragma once

#include "app/core/log.h"
#include "app/core/settings.h"
#include "app/core/translator.h"
#include "platform/formcontrols.h"
#include "platform/forms.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/ui.h"

namespace strennix {

class SettingsKey;

class SettingsBinding {
 public:
  SettingsBinding(RegistryPort& registry, SystemPort& system, FormControlsPort& controls,
                  const Form& form, const Logger& log);

  // Checks the boxes whose settings are on (it never unchecks one; each radio
  // pair gets exactly one checked) and recounts settings.numberOfButtons.
  void regToForm(Settings& settings);
  // Writes the form's state; tags of "ExcludeExStyles" the form does not
  // show are kept as they are.
  void formToReg();
  // The captions a language file may translate, in the user's language.
  void translateCaptions(const Translator& lang);
  void chkClassesClick();
  void chkNamesClick();

 private:
  [[nodiscard]] FormControl control(int controlId) const;
  [[nodiscard]] bool isChecked(int controlId) const;
  void check(int controlId, bool checked = true);
  void enable(int controlId, bool enabled = true);

  void buttonsToForm(Settings& settings);
  void runEntryToForm();
  void writeExStyles(SettingsKey& key);
  void writeRunEntry();

  RegistryPort& registry_;
  SystemPort& system_;
  FormControlsPort& controls_;
  const Form& form_;
  ModuleLog log_;
};

}  // namespace strennix
