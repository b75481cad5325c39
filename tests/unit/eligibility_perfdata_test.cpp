#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "eligibility/perfdata.h"
#include "tests/support/perfdatabuilder.h"

namespace strennix::perf {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::string_view_literals;

Bytes text(std::string_view s) { return {s.begin(), s.end()}; }

void set32(Bytes& data, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    data[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

const std::vector<InstanceSpec> kProcesses = {
    {u"Idle", 0}, {u"System", 4}, {u"smss", 312}, {u"notepad", 1234}, {u"explorer", 999}};

// Offsets in a buffer built from kProcesses.
constexpr std::size_t kObject = layout::kBlockSize;
constexpr std::size_t kFirstCounter = kObject + layout::kObjectSize;
constexpr std::size_t kFirstInstance =
    kFirstCounter + std::size_t{3} * layout::kCounterDefinitionSize;

TEST(CounterIndex, FindsTheIndexOfAnExactNameOnly) {
  const Bytes list = buildCounterList({{"1", "1847"},
                                       {"2", "System"},
                                       {"230", "Process"},
                                       {"784", "ID Process"},
                                       {"6", "% Processor Time"}});
  EXPECT_EQ(counterIndex(list, "Process"), "230");
  EXPECT_EQ(counterIndex(list, "ID Process"), "784");
  EXPECT_EQ(counterIndex(list, "% Processor Time"), "6");
  EXPECT_EQ(counterIndex(list, "process"), std::nullopt) << "letter case counts";
  EXPECT_EQ(counterIndex(list, "Proc"), std::nullopt);
  EXPECT_EQ(counterIndex(list, "Thread"), std::nullopt) << "a name that is missing finds nothing";
}

TEST(CounterIndex, ToleratesShortAndUnterminatedLists) {
  EXPECT_EQ(counterIndex({}, "Process"), std::nullopt);
  EXPECT_EQ(counterIndex(text("230\0Process"sv), "Process"), "230");
  EXPECT_EQ(counterIndex(text("230"), "Process"), std::nullopt);
  EXPECT_EQ(counterIndex(text("230\0"sv), "Process"), std::nullopt);
  EXPECT_EQ(counterIndex(text("\0\0\0"sv), ""), std::nullopt);
  // Entries after the list's closing NUL are not part of it.
  EXPECT_EQ(counterIndex(text(std::string("2\0System\0\0"
                                          "230\0Process\0\0",
                                          23)),
                         "Process"),
            std::nullopt);
}

TEST(ProcessInstanceName, FindsTheProcessInTheFirstAMiddleAndTheLastInstance) {
  const Bytes data = PerfDataBuilder::processObject(kProcesses);
  EXPECT_EQ(processInstanceName(data, kIdProcessIndex, 0), u"Idle");
  EXPECT_EQ(processInstanceName(data, kIdProcessIndex, 312), u"smss");
  EXPECT_EQ(processInstanceName(data, kIdProcessIndex, 999), u"explorer");
  EXPECT_EQ(processInstanceName(data, kIdProcessIndex, 4242), std::nullopt);
  EXPECT_EQ(processInstanceName(data, kProcessorTimeIndex + 1, 999), std::nullopt)
      << "no counter definition with that index";
}

TEST(ProcessInstanceName, ReadsTheIdAtTheOffsetOfTheNamedCounter) {
  // "% Processor Time" holds 0x12345678 in every instance: asking by its
  // index reads that field instead of the process id.
  const Bytes data = PerfDataBuilder::processObject(kProcesses);
  EXPECT_EQ(processInstanceName(data, kProcessorTimeIndex, 0x12345678), u"Idle");
  EXPECT_EQ(processInstanceName(data, kThreadCountIndex, 7), u"Idle");
}

TEST(ProcessInstanceName, AnObjectWithoutInstancesFindsNothing) {
  EXPECT_EQ(processInstanceName(PerfDataBuilder::processObject({}), kIdProcessIndex, 0),
            std::nullopt);
}

TEST(ProcessInstanceName, EveryTruncationAnswersNothingOrTheRightName) {
  const Bytes data = PerfDataBuilder::processObject(kProcesses);
  for (std::size_t size = 0; size < data.size(); ++size) {
    const auto name = processInstanceName(std::span(data.data(), size), kIdProcessIndex, 999);
    EXPECT_TRUE(!name || *name == u"explorer") << "size " << size;
  }
  // The last instance is whole only in the whole buffer.
  EXPECT_EQ(processInstanceName(std::span(data.data(), data.size() - 1), kIdProcessIndex, 999),
            std::nullopt);
}

TEST(ProcessInstanceName, CorruptedLengthsOffsetsAndCountsAnswerNothing) {
  const Bytes good = PerfDataBuilder::processObject(kProcesses);
  const auto corrupt = [&good](std::size_t at, std::uint32_t value) {
    Bytes data = good;
    set32(data, at, value);
    return processInstanceName(data, kIdProcessIndex, 999);
  };
  EXPECT_EQ(corrupt(0, 0x00450051), std::nullopt) << "signature";
  EXPECT_EQ(corrupt(layout::kBlockHeaderLength, 0xFFFFFFF0), std::nullopt);
  EXPECT_EQ(corrupt(layout::kBlockHeaderLength, static_cast<std::uint32_t>(good.size() - 8)),
            std::nullopt);
  EXPECT_EQ(corrupt(kObject + layout::kObjectHeaderLength, 0xFFFFFFFF), std::nullopt);
  EXPECT_EQ(corrupt(kObject + layout::kObjectDefinitionLength, 0x7FFFFFFF), std::nullopt);
  EXPECT_EQ(corrupt(kObject + layout::kObjectNumCounters, 0), std::nullopt);
  // A counter definition of length 0 must not be walked forever.
  EXPECT_EQ(corrupt(kFirstCounter + layout::kCounterByteLength, 0), std::nullopt);
  EXPECT_EQ(
      corrupt(kFirstCounter + layout::kCounterDefinitionSize + layout::kCounterOffset, 0xFFFFFFFE),
      std::nullopt);
  // Instance and counter-block lengths of 0 with a huge instance count.
  Bytes loop = good;
  set32(loop, kObject + layout::kObjectNumInstances, 0xFFFFFFFF);
  set32(loop, kFirstInstance + layout::kInstanceByteLength, 0);
  EXPECT_EQ(processInstanceName(loop, kIdProcessIndex, 999), std::nullopt);
  EXPECT_EQ(corrupt(kFirstInstance + layout::kInstanceByteLength, 0xFFFFFFFF), std::nullopt);
  EXPECT_EQ(corrupt(kFirstInstance + layout::kInstanceByteLength, 8), std::nullopt);
  // Fewer instances than are laid out: the later ones are not looked at.
  EXPECT_EQ(corrupt(kObject + layout::kObjectNumInstances, 4), std::nullopt);
}

TEST(ProcessInstanceName, ANameOutsideTheDataAnswersNothing) {
  Bytes data = PerfDataBuilder::processObject({{u"notepad", 1234}});
  set32(data, kFirstInstance + layout::kInstanceNameOffset, 0x7FFFFFF0);
  EXPECT_EQ(processInstanceName(data, kIdProcessIndex, 1234), std::nullopt);
  data = PerfDataBuilder::processObject({{u"notepad", 1234}});
  set32(data, kFirstInstance + layout::kInstanceNameLength, 0xFFFFFFFF);
  EXPECT_EQ(processInstanceName(data, kIdProcessIndex, 1234), std::nullopt);
  // A name length without its terminating NUL stops at the length.
  data = PerfDataBuilder::processObject({{u"notepad", 1234}});
  set32(data, kFirstInstance + layout::kInstanceNameLength, 6);
  EXPECT_EQ(processInstanceName(data, kIdProcessIndex, 1234), u"not");
}

TEST(ProcessInstanceName, SeededRandomMutationsNeverReadOutsideTheData) {
  const Bytes good = PerfDataBuilder::processObject(kProcesses);
  std::mt19937 random(20261208);
  std::uniform_int_distribution<std::size_t> position(0, good.size() - 1);
  std::uniform_int_distribution<int> count(1, 8);
  const std::uint32_t fieldValues[] = {0, 1, 4, 0x7FFFFFFF, 0xFFFFFFFF, 0x80000000, 24, 40};
  int found = 0;
  for (int round = 0; round < 5000; ++round) {
    Bytes data = good;
    for (int i = count(random); i > 0; --i) {
      const std::size_t at = position(random);
      if (random() % 2 == 0 && at + 4 <= data.size()) {
        set32(data, at & ~std::size_t{3}, fieldValues[random() % std::size(fieldValues)]);
      } else {
        data[at] = static_cast<std::uint8_t>(random());
      }
    }
    if (random() % 4 == 0) {
      data.resize(position(random));
    }
    const auto name = processInstanceName(data, kIdProcessIndex, 999);
    if (name) {
      ++found;
      EXPECT_LE(name->size() * 2, data.size());
    }
  }
  // Most mutations miss the fields that matter; the walk still finds the name.
  EXPECT_GT(found, 100);
}

}  // namespace
}  // namespace strennix::perf
