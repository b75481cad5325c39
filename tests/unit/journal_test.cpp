// The journal's stored text: what a start reads back is what was written,
// and a text that was damaged in any way is refused whole, so that no
// window is changed on the strength of half a record.
#include "app/core/journal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace strennix {
namespace {

TEST(JournalTextTest, RecordsReadBackAsWrittenAndADamagedTextIsRefusedWhole) {
  const StoredJournal journal{
      3,
      13'300'000'000,
      {{Change::Shaded, Hwnd{0x2001A}, 1234, 0x1DB5A00C0FFEE00, "Notepad", 400, Hwnd{}, {}},
       {Change::Trayed, Hwnd{0x2001C}, 88, 0, "TEditor Form", 0, Hwnd{0x2001B}, {}},
       {Change::VStretched, Hwnd{0x2001D}, 0, 0, "", 0, Hwnd{}, Rect{-8, 10, 600, 300}},
       {Change::Topmost, handleOfBits<Hwnd>(0xFFFFFFFF), 4294967295U, 0, "A|B", 0, Hwnd{}, {}}}};
  const std::string text = journalText(journal);
  EXPECT_EQ(
      text.substr(0, text.find('\n', 34) + 1),
      "Strennix journal 2 3 13300000000\nS 2001a 1234 1db5a00c0ffee00 400 0 0 0 0 0 Notepad\n");
  EXPECT_EQ(parseJournal(text), journal);
  EXPECT_EQ(parseJournal(journalText({})), StoredJournal{});

  // The first version named windows without their process's start.
  for (const std::string& damaged : std::vector<std::string>{
           std::string(), text.substr(0, text.size() - 1), "Strennix journal 2\n",
           "Strennix journal 1\nS 1 0 0 0 0 0 0 0 X\n", "Strennix journal 2 1\n",
           "Strennix journal 2 1 2 3\n", "Strennix journal 21 1 2\n",
           "Strennix journal 2 1 2\nQ 1 0 0 0 0 0 0 0 0 X\n",
           "Strennix journal 2 1 2\nS 1 0 0 0 0 0 0 0\n",
           "Strennix journal 2 1 2\nS 1 0 0 1e3 0 0 0 0 0 X\n",
           "Strennix journal 2 1 2\nS 1 -5 0 0 0 0 0 0 0 X\n",
           "Strennix journal 2 1 2\nS 0 0 0 0 0 0 0 0 0 X\n",
           "Strennix journal 2 1 2\nSS 1 0 0 0 0 0 0 0 0 X\n",
           "Strennix journal 2 1 2\nS 100000000 0 0 0 0 0 0 0 0 X\n",
           "Strennix journal 2 1 2\nS 1 0 0 -400 0 0 0 0 0 X\n",
           "Strennix journal 2 1 2\nV 1 0 0 0 0 9 0 8 0 X\n"}) {
    EXPECT_FALSE(parseJournal(damaged).has_value()) << damaged;
  }
}

}  // namespace
}  // namespace strennix
