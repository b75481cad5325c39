#include "hook/dll/pressstate.h"

#include <gtest/gtest.h>

namespace strennix {
namespace {

using namespace mousemessage;

constexpr unsigned kRButtonDown = 0x0204;

// While the capture holds, moves are kept and the release ends the press; a
// new press means the release was lost. Once the capture has gone
// (WM_CANCELMODE, another window's SetCapture, the window destroyed) every
// event ends the press and reaches its window, the release included.
TEST(HookPressStateTest, APressEndsAtItsReleaseANewPressOrTheLossOfTheCapture) {
  EXPECT_EQ(heldStep(kMouseMove, true), HeldStep::Keep);
  EXPECT_EQ(heldStep(kNcMouseMove, true), HeldStep::Keep);
  EXPECT_EQ(heldStep(kLButtonUp, true), HeldStep::Release);
  EXPECT_EQ(heldStep(kNcLButtonUp, true), HeldStep::Release);
  EXPECT_EQ(heldStep(kRButtonDown, true), HeldStep::PassOn);
  for (const unsigned press : {kLButtonDown, kNcLButtonDown, kLButtonDblClk, kNcLButtonDblClk}) {
    EXPECT_EQ(heldStep(press, true), HeldStep::Cancel) << press;
  }
  for (const unsigned message :
       {kMouseMove, kNcMouseMove, kLButtonUp, kNcLButtonUp, kRButtonDown}) {
    EXPECT_EQ(heldStep(message, false), HeldStep::Cancel) << message;
  }
}

}  // namespace
}  // namespace strennix
