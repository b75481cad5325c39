// The simulated FormControlsPort: the state of the controls of the shared
// world's forms.
#pragma once

#include "platform/formcontrols.h"
#include "platform/sim/simworld.h"

namespace strennix::sim {

class SimFormControlsPort : public FormControlsPort {
 public:
  explicit SimFormControlsPort(SimWorld& world) : world_(world) {}

  bool checked(FormControl control) override;
  void setChecked(FormControl control, bool checked) override;
  bool enabled(FormControl control) override;
  void setEnabled(FormControl control, bool enabled) override;
  std::string text(FormControl control) override;
  void setText(FormControl control, const std::string& text) override;
  int trackPosition(FormControl trackBar) override;
  void setTrackPosition(FormControl trackBar, int position) override;

 private:
  SimWorld& world_;
};

}  // namespace strennix::sim
