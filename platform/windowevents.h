// What the system reports, as it happens, of the top-level windows of other
// programs (its accessibility events): a new title, a move or a change of
// size, a window hidden. Each of these repaints a title bar or uncovers the
// windows under it, so the buttons are painted again at once rather than at
// the next tick. The reports arrive as messages posted to the main window:
// kStrnxCaptionChange or kStrnxUncovered, wParam the window.
#pragma once

#include <cstdint>

#include "platform/handle.h"
#include "platform/types.h"

namespace strennix {

class WindowEventsPort;

// The system's hooks of one watch; either may be 0 when it was refused.
struct WindowEventHooks {
  HookHandle titles{};
  HookHandle windows{};
  bool operator==(const WindowEventHooks&) const = default;
};

struct WindowEventWatchTraits {
  using Value = WindowEventHooks;
  using Owner = WindowEventsPort;
  static bool valid(const Value& value) {
    return value.titles != HookHandle{} || value.windows != HookHandle{};
  }
  static void release(Owner& owner, const Value& value) noexcept;
};

// While it is held, the reports are posted.
using WindowEventWatch = UniqueHandle<WindowEventWatchTraits>;

class WindowEventsPort {
 public:
  virtual ~WindowEventsPort() = default;
  // Starts the reports; an empty watch where the system has no such events
  // (Windows 95, NT 4), and then the redraw timer alone brings the buttons
  // back.
  virtual WindowEventWatch watchWindowEvents() = 0;
  // Ends them; called by the watch.
  virtual void endWatch(const WindowEventHooks& hooks) = 0;
};

inline void WindowEventWatchTraits::release(Owner& owner, const Value& value) noexcept {
  owner.endWatch(value);
}

// What a system event makes known, when it is about a window itself rather
// than a part of it (its caret, cursor, scroll bars or list items).
enum class WindowEventReport {
  None,
  // Its title bar is painted anew: a new title.
  CaptionChange,
  // It moved, changed size or was hidden: its own title bar and the windows
  // it covered are painted anew.
  Uncovered,
};
WindowEventReport reportOf(std::uint32_t event, std::int32_t object, std::int32_t child);

}  // namespace strennix
