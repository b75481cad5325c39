// FormControlsPort on USER32 and COMCTL32: the state of the controls of the
// forms that the UI port made, kept without windows until a form is shown.
#pragma once

#include "platform/formcontrols.h"
#include "platform/win32/uiport.h"

namespace strennix::win32 {

class Win32FormControlsPort final : public FormControlsPort {
 public:
  explicit Win32FormControlsPort(Win32UiPort& forms) : forms_(forms) {}

  bool checked(FormControl control) override;
  void setChecked(FormControl control, bool checked) override;
  bool enabled(FormControl control) override;
  void setEnabled(FormControl control, bool enabled) override;
  std::string text(FormControl control) override;
  void setText(FormControl control, const std::string& text) override;
  int trackPosition(FormControl trackBar) override;
  void setTrackPosition(FormControl trackBar, int position) override;

 private:
  Win32UiPort& forms_;
};

}  // namespace strennix::win32
