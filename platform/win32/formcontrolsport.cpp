#include "platform/win32/formcontrolsport.h"

#include <windows.h>
// After <windows.h>, which it needs.
#include <commctrl.h>

#include "platform/win32/formwindow.h"

namespace strennix::win32 {

bool Win32FormControlsPort::checked(FormControl control) {
  if (const FormWindow* form = forms_.unbuiltForm(control.form)) {
    return *currentState(*form, control.id).checked;
  }
  return send(forms_.controlWindow(control), BM_GETCHECK) == BST_CHECKED;
}

void Win32FormControlsPort::setChecked(FormControl control, bool checked) {
  if (FormWindow* form = forms_.unbuiltForm(control.form)) {
    form->pending[control.id].checked = checked;
    return;
  }
  send(forms_.controlWindow(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool Win32FormControlsPort::enabled(FormControl control) {
  if (const FormWindow* form = forms_.unbuiltForm(control.form)) {
    return *currentState(*form, control.id).enabled;
  }
  return IsWindowEnabled(toHwnd(forms_.controlWindow(control))) != FALSE;
}

void Win32FormControlsPort::setEnabled(FormControl control, bool enabled) {
  if (FormWindow* form = forms_.unbuiltForm(control.form)) {
    form->pending[control.id].enabled = enabled;
    return;
  }
  EnableWindow(toHwnd(forms_.controlWindow(control)), enabled ? TRUE : FALSE);
}

std::string Win32FormControlsPort::text(FormControl control) {
  if (const FormWindow* form = forms_.unbuiltForm(control.form)) {
    return *currentState(*form, control.id).text;
  }
  return windowTextOf(toHwnd(forms_.controlWindow(control)));
}

void Win32FormControlsPort::setText(FormControl control, const std::string& text) {
  if (FormWindow* form = forms_.unbuiltForm(control.form)) {
    form->pending[control.id].text = text;
    return;
  }
  SetWindowTextA(toHwnd(forms_.controlWindow(control)), text.c_str());
}

int Win32FormControlsPort::trackPosition(FormControl trackBar) {
  if (const FormWindow* form = forms_.unbuiltForm(trackBar.form)) {
    return *currentState(*form, trackBar.id).trackPosition;
  }
  return static_cast<int>(send(forms_.controlWindow(trackBar), TBM_GETPOS));
}

void Win32FormControlsPort::setTrackPosition(FormControl trackBar, int position) {
  if (FormWindow* form = forms_.unbuiltForm(trackBar.form)) {
    form->pending[trackBar.id].trackPosition = position;
    return;
  }
  send(forms_.controlWindow(trackBar), TBM_SETPOS, TRUE, position);
}

}  // namespace strennix::win32
