// The buttons in windows of their own: one small button window over the
// title bar of each window that shows buttons, where the desktop composes
// the frames and would draw over a painted row (or where the user asked for
// them). Each follows its window: placed beside the system's caption
// buttons and kept just above it in the z-order (so a window that covers it
// covers its buttons too), hidden while it is out of sight, gone with it. A
// short poll follows the windows between the reports the program gets of
// them, faster while one moves (the window in front at each poll, the others
// at every few, and less often the longer they keep still); nothing here
// waits on another program.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "app/core/buttonfaces.h"
#include "app/core/log.h"
#include "app/core/settings.h"
#include "app/core/titlebuttons.h"
#include "app/core/windowfilter.h"
#include "buttonwindows/barplace.h"
#include "platform/buttonwindow.h"
#include "platform/desktop.h"
#include "platform/forms.h"
#include "platform/ui.h"
#include "platform/windowframe.h"
#include "platform/windowinfo.h"
#include "platform/windowplace.h"

namespace strennix {

// A click on a button window: released over the button it was pressed on.
struct BarClick {
  Hwnd window{};
  int slot = 0;  // 0 = the rightmost
  bool operator==(const BarClick&) const = default;
};

class ButtonWindows : public TitleButtons {
 public:
  // The button windows report to `owner`, whose timer `pollTimerId` runs
  // the poll.
  ButtonWindows(WindowInfoPort& windows, DesktopPort& desktop, WindowPlacePort& placement,
                ButtonWindowPort& bars, WindowFramePort& frames, WindowFilter& filter,
                ButtonFaces& faces, UiPort& ui, const Form& owner, std::uint32_t pollTimerId,
                const Settings& settings, const Logger& log);

  // Takes the way of showing from the settings and the desktop (composition
  // can be switched off and on while the program runs); when that is
  // painting, every button window goes.
  void chooseLook();
  [[nodiscard]] bool inUse() const { return inUse_; }

  // Shows the window's buttons in its button window if the window gets them
  // (made on first use); else it has none. Answers whether it shows them.
  bool show(Hwnd window) override;
  // Due while no button window exists, else after every twentieth poll
  // (two seconds while the windows keep still).
  bool roundDue() override;
  bool showOnRound(Hwnd window) override;
  void forget(Hwnd window) override;
  // Forgets every window but these.
  void keepOnly(const std::vector<Hwnd>& shown) override;
  // At Exit and in the end sequence.
  void destroyAll();
  // The button window over the window, or none.
  [[nodiscard]] Hwnd barOf(Hwnd window) const;

  // A report of a button window (isButtonWindowReport): a press shows its
  // button held and brings the window to the front; the release over the
  // same button is the click it answers. Reports of anything that is not a
  // button window of a window here change nothing.
  std::optional<BarClick> onReport(std::uint32_t message, Hwnd bar, std::int32_t point);

  [[nodiscard]] std::uint32_t pollTimerId() const { return poll_.id(); }
  void poll();

 private:
  struct Bar {
    explicit Bar(ButtonWindow made) : window(std::move(made)) {}
    ButtonWindow window;
    FrameFacts facts;
    Rect place;
    bool shown = false;
    bool topmost = false;
    // It moved at the last poll that followed it.
    bool moving = false;
    // Polls between two looks at it while it is not in front, and polls
    // left until the next.
    int quietPace = 0;
    int pollsToGo = 0;
    // Whether it covers its monitor; both are known for facts.window.
    bool fullScreen = false;
    bool factsKnown = false;
    ButtonPicture picture;
  };
  struct HeldSlot {
    Hwnd window{};
    int slot = -1;
  };

  [[nodiscard]] bool getsButtons(Hwnd window) const;
  [[nodiscard]] bool outOfSight(Hwnd window, const Bar& bar);
  [[nodiscard]] Hwnd windowUnder(Hwnd bar) const;
  // Brings the button window up to date with its window; answers whether it
  // moved.
  bool follow(Hwnd window, Bar& bar);
  // Follows it and sets when the poll looks at it again: soon after a
  // change, or when `reported`, later each time it kept still.
  void track(Hwnd window, Bar& bar, bool reported);
  void hide(Bar& bar);
  void repaint(Hwnd window, Bar& bar);
  void press(Hwnd window, Bar& bar, int slot);
  std::optional<BarClick> release(Hwnd window, Bar& bar, int slot);
  void hover(Hwnd window, Bar& bar, int slot);
  void schedulePoll(bool moved);

  WindowInfoPort& windows_;
  DesktopPort& desktop_;
  WindowPlacePort& placement_;
  ButtonWindowPort& bars_;
  WindowFramePort& frames_;
  WindowFilter& filter_;
  ButtonFaces& faces_;
  const Form& owner_;
  const Settings& settings_;
  ModuleLog log_;
  Timer poll_;
  bool inUse_ = false;
  // Polls left at the fast pace.
  int fastPolls_ = 0;
  int pollsSinceRound_ = 0;
  std::map<Hwnd, Bar> shown_;
  std::optional<HeldSlot> held_;
  std::optional<HeldSlot> hovered_;
};

}  // namespace strennix
