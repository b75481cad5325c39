#include "platform/sim/simdesktop.h"

namespace strennix::sim {

SimDesktop::SimDesktop()
    : SimWindowPort(static_cast<SimWorld&>(*this)),
      SimDrawingPort(static_cast<SimWorld&>(*this)),
      SimShellPort(static_cast<SimWorld&>(*this)),
      SimRegistryPort(static_cast<SimWorld&>(*this)),
      SimSystemPort(static_cast<SimWorld&>(*this)),
      SimFilePort(static_cast<SimWorld&>(*this)),
      SimClockPort(static_cast<SimWorld&>(*this)),
      SimMessageBoxPort(static_cast<SimWorld&>(*this)),
      SimHookPort(static_cast<SimWorld&>(*this)),
      SimProcessPort(static_cast<SimWorld&>(*this)),
      SimUiPort(static_cast<SimWorld&>(*this)),
      SimButtonRowsPort(static_cast<SimWorld&>(*this)),
      SimWindowEventsPort(static_cast<SimWorld&>(*this)) {}

Ports SimDesktop::ports() {
  return Ports{*this,     *this, *this, *this, *this, *this, *this,
               *this,     *this, *this, *this, *this, *this, buttonWindowPort_,
               framePort_};
}

}  // namespace strennix::sim
