#include "platform/sim/simformcontrolsport.h"

namespace strennix::sim {

bool SimFormControlsPort::checked(FormControl control) {
  const SimControl* c = world_.findControl(control);
  return c != nullptr && c->checked;
}

void SimFormControlsPort::setChecked(FormControl control, bool checked) {
  if (SimControl* c = world_.findControl(control)) {
    c->checked = checked;
  }
}

bool SimFormControlsPort::enabled(FormControl control) {
  const SimControl* c = world_.findControl(control);
  return c != nullptr && c->enabled;
}

void SimFormControlsPort::setEnabled(FormControl control, bool enabled) {
  if (SimControl* c = world_.findControl(control)) {
    c->enabled = enabled;
  }
}

std::string SimFormControlsPort::text(FormControl control) {
  const SimControl* c = world_.findControl(control);
  return c == nullptr ? std::string() : c->text;
}

void SimFormControlsPort::setText(FormControl control, const std::string& text) {
  if (SimControl* c = world_.findControl(control)) {
    c->text = text;
  }
}

int SimFormControlsPort::trackPosition(FormControl trackBar) {
  const SimControl* c = world_.findControl(trackBar);
  return c == nullptr ? 0 : c->trackPosition;
}

void SimFormControlsPort::setTrackPosition(FormControl trackBar, int position) {
  if (SimControl* c = world_.findControl(trackBar)) {
    c->trackPosition = position;
  }
}

}  // namespace strennix::sim
