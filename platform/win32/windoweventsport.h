// WindowEventsPort on the system's accessibility events, taken out of
// context.
#pragma once

#include "platform/windowevents.h"

namespace strennix::win32 {

class Win32WindowEventsPort final : public WindowEventsPort {
 public:
  WindowEventWatch watchWindowEvents() override;
  void endWatch(const WindowEventHooks& hooks) override;
};

}  // namespace strennix::win32
