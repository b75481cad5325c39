// Small windows of the program's own, each showing a row of buttons over
// another program's title bar where the desktop composes the frames itself
// and nothing painted into them shows. They are made by the program's own
// thread, never take the activation, and are kept just above the window
// they serve. What the mouse does on one reaches the main window as a posted
// message: wParam the button window, lParam the point in it (packPoint).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/handle.h"
#include "platform/hookprotocol.h"
#include "platform/types.h"

namespace strennix {

class ButtonWindowPort;

// A button window, destroyed with DestroyWindow.
struct ButtonWindowTraits {
  using Value = Hwnd;
  using Owner = ButtonWindowPort;
  static bool valid(const Value& value) { return value != Hwnd{}; }
  static void release(Owner& owner, const Value& value) noexcept;
};
using ButtonWindow = UniqueHandle<ButtonWindowTraits>;

// The reports of a button window. A release also comes when the mouse was
// taken from it while held, at a point outside it.
inline constexpr std::uint32_t kStrnxBarPress = hookprotocol::kWmApp + 0x80;
inline constexpr std::uint32_t kStrnxBarRelease = hookprotocol::kWmApp + 0x81;
inline constexpr std::uint32_t kStrnxBarMove = hookprotocol::kWmApp + 0x82;
inline constexpr std::uint32_t kStrnxBarLeave = hookprotocol::kWmApp + 0x83;

[[nodiscard]] constexpr bool isButtonWindowReport(std::uint32_t message) {
  return message >= kStrnxBarPress && message <= kStrnxBarLeave;
}

// A point as mouse messages carry it: x in the low word, y in the high word,
// both signed.
[[nodiscard]] constexpr std::int32_t packPoint(Point point) {
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(point.y) << 16U) |
                                   (static_cast<std::uint32_t>(point.x) & 0xFFFFU));
}
[[nodiscard]] constexpr Point unpackPoint(std::int32_t packed) {
  const auto bits = static_cast<std::uint32_t>(packed);
  return Point{static_cast<std::int16_t>(bits & 0xFFFFU), static_cast<std::int16_t>(bits >> 16U)};
}

// What a button window shows: the icons scaled to slots of one size, slot 0
// (the rightmost) first; one slot may look hovered and one pressed (-1: none).
struct ButtonPicture {
  std::vector<IconHandle> icons;
  std::int32_t slotWidth = 0;
  std::int32_t height = 0;
  int hoverSlot = -1;
  int pressedSlot = -1;
  bool operator==(const ButtonPicture&) const = default;
};

class ButtonWindowPort {
 public:
  virtual ~ButtonWindowPort() = default;
  // False where the system cannot make them (no layered windows).
  virtual bool available() = 0;
  // A hidden button window that reports to `notify`; empty when refused.
  virtual ButtonWindow create(Hwnd notify) = 0;
  // Puts it at `place` (screen) just above `target` in the z-order, topmost
  // only when asked, without activating anything and without waiting on the
  // target's program.
  virtual void place(Hwnd bar, const Rect& place, Hwnd target, bool topmost) = 0;
  // Whether it is still right above `target`: nothing came between them.
  virtual bool isJustAbove(Hwnd bar, Hwnd target) = 0;
  virtual void show(Hwnd bar, bool visible) = 0;
  virtual void paint(Hwnd bar, const ButtonPicture& picture) = 0;
  virtual void destroyButtonWindow(Hwnd bar) noexcept = 0;
};

inline void ButtonWindowTraits::release(Owner& owner, const Value& value) noexcept {
  owner.destroyButtonWindow(value);
}

}  // namespace strennix
