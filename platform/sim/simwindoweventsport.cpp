#include "platform/sim/simwindoweventsport.h"

namespace strennix::sim {

WindowEventWatch SimWindowEventsPort::watchWindowEvents() {
  ++world_.windowEventWatches.acquired;
  return WindowEventWatch(*this, WindowEventHooks{world_.newResourceOf<HookHandle>(),
                                                  world_.newResourceOf<HookHandle>()});
}

void SimWindowEventsPort::endWatch(const WindowEventHooks& /*hooks*/) {
  ++world_.windowEventWatches.released;
}

}  // namespace strennix::sim
