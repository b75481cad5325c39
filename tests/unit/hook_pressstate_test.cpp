#include "hook/dll/pressstate.h"

#include <gtest/gtest.h>

namespace strennix {
namespace {

using namespace mousemessage;

constexpr unsigned kRButtonDown = 0x0204;

TEST(HookPressStateTest, WhileTheCaptureHoldsMovesAreKeptAndTheReleaseEndsThePress) {
  EXPECT_EQ(heldStep(kMouseMove, true), HeldStep::Keep);
  EXPECT_EQ(heldStep(kNcMouseMove, true), HeldStep::Keep);
  EXPECT_EQ(heldStep(kLButtonUp, true), HeldStep::Release);
  EXPECT_EQ(heldStep(kNcLButtonUp, true), HeldStep::Release);
  EXPECT_EQ(heldStep(kRButtonDown, true), HeldStep::PassOn);
}

// The release was lost: a new press starts over and reaches its window.
TEST(HookPressStateTest, ANewPressCancelsTheHeldOne) {
  for (const unsigned press : {kLButtonDown, kNcLButtonDown, kLButtonDblClk, kNcLButtonDblClk}) {
    EXPECT_EQ(heldStep(press, true), HeldStep::Cancel) << press;
  }
}

// WM_CANCELMODE, another window's SetCapture, the window destroyed: from the
// next event on the window gets its mouse again, the release included.
TEST(HookPressStateTest, OnceTheCaptureHasGoneEveryEventCancelsThePressAndReachesItsWindow) {
  for (const unsigned message :
       {kMouseMove, kNcMouseMove, kLButtonUp, kNcLButtonUp, kLButtonDown, kRButtonDown}) {
    EXPECT_EQ(heldStep(message, false), HeldStep::Cancel) << message;
  }
}

}  // namespace
}  // namespace strennix
