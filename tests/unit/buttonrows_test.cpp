// The shared button rows as both sides see them: the program's writer and
// the hook libraries' reader, on a table in plain memory.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "hook/dll/rowreader.h"
#include "platform/buttonrowtable.h"

namespace strennix {
namespace {

using hookprotocol::kButtonRowsCapacity;
using rowreader::readRow;
using rowreader::Row;

constexpr ProcessId kProgram = 4242;
constexpr Hwnd kMain{0x100};
constexpr Hwnd kEditor{0x2000};
// The defaults: offsets 58 and 6, buttons 16 x 14, six of them.
constexpr ButtonRow kDefaultRow{kEditor, 58, 6, 16, 14, 6};

class ButtonRowsTest : public testing::Test {
 protected:
  // Zeroed, as a new map is.
  std::unique_ptr<hookprotocol::ButtonRowTable> memory =
      std::make_unique<hookprotocol::ButtonRowTable>();
  ButtonRowTable& table = *memory;

  bool readable(Hwnd window) {
    Row row;
    return readRow(table, handleBits(window), row);
  }
};

TEST_F(ButtonRowsTest, OnlyAHeaderTheProgramWroteIsTrustedAndItNamesTheProgramAndItsWindow) {
  EXPECT_FALSE(trustedTable(table)) << "a new map";
  EXPECT_EQ(rowreader::publisherOf(table).process, 0U);
  {
    ButtonRowWriter writer(table);
    writer.claim(kProgram, kMain);
    ASSERT_TRUE(writer.publish(kDefaultRow));
    EXPECT_TRUE(trustedTable(table));
    EXPECT_EQ(rowreader::publisherOf(table).process, kProgram);
    EXPECT_EQ(rowreader::publisherOf(table).mainWindow, handleBits(kMain));
    EXPECT_TRUE(readable(kEditor));

    for (auto* field : {&table.header.magic, &table.header.version, &table.header.size}) {
      const hookprotocol::Uint32 kept = *field;
      *field = kept + 1;
      EXPECT_FALSE(readable(kEditor)) << "a planted or older header";
      EXPECT_EQ(rowreader::publisherOf(table).mainWindow, 0U);
      *field = kept;
    }
  }
  // The program has ended: its rows and its window are gone from the table.
  EXPECT_FALSE(readable(kEditor));
  EXPECT_EQ(rowreader::publisherOf(table).mainWindow, 0U);
}

// Rows planted by another program, or left by a run that was killed, are
// no rows once the program has taken the table, before its hooks go in.
TEST_F(ButtonRowsTest, AClaimClearsEveryRowLeftInTheTable) {
  // What a killed run left: its header and a row in every record.
  table.header.magic = hookprotocol::kButtonRowsMagic;
  table.header.version = hookprotocol::kButtonRowsVersion;
  table.header.size = sizeof(hookprotocol::ButtonRowTable);
  table.header.programProcess = kProgram - 1;
  for (unsigned index = 0; index < kButtonRowsCapacity; ++index) {
    volatile hookprotocol::ButtonRowRecord& record = table.rows[index];
    record.sequence = 2;
    record.window = handleBits(kEditor) + index;
    record.slotWidth = 16;
    record.height = 14;
    record.slots = 6;
  }
  ASSERT_TRUE(readable(kEditor));

  ButtonRowWriter writer(table);
  writer.claim(kProgram, kMain);

  for (unsigned index = 0; index < kButtonRowsCapacity; ++index) {
    EXPECT_FALSE(readable(Hwnd{handleBits(kEditor) + index})) << index;
  }
  EXPECT_TRUE(writer.publishedWindows().empty());
  EXPECT_EQ(rowreader::publisherOf(table).process, kProgram);
  EXPECT_TRUE(writer.publish(kDefaultRow)) << "every record is free again";
}

// What the program can never write is no row: no loop or size in the hook
// follows it.
TEST_F(ButtonRowsTest, ARecordWithValuesTheProgramNeverWritesIsNoRow) {
  ButtonRowWriter writer(table);
  writer.claim(kProgram, kMain);
  const int big = hookprotocol::kMaxButtonStretch;
  const ButtonRow impossible[] = {
      {kEditor, 58, 6, 16, 14, 7},      {kEditor, 58, 6, 1, 0x7FFFFFFF, 0x7FFFFFFF},
      {kEditor, 58, 6, big + 1, 14, 6}, {kEditor, 58, 6, 16, big + 1, 6},
      {kEditor, -1, 6, 16, 14, 6},      {kEditor, 58, -1, 16, 14, 6},
      {kEditor, 58, 6, -16, 14, -6},    {kEditor, 58, 6, 16, -14, 6},
  };
  for (const ButtonRow& row : impossible) {
    writer.publish(row);
    EXPECT_FALSE(readable(kEditor)) << row.slotWidth << " x " << row.height << " x " << row.slots;
  }
  writer.publish(ButtonRow{kEditor, 0x7FFFFFFF, 0x7FFFFFFF, big, big, 6});
  EXPECT_TRUE(readable(kEditor)) << "the largest the settings allow";
}

// The writer never reads back what the table holds: a sequence number or a
// row another program wrote there changes nothing it does.
TEST_F(ButtonRowsTest, WhatAnotherProgramWritesIntoTheTableNeitherHidesNorChangesARow) {
  ButtonRowWriter writer(table);
  writer.claim(kProgram, kMain);
  writer.publish(kDefaultRow);
  table.rows[0].sequence = 0xFFFFFFF1U;  // odd for good: "being rewritten"
  table.rows[0].slots = 2;
  EXPECT_EQ(writer.published(kEditor), kDefaultRow);
  EXPECT_FALSE(readable(kEditor));

  writer.publish(ButtonRow{kEditor, 58, 6, 16, 14, 5});
  Row row;
  ASSERT_TRUE(readRow(table, handleBits(kEditor), row)) << "the next write makes it readable again";
  EXPECT_EQ(row.slots, 5);

  table.rows[1].window = 0x3000;  // a row the program never published
  EXPECT_TRUE(writer.publish(ButtonRow{Hwnd{0x4000}, 58, 6, 16, 14, 6}));
  EXPECT_EQ(writer.publishedWindows(), (std::vector<Hwnd>{kEditor, Hwnd{0x4000}}));
}

// One writer rewrites a record without a pause while readers read it: a
// reader that reports a row reports one the writer wrote whole.
TEST_F(ButtonRowsTest, AReaderNeverActsOnARecordHalfRewritten) {
  ButtonRowWriter writer(table);
  writer.claim(kProgram, kMain);
  std::atomic<bool> done{false};
  std::atomic<long> whole{0};
  std::atomic<long> mixed{0};
  std::atomic<long> skipped{0};
  const auto read = [&] {
    while (!done.load()) {
      Row row;
      if (!readRow(table, handleBits(kEditor), row)) {
        skipped.fetch_add(1);
        continue;
      }
      // Every field of a written row comes from one number n.
      const int n = row.rightInset;
      const bool same =
          row.top == n && row.slotWidth == n % 200 && row.height == n % 100 && row.slots == n % 7;
      (same ? whole : mixed).fetch_add(1);
    }
  };
  std::thread reader1(read);
  std::thread reader2(read);
  // Until the readers have read many rows whole and met many in the middle
  // of a rewrite, on a busy machine too; the time limit only ends a run
  // whose threads never ran side by side.
  constexpr long kEnough = 10000;
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  for (int n = 1; (whole.load() < kEnough || skipped.load() < kEnough) &&
                  std::chrono::steady_clock::now() < giveUp;
       ++n) {
    writer.publish(ButtonRow{kEditor, n, n, n % 200, n % 100, n % 7});
  }
  done.store(true);
  reader1.join();
  reader2.join();
  EXPECT_EQ(mixed.load(), 0);
  EXPECT_GE(whole.load(), kEnough);
  EXPECT_GE(skipped.load(), kEnough) << "the readers never met a rewrite";
}

}  // namespace
}  // namespace strennix
