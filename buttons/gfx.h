// The extra title-bar buttons: their slot order and geometry (shared by the
// painting and the click hit test, so the two always agree) and their
// painting into another program's title bar.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "app/core/buttonfaces.h"
#include "app/core/buttongeometry.h"
#include "app/core/log.h"
#include "app/core/settings.h"
#include "app/core/titlebuttons.h"
#include "app/core/windowfilter.h"
#include "platform/buttonrows.h"
#include "platform/desktop.h"
#include "platform/drawing.h"
#include "platform/types.h"
#include "platform/ui.h"
#include "platform/windowframe.h"
#include "platform/windowinfo.h"

namespace strennix {

// In slot order, counted from the right edge of the window.
enum class TitleButton { Top, ToIcon, Shade, ToMenu, VMax, HMax };

// The switched-on buttons packed without holes: slot k (1-based) holds
// order[k - 1]. A fixed array, since it is built per window per tick.
struct SlotButtons {
  std::array<TitleButton, 6> order{};
  int count = 0;
  [[nodiscard]] const TitleButton* begin() const { return order.data(); }
  [[nodiscard]] const TitleButton* end() const { return order.data() + count; }
};

SlotButtons enabledButtons(const Settings& settings);

// The hit test of a click at a screen point against the button row of a
// window with this rectangle at this DPI: pos (0 = the rightmost slot) when
// the point lies strictly inside the row (the drawn row less its leftmost
// column and its top and bottom rows), -1 otherwise. Counts
// `numberOfButtons` slots.
int slotAt(const Rect& window, Point click, const Settings& settings,
           std::uint32_t dpi = kDefaultDpi);

// The button at place pos of the enabled row; nothing for a place without
// one or a click outside the row.
std::optional<TitleButton> buttonAt(const Rect& window, Point click, const Settings& settings,
                                    std::uint32_t dpi = kDefaultDpi);

// The seven 16 x 14 button icons, owned by the caller for the whole run.
struct ButtonIcons {
  IconHandle image1{};  // maximize horizontally
  IconHandle image2{};  // maximize vertically
  IconHandle image3{};  // minimize to the tray menu
  IconHandle image4{};  // shade
  IconHandle image5{};  // minimize to a tray icon
  IconHandle image6{};  // not on top: pin lying on its side
  IconHandle image7{};  // on top: pin pressed in
};

// The icons from the executable's resources.
ButtonIcons loadButtonIcons(UiPort& ui);

// A button held down: slot 0 is the rightmost.
struct HeldButton {
  Hwnd window{};
  int slot = 0;
  bool operator==(const HeldButton&) const = default;
};

class Gfx : public ButtonFaces, public TitleButtons {
 public:
  Gfx(WindowInfoPort& windows, DesktopPort& desktop, WindowFramePort& frames, DrawingPort& drawing,
      ButtonRowsPort& rows, WindowFilter& auth, const Settings& settings, const Logger& log);

  void setIcons(const ButtonIcons& icons);
  // Paints the switched-on buttons into the window's title bar if the
  // window qualifies, and publishes the row for the hook libraries; a window
  // that does not qualify loses its row. Answers whether it painted.
  bool drawButtons(Hwnd window);
  std::vector<IconHandle> facesOf(Hwnd window) override;
  bool show(Hwnd window) override { return drawButtons(window); }
  bool roundDue() override { return true; }
  bool showOnRound(Hwnd window) override { return drawButtons(window); }
  // The slot of the window's painted row under a screen point, as slotAt
  // at the window's DPI.
  int slotAt(Hwnd window, Point click);
  // The window's title bar shows no buttons any more.
  void forget(Hwnd window) override;
  // Forgets every window with a row but these.
  void keepOnly(const std::vector<Hwnd>& painted) override;

  // The held button is drawn sunken until it is let go.
  void hold(const HeldButton& button) { held_ = button; }
  void letGo() { held_.reset(); }
  [[nodiscard]] const std::optional<HeldButton>& held() const { return held_; }

 private:
  bool qualifies(Hwnd window);
  IconHandle iconOf(TitleButton button, Hwnd window);

  WindowInfoPort& windows_;
  DesktopPort& desktop_;
  WindowFramePort& frames_;
  DrawingPort& drawing_;
  ButtonRowsPort& rows_;
  WindowFilter& auth_;
  const Settings& settings_;
  ModuleLog log_;
  ButtonIcons icons_;
  std::optional<HeldButton> held_;
};

}  // namespace strennix
