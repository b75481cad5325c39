#include "app/core/windowlists.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

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
  Journal journal{sim, sim, sim, log};
  WindowLists lists{journal};
};

TEST_F(WindowListsTest, EachEntryAndItsJournalRecordComeAndGoTogether) {
  lists.addShaded(Hwnd{0x10}, 300);
  lists.addMenu(Hwnd{0x11}, Hwnd{0x12}, "Notes");
  lists.addTrayed(3, Hwnd{0x13}, Hwnd{});
  lists.addStretched(Axis::Horizontal, Hwnd{0x14}, Rect{1, 2, 3, 4}, 2);
  EXPECT_TRUE(recorded(Change::Shaded, Hwnd{0x10}));
  EXPECT_EQ(journal.find(Change::Menu, Hwnd{0x11})->owner, Hwnd{0x12});
  EXPECT_TRUE(recorded(Change::Trayed, Hwnd{0x13}));
  EXPECT_EQ(journal.find(Change::HStretched, Hwnd{0x14})->rect, (Rect{1, 2, 3, 4}));
  EXPECT_TRUE(lists.isHidden(Hwnd{0x11}));
  EXPECT_TRUE(lists.isHidden(Hwnd{0x13}));
  EXPECT_FALSE(lists.isHidden(Hwnd{0x10}));

  lists.removeShaded(Hwnd{0x10});
  lists.removeMenu(1);
  lists.removeTrayed(3);
  EXPECT_TRUE(lists.removeStretched(Axis::Horizontal, Hwnd{0x14}));
  EXPECT_FALSE(lists.removeStretched(Axis::Vertical, Hwnd{0x14}));
  EXPECT_TRUE(journal.records().empty());
  EXPECT_EQ(lists.shaded().count() + lists.menu().count() + lists.trayed().count(), 0);

  // A window whose program does not answer leaves its slot but keeps its
  // record for a later start.
  lists.addTrayed(0, Hwnd{0x15}, Hwnd{});
  lists.removeTrayed(0, Record::Keep);
  EXPECT_FALSE(lists.trayed().taken(0));
  EXPECT_TRUE(recorded(Change::Trayed, Hwnd{0x15}));
}

TEST_F(WindowListsTest, AFullListRefusesANewEntryAndWritesNoRecordForIt) {
  for (std::uint32_t window = 0x100; !lists.shaded().full(); ++window) {
    ASSERT_TRUE(lists.addShaded(handleOfBits<Hwnd>(window), 200));
  }
  EXPECT_EQ(lists.shaded().count(), kMaxShadedWindows);
  EXPECT_FALSE(lists.addShaded(Hwnd{0x999}, 200));
  EXPECT_FALSE(recorded(Change::Shaded, Hwnd{0x999}));
  EXPECT_TRUE(lists.addShaded(Hwnd{0x108}, 250)) << "a listed window takes its new height";
  EXPECT_EQ(lists.shaded().at(9).height, 250);

  lists.removeShaded(Hwnd{0x101});
  EXPECT_EQ(lists.shaded().at(1).hwnd, Hwnd{0x100}) << "the order is kept";
  EXPECT_EQ(lists.shaded().at(2).hwnd, Hwnd{0x102});
  EXPECT_EQ(lists.shaded().at(kMaxShadedWindows).hwnd, Hwnd{}) << "the vacated place is cleared";
}

}  // namespace
}  // namespace strennix
