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

// The left edge of slot k of a row that ends XO left of `right`: 64-bit so
// that no hand-written setting overflows.
std::int64_t slotLeft(std::int32_t right, std::int64_t k, const ButtonGeometry& geometry) {
  return std::int64_t{right} - geometry.xOffset - k * geometry.slotWidth;
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
int slotAt(const Rect& window, Point click, const Settings& settings, std::uint32_t dpi) {
  const ButtonGeometry geometry = buttonGeometry(settings, dpi);
  return hookprotocol::slotInRow(std::int64_t{window.right} - geometry.xOffset,
                                 std::int64_t{window.top} + geometry.yOffset, geometry.slotWidth,
                                 geometry.height, settings.numberOfButtons, click.x, click.y);
}

std::optional<TitleButton> buttonAt(const Rect& window, Point click, const Settings& settings,
                                    std::uint32_t dpi) {
  const int pos = slotAt(window, click, settings, dpi);
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

Gfx::Gfx(WindowInfoPort& windows, DesktopPort& desktop, WindowFramePort& frames,
         DrawingPort& drawing, ButtonRowsPort& rows, WindowFilter& auth, const Settings& settings,
         const Logger& log)
    : windows_(windows),
      desktop_(desktop),
      frames_(frames),
      drawing_(drawing),
      rows_(rows),
      auth_(auth),
      settings_(settings),
      log_(log, kGfxLog) {}

void Gfx::setIcons(const ButtonIcons& icons) { icons_ = icons; }

bool Gfx::qualifies(Hwnd window) {
  return windows_.isWindow(window) && auth_.passesAll(window) && window != desktop_.desktopWindow();
}

IconHandle Gfx::iconOf(TitleButton button, Hwnd window) {
  switch (button) {
    case TitleButton::Top:
      return windows_.isTopmost(window) ? icons_.image7 : icons_.image6;
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
  if (coversItsMonitor(desktop_, window, rect)) {
    forget(window);
    return false;
  }
  log_.trace("  Drawing buttons");
  const ButtonGeometry geometry = buttonGeometry(settings_, frames_.dpi(window));
  {
    const WindowDcHandle dc = drawing_.windowDc(window);
    const int width = rect.width();
    // Only the background of DrawIconEx; the opaque icons never let it show.
    const BrushHandle brush = drawing_.solidBrush(win::kClBtnFace);
    int k = 1;
    for (const TitleButton button : enabledButtons(settings_)) {
      // A slot beyond the coordinate range lies far outside the window.
      const std::int64_t x = slotLeft(width, k++, geometry);
      if (fitsInt(x)) {
        drawing_.drawIconEx(dc.get(), static_cast<int>(x), geometry.yOffset, iconOf(button, window),
                            geometry.slotWidth, geometry.height, 0, brush.get(), win::kDiNormal);
      }
    }
    if (held_ && held_->window == window && held_->slot < k - 1) {
      const int left = width - ((held_->slot + 1) * geometry.slotWidth + geometry.xOffset);
      drawing_.drawSunkenEdge(dc.get(), Rect{left, geometry.yOffset, left + geometry.slotWidth,
                                             geometry.yOffset + geometry.height});
    }
    // The brush is deleted before the device context is released (reverse
    // order of acquisition).
  }
  rows_.publish(ButtonRow{window, geometry.xOffset, geometry.yOffset, geometry.slotWidth,
                          geometry.height, settings_.numberOfButtons});
  log_.trace("Exited drawButtons");
  return true;
}

int Gfx::slotAt(Hwnd window, Point click) {
  return strennix::slotAt(windows_.windowRect(window), click, settings_, frames_.dpi(window));
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
