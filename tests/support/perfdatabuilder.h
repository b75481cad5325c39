// Makes well-formed performance-data answers and "Counter" lists, the way
// Windows lays them out for a 32-bit program, so that the walk can be
// exercised on known data (tests and benchmarks only).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "eligibility/perfdata.h"

namespace strennix::perf {

struct InstanceSpec {
  std::u16string name;
  std::uint32_t processId = 0;
};

// The indices a "Counter" list commonly gives these names.
inline constexpr std::uint32_t kProcessObjectIndex = 230;
inline constexpr std::uint32_t kIdProcessIndex = 784;
inline constexpr std::uint32_t kProcessorTimeIndex = 6;
inline constexpr std::uint32_t kThreadCountIndex = 680;

// "index\0name\0index\0name\0...\0"
inline std::vector<std::uint8_t> buildCounterList(
    const std::vector<std::pair<std::string, std::string>>& pairs) {
  std::vector<std::uint8_t> out;
  for (const auto& [index, name] : pairs) {
    out.insert(out.end(), index.begin(), index.end());
    out.push_back(0);
    out.insert(out.end(), name.begin(), name.end());
    out.push_back(0);
  }
  out.push_back(0);
  return out;
}

class PerfDataBuilder {
 public:
  // One PERF_DATA_BLOCK holding one Process object with three counters:
  // "% Processor Time" (8 bytes), "ID Process" (4 bytes) and "Thread Count"
  // (4 bytes), and one instance per entry.
  static std::vector<std::uint8_t> processObject(const std::vector<InstanceSpec>& instances,
                                                 std::uint32_t idProcessIndex = kIdProcessIndex) {
    using namespace layout;
    PerfDataBuilder b;
    const std::uint32_t counters = 3;
    const std::uint32_t object = kBlockSize;
    const std::uint32_t definitionLength = kObjectSize + counters * kCounterDefinitionSize;

    // PERF_DATA_BLOCK
    for (char16_t c : std::u16string(u"PERF")) b.put16(c);
    b.put32(1);  // LittleEndian
    b.put32(1);  // Version
    b.put32(1);  // Revision
    b.put32(0);  // TotalByteLength, patched below
    b.put32(kBlockSize);
    b.put32(1);  // NumObjectTypes
    b.put32(0);  // DefaultObject
    b.pad(kBlockSize);

    // PERF_OBJECT_TYPE
    b.put32(0);  // TotalByteLength, patched below
    b.put32(definitionLength);
    b.put32(kObjectSize);
    b.put32(kProcessObjectIndex);
    b.put32(0);
    b.put32(kProcessObjectIndex + 1);
    b.put32(0);
    b.put32(100);  // DetailLevel: novice
    b.put32(counters);
    b.put32(0);  // DefaultCounter
    b.put32(static_cast<std::uint32_t>(instances.size()));
    b.put32(0);  // CodePage: Unicode names
    b.pad(object + kObjectSize);

    // PERF_COUNTER_DEFINITIONs; the counter block is ByteLength, 4 bytes of
    // padding, then the three values at 8, 16 and 20.
    b.counterDefinition(kProcessorTimeIndex, 8, 8);
    b.counterDefinition(idProcessIndex, 4, 16);
    b.counterDefinition(kThreadCountIndex, 4, 20);
    const std::uint32_t blockLength = 24;

    for (const InstanceSpec& instance : instances) {
      const auto nameBytes = static_cast<std::uint32_t>((instance.name.size() + 1) * 2);
      const std::uint32_t instanceLength = align8(kInstanceSize + nameBytes);
      const auto start = static_cast<std::uint32_t>(b.out.size());
      b.put32(instanceLength);
      b.put32(0);           // ParentObjectTitleIndex
      b.put32(0);           // ParentObjectInstance
      b.put32(0xFFFFFFFF);  // UniqueID: PERF_NO_UNIQUE_ID
      b.put32(kInstanceSize);
      b.put32(nameBytes);
      for (char16_t c : instance.name) b.put16(c);
      b.put16(0);
      b.pad(start + instanceLength);
      const auto block = static_cast<std::uint32_t>(b.out.size());
      b.put32(blockLength);
      b.pad(block + 8);
      b.put32(0x12345678);  // % Processor Time, low and high
      b.put32(0);
      b.put32(instance.processId);
      b.put32(7);  // Thread Count
    }
    b.patch32(kBlockTotalByteLength, static_cast<std::uint32_t>(b.out.size()));
    b.patch32(object + kObjectTotalByteLength, static_cast<std::uint32_t>(b.out.size() - object));
    return b.out;
  }

 private:
  static std::uint32_t align8(std::uint32_t n) { return (n + 7) & ~std::uint32_t{7}; }

  void put16(std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
  }
  void put32(std::uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  }
  void pad(std::uint32_t size) { out.resize(size, 0); }
  void patch32(std::uint32_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
  }
  void counterDefinition(std::uint32_t nameIndex, std::uint32_t size, std::uint32_t offset) {
    using namespace layout;
    const auto start = static_cast<std::uint32_t>(out.size());
    put32(kCounterDefinitionSize);
    put32(nameIndex);
    put32(0);
    put32(nameIndex + 1);
    put32(0);
    put32(0);                                    // DefaultScale
    put32(100);                                  // DetailLevel
    put32(size == 8 ? 0x20020500 : 0x00010000);  // CounterType
    put32(size);
    put32(offset);
    pad(start + kCounterDefinitionSize);
  }

  std::vector<std::uint8_t> out;
};

}  // namespace strennix::perf
