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
  const std::vector<JournalRecord> records = {
      {Change::Shaded, Hwnd{0x2001A}, 1234, "Notepad", 400, Hwnd{}, {}},
      {Change::Trayed, Hwnd{0x2001C}, 88, "TEditor Form", 0, Hwnd{0x2001B}, {}},
      {Change::VStretched, Hwnd{0x2001D}, 0, "", 0, Hwnd{}, Rect{-8, 10, 600, 300}},
      {Change::Topmost, handleOfBits<Hwnd>(0xFFFFFFFF), 4294967295U, "A|B", 0, Hwnd{}, {}}};
  const std::string text = journalText(records);
  EXPECT_EQ(text.substr(0, text.find('\n', 19) + 1),
            "Strennix journal 1\nS 2001a 1234 400 0 0 0 0 0 Notepad\n");
  EXPECT_EQ(parseJournal(text), records);
  EXPECT_EQ(parseJournal(journalText({})), std::vector<JournalRecord>{});

  for (const std::string& damaged : std::vector<std::string>{
           std::string(), text.substr(0, text.size() - 1), "Strennix journal 2\n",
           "Strennix journal 1\nQ 1 0 0 0 0 0 0 0 X\n", "Strennix journal 1\nS 1 0 0 0 0 0 0\n",
           "Strennix journal 1\nS 1 0 1e3 0 0 0 0 0 X\n",
           "Strennix journal 1\nS 1 -5 0 0 0 0 0 0 X\n",
           "Strennix journal 1\nS 0 0 0 0 0 0 0 0 X\n",
           "Strennix journal 1\nSS 1 0 0 0 0 0 0 0 X\n",
           "Strennix journal 1\nS 100000000 0 0 0 0 0 0 0 X\n"}) {
    EXPECT_FALSE(parseJournal(damaged).has_value()) << damaged;
  }
}

}  // namespace
}  // namespace strennix
