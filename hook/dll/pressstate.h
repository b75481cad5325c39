// What the hook library does with a mouse event of its process while one of
// the program's buttons is held there. A press must never outlive the
// mouse capture that carries it: once the capture has gone (the window was
// sent WM_CANCELMODE, another window took the capture, the window was
// destroyed) or a new press comes, the press is over, the program is told,
// and the window sees its mouse again. No Windows types and no includes:
// the unit tests call it on the host.
#pragma once

namespace strennix {

// The mouse messages the decision tells apart (winuser.h values).
namespace mousemessage {
inline constexpr unsigned kMouseMove = 0x0200;
inline constexpr unsigned kLButtonDown = 0x0201;
inline constexpr unsigned kLButtonUp = 0x0202;
inline constexpr unsigned kLButtonDblClk = 0x0203;
inline constexpr unsigned kNcMouseMove = 0x00A0;
inline constexpr unsigned kNcLButtonDown = 0x00A1;
inline constexpr unsigned kNcLButtonUp = 0x00A2;
inline constexpr unsigned kNcLButtonDblClk = 0x00A3;
}  // namespace mousemessage

enum class HeldStep {
  PassOn,   // not about the press: the event goes on as usual
  Keep,     // a move while the button is held: kept from the window
  Release,  // the release: reported with the slot under it, and kept
  Cancel,   // the press is over without a release: reported as one over no
            // button (-1), and the event goes on to its window
};

// message: the event; captureHeld: the held window still has the capture.
constexpr HeldStep heldStep(unsigned message, bool captureHeld) {
  using namespace mousemessage;
  if (!captureHeld) {
    return HeldStep::Cancel;
  }
  switch (message) {
    case kLButtonUp:
    case kNcLButtonUp:
      return HeldStep::Release;
    case kMouseMove:
    case kNcMouseMove:
      return HeldStep::Keep;
    case kLButtonDown:
    case kNcLButtonDown:
    case kLButtonDblClk:
    case kNcLButtonDblClk:
      return HeldStep::Cancel;
    default:
      return HeldStep::PassOn;
  }
}

}  // namespace strennix
