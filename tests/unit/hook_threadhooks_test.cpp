#include "hook/dll/threadhooks.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace strennix {
namespace {

constexpr unsigned kHelper = 200;   // strennix64.exe
constexpr unsigned kProgram = 100;  // strennix.exe
constexpr unsigned kEditor = 300;   // a 64-bit program
constexpr unsigned kViewer = 400;   // a 32-bit program

std::vector<unsigned> threadsOf(const std::vector<RunningThread>& entries) {
  std::vector<unsigned> threads;
  threads.reserve(entries.size());
  for (const RunningThread& entry : entries) {
    threads.push_back(entry.thread);
  }
  return threads;
}

TEST(ThreadHookBookTest, TheFirstScanOffersEveryThreadButThoseOfTheHelperAndTheProgram) {
  ThreadHookBook book(kHelper, kProgram);
  const ThreadScan scan =
      book.scan({{1, kHelper}, {2, kProgram}, {3, kEditor}, {4, kEditor}, {5, kViewer}});
  EXPECT_EQ(threadsOf(scan.fresh), (std::vector<unsigned>{3, 4, 5}));
  EXPECT_TRUE(scan.ended.empty());
}

TEST(ThreadHookBookTest, AThreadIsOfferedOnceWhetherItWasHookedOrPassedOver) {
  ThreadHookBook book(kHelper, kProgram);
  book.scan({{3, kEditor}, {5, kViewer}});
  book.hooked(3);
  const ThreadScan again = book.scan({{3, kEditor}, {5, kViewer}, {6, kEditor}});
  EXPECT_EQ(threadsOf(again.fresh), (std::vector<unsigned>{6}));
  EXPECT_EQ(again.fresh[0].process, kEditor);
}

TEST(ThreadHookBookTest, AHookedThreadThatEndedIsToBeUnhookedAndForgotten) {
  ThreadHookBook book(kHelper, kProgram);
  book.scan({{3, kEditor}, {4, kEditor}, {5, kViewer}});
  book.hooked(3);
  book.hooked(4);
  const ThreadScan scan = book.scan({{4, kEditor}});
  EXPECT_EQ(scan.ended, (std::vector<unsigned>{3}));
  EXPECT_EQ(book.hookedThreads(), (std::set<unsigned>{4}));
  EXPECT_TRUE(book.scan({{4, kEditor}}).ended.empty()) << "unhooked once only";
}

TEST(ThreadHookBookTest, AThreadPassedOverThatEndedIsNotToBeUnhooked) {
  ThreadHookBook book(kHelper, kProgram);
  book.scan({{5, kViewer}});
  EXPECT_TRUE(book.scan({}).ended.empty());
}

// Thread ids are used again once a thread has ended: a later thread with the
// id of a forgotten one is judged afresh, for its own process.
TEST(ThreadHookBookTest, AnIdUsedAgainAfterItsThreadEndedIsOfferedAgain) {
  ThreadHookBook book(kHelper, kProgram);
  book.scan({{5, kViewer}});
  book.scan({});
  const ThreadScan scan = book.scan({{5, kEditor}});
  ASSERT_EQ(threadsOf(scan.fresh), (std::vector<unsigned>{5}));
  EXPECT_EQ(scan.fresh[0].process, kEditor);
}

// A program just started may not take hooks yet: it is tried again at the
// next scans, but not for ever.
TEST(ThreadHookBookTest, AThreadThatRefusedItsHooksIsOfferedAgainALimitedNumberOfTimes) {
  ThreadHookBook book(kHelper, kProgram);
  int offers = 0;
  for (int scan = 0; scan < 2 * ThreadHookBook::kOffers; ++scan) {
    if (!book.scan({{3, kEditor}}).fresh.empty()) {
      ++offers;
      book.refused(3);
    }
  }
  EXPECT_EQ(offers, ThreadHookBook::kOffers);

  book.scan({});
  ASSERT_EQ(threadsOf(book.scan({{3, kEditor}}).fresh), (std::vector<unsigned>{3}))
      << "a new thread with the id starts afresh";
  book.refused(3);
  ASSERT_EQ(book.scan({{3, kEditor}}).fresh.size(), 1U);
  book.hooked(3);
  EXPECT_TRUE(book.scan({{3, kEditor}}).fresh.empty());
}

TEST(ThreadHookBookTest, NothingIsHookedUntilTheHelperSaysSo) {
  ThreadHookBook book(kHelper, kProgram);
  book.scan({{3, kEditor}});
  EXPECT_TRUE(book.hookedThreads().empty());
  EXPECT_TRUE(book.scan({}).ended.empty());
}

}  // namespace
}  // namespace strennix
