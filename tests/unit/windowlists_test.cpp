#include "app/core/windowlists.h"

#include <gtest/gtest.h>

#include <cstddef>

#include "app/core/journal.h"
#include "app/core/log.h"
#include "platform/sim/simdesktop.h"

namespace strennix {
namespace {

class WindowListsTest : public testing::Test {
 protected:
  [[nodiscard]] bool recorded(Change change, Hwnd window) const {
    return journal.find(change, window) != nullptr;
  }

  sim::SimDesktop sim;
  Logger log{sim, sim};
  Journal journal{sim, sim, log};
  WindowLists lists{journal};
};

TEST_F(WindowListsTest, EachEntryAndItsJournalRecordComeAndGoTogether) {
  lists.addShaded(0x10, 300);
  lists.addMenu(0x11, 0x12, "Notes");
  lists.addTrayed(3, 0x13, 0);
  lists.addStretched(Axis::Horizontal, 0x14, Rect{1, 2, 3, 4}, 2);
  EXPECT_TRUE(recorded(Change::Shaded, 0x10));
  EXPECT_EQ(journal.find(Change::Menu, 0x11)->owner, 0x12U);
  EXPECT_TRUE(recorded(Change::Trayed, 0x13));
  EXPECT_EQ(journal.find(Change::HStretched, 0x14)->rect, (Rect{1, 2, 3, 4}));
  EXPECT_TRUE(lists.isHidden(0x11));
  EXPECT_TRUE(lists.isHidden(0x13));
  EXPECT_FALSE(lists.isHidden(0x10));

  lists.removeShaded(0x10);
  lists.removeMenu(1);
  lists.removeTrayed(3);
  EXPECT_TRUE(lists.removeStretched(Axis::Horizontal, 0x14));
  EXPECT_FALSE(lists.removeStretched(Axis::Vertical, 0x14));
  EXPECT_TRUE(journal.records().empty());
  EXPECT_EQ(lists.shaded().count() + lists.menu().count() + lists.trayed().count(), 0);

  // A window whose program does not answer leaves its slot but keeps its
  // record for a later start.
  lists.addTrayed(0, 0x15, 0);
  lists.removeTrayed(0, Record::Keep);
  EXPECT_FALSE(lists.trayed().taken(0));
  EXPECT_TRUE(recorded(Change::Trayed, 0x15));
}

TEST_F(WindowListsTest, AFullListRefusesANewEntryAndWritesNoRecordForIt) {
  for (Hwnd window = 0x100; !lists.shaded().full(); ++window) {
    ASSERT_TRUE(lists.addShaded(window, 200));
  }
  EXPECT_EQ(lists.shaded().count(), kMaxShadedWindows);
  EXPECT_FALSE(lists.addShaded(0x999, 200));
  EXPECT_FALSE(recorded(Change::Shaded, 0x999));
  EXPECT_TRUE(lists.addShaded(0x108, 250)) << "a listed window takes its new height";
  EXPECT_EQ(lists.shaded().at(9).height, 250);

  lists.removeShaded(0x101);
  EXPECT_EQ(lists.shaded().at(1).hwnd, 0x100U) << "the order is kept";
  EXPECT_EQ(lists.shaded().at(2).hwnd, 0x102U);
  EXPECT_EQ(lists.shaded().at(kMaxShadedWindows).hwnd, 0U) << "the vacated place is cleared";
}

}  // namespace
}  // namespace strennix
