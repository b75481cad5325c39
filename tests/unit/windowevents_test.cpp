#include "platform/windowevents.h"

#include <gtest/gtest.h>

#include "platform/winconst.h"

namespace strennix {
namespace {

constexpr std::int32_t kObjIdCaret = -8;
constexpr std::int32_t kObjIdCursor = -9;
constexpr std::uint32_t kEventObjectFocus = 0x8005;

// Only events about a window itself repaint title bars; the frequent events
// of its parts (a caret or the cursor moving, a list item) must not.
TEST(WindowEventsTest, OnlyANewTitleAMoveOrAHiddenWindowIsReported) {
  using enum WindowEventReport;
  EXPECT_EQ(reportOf(win::kEventObjectNameChange, win::kObjIdWindow, win::kChildIdSelf),
            CaptionChange);
  EXPECT_EQ(reportOf(win::kEventObjectLocationChange, win::kObjIdWindow, win::kChildIdSelf),
            Uncovered);
  EXPECT_EQ(reportOf(win::kEventObjectHide, win::kObjIdWindow, win::kChildIdSelf), Uncovered);

  EXPECT_EQ(reportOf(win::kEventObjectLocationChange, kObjIdCaret, win::kChildIdSelf), None);
  EXPECT_EQ(reportOf(win::kEventObjectLocationChange, kObjIdCursor, win::kChildIdSelf), None);
  EXPECT_EQ(reportOf(win::kEventObjectNameChange, win::kObjIdWindow, 3), None) << "a list item";
  EXPECT_EQ(reportOf(kEventObjectFocus, win::kObjIdWindow, win::kChildIdSelf), None);
}

}  // namespace
}  // namespace strennix
