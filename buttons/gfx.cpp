#include "buttons/gfx.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "app/core/fullscreen.h"
#include "platform/hookprotocol.h"
#include "platform/winconst.h"
#include "resources/resource.h"

namespace strennix {

namespace {

// The left edge of slot k of a row that ends XO left of `right`, for both the
// hit test and the drawing: 64-bit so that no hand-written setting overflows.
std::int64_t slotLeft(std::int32_t right, std::int64_t k, const Settings& settings) {
  return std::int64_t{right} - settings.buttonXOffset - k * settings.buttonXStretch;
}

bool fitsInt(std::int64_t value) {
  return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
}

}  // namespace

SlotButtons enabledButtons(const Settings& settings) {
  SlotButtons row;
  const auto add = [&row](bool on, TitleButton button) {
    if (on) {
      row.order[static_cast<std::size_t>(row.count++)] = button;
    }
  };
  add(settings.usingTop, TitleButton::Top);
  add(settings.usingMinIcon, TitleButton::ToIcon);
  add(settings.usingShade, TitleButton::Shade);
  add(settings.usingMinMenu, TitleButton::ToMenu);
  add(settings.usingVMax, TitleButton::VMax);
  add(settings.usingHMax, TitleButton::HMax);
  return row;
}

// The hook libraries test presses with the same routine.
int slotAt(const Rect& window, Point click, const Settings& settings) {
  return hookprotocol::slotInRow(std::int64_t{window.right} - settings.buttonXOffset,
                                 std::int64_t{window.top} + settings.buttonYOffset,
                                 settings.buttonXStretch, settings.buttonYStretch,
                                 settings.numberOfButtons, click.x, click.y);
}

std::optional<TitleButton> buttonAt(const Rect& window, Point click, const Settings& settings) {
  const int pos = slotAt(window, click, settings);
  const SlotButtons row = enabledButtons(settings);
  if (pos < 0 || pos >= row.count) {
    return std::nullopt;
  }
  return row.order[static_cast<std::size_t>(pos)];
}

ButtonIcons loadButtonIcons(UiPort& ui) {
  return ButtonIcons{ui.loadIcon(IDI_BUTTON_HMAX),   ui.loadIcon(IDI_BUTTON_VMAX),
                     ui.loadIcon(IDI_BUTTON_TOMENU), ui.loadIcon(IDI_BUTTON_SHADE),
                     ui.loadIcon(IDI_BUTTON_TOICON), ui.loadIcon(IDI_BUTTON_PIN),
                     ui.loadIcon(IDI_BUTTON_PINNED)};
}

Gfx::Gfx(WindowPort& windows, DrawingPort& drawing, ButtonRowsPort& rows, WindowFilter& auth,
         const Settings& settings, const Logger& log)
    : windows_(windows),
      drawing_(drawing),
      rows_(rows),
      auth_(auth),
      settings_(settings),
      log_(log, kGfxLog) {}

void Gfx::setIcons(const ButtonIcons& icons) { icons_ = icons; }

bool Gfx::qualifies(Hwnd window) {
  return windows_.isWindow(window) && auth_.passesAll(window) && window != windows_.desktopWindow();
}

IconHandle Gfx::iconOf(TitleButton button, Hwnd window) {
  switch (button) {
    case TitleButton::Top:
      return (windows_.windowLong(window, win::kGwlExStyle) & win::kWsExTopmost) != 0
                 ? icons_.image7
                 : icons_.image6;
    case TitleButton::ToIcon:
      return icons_.image5;
    case TitleButton::Shade:
      return icons_.image4;
    case TitleButton::ToMenu:
      return icons_.image3;
    case TitleButton::VMax:
      return icons_.image2;
    case TitleButton::HMax:
      return icons_.image1;
  }
  return IconHandle{};
}

std::vector<IconHandle> Gfx::facesOf(Hwnd window) {
  std::vector<IconHandle> faces;
  for (const TitleButton button : enabledButtons(settings_)) {
    faces.push_back(iconOf(button, window));
  }
  return faces;
}

bool Gfx::drawButtons(Hwnd window) {
  log_.trace("Called drawButtons (Only reports exit on draw)");
  if (!qualifies(window)) {
    forget(window);
    return false;
  }
  const Rect rect = windows_.windowRect(window);
  if (coversItsMonitor(windows_, window, rect)) {
    forget(window);
    return false;
  }
  log_.trace("  Drawing buttons");
  {
    const WindowDcHandle dc = drawing_.windowDc(window);
    const int width = rect.width();
    // Only the background of DrawIconEx; the opaque icons never let it show.
    const BrushHandle brush = drawing_.solidBrush(win::kClBtnFace);
    int k = 1;
    for (const TitleButton button : enabledButtons(settings_)) {
      // A slot beyond the coordinate range lies far outside the window.
      const std::int64_t x = slotLeft(width, k++, settings_);
      if (fitsInt(x)) {
        drawing_.drawIconEx(dc.get(), static_cast<int>(x), settings_.buttonYOffset,
                            iconOf(button, window), settings_.buttonXStretch,
                            settings_.buttonYStretch, 0, brush.get(), win::kDiNormal);
      }
    }
    if (held_ && held_->window == window && held_->slot < k - 1) {
      const int left =
          width - ((held_->slot + 1) * settings_.buttonXStretch + settings_.buttonXOffset);
      drawing_.drawSunkenEdge(dc.get(),
                              Rect{left, settings_.buttonYOffset, left + settings_.buttonXStretch,
                                   settings_.buttonYOffset + settings_.buttonYStretch});
    }
    // The brush is deleted before the device context is released (reverse
    // order of acquisition).
  }
  rows_.publish(ButtonRow{window, settings_.buttonXOffset, settings_.buttonYOffset,
                          settings_.buttonXStretch, settings_.buttonYStretch,
                          settings_.numberOfButtons});
  log_.trace("Exited drawButtons");
  return true;
}

void Gfx::forget(Hwnd window) {
  rows_.withdraw(window);
  if (held_ && held_->window == window) {
    held_.reset();
  }
}

void Gfx::keepOnly(const std::vector<Hwnd>& painted) {
  for (const Hwnd window : rows_.publishedWindows()) {
    if (std::find(painted.begin(), painted.end(), window) == painted.end()) {
      forget(window);
    }
  }
}

}  // namespace strennix
