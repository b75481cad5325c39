// The state of a form's controls (check boxes, texts, enabled states and the
// track bar), for the settings form binding (settings/settingsform) alone.
#pragma once

#include <string>

#include "platform/ui.h"

namespace strennix {

class FormControlsPort {
 public:
  virtual ~FormControlsPort() = default;

  virtual bool checked(FormControl control) = 0;
  virtual void setChecked(FormControl control, bool checked) = 0;
  virtual bool enabled(FormControl control) = 0;
  virtual void setEnabled(FormControl control, bool enabled) = 0;
  virtual std::string text(FormControl control) = 0;
  virtual void setText(FormControl control, const std::string& text) = 0;

  virtual int trackPosition(FormControl trackBar) = 0;
  virtual void setTrackPosition(FormControl trackBar, int position) = 0;
};

}  // namespace strennix
