// Reading the registry's performance data: the "Counter" name list and the
// Process object, walked over raw bytes. Every read is bounds-checked, so a
// truncated or corrupted answer gives "not found", never a read outside it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace strennix::perf {

// Byte offsets of the published records as a 32-bit Windows program sees
// them: pointers inside the records are 4 bytes, LARGE_INTEGER members are
// 8-byte aligned (hence PerfTime at 56 in the data block).
namespace layout {
// PERF_DATA_BLOCK
inline constexpr std::uint32_t kBlockSignature = 0;  // WCHAR[4] "PERF"
inline constexpr std::uint32_t kBlockTotalByteLength = 20;
inline constexpr std::uint32_t kBlockHeaderLength = 24;
inline constexpr std::uint32_t kBlockNumObjectTypes = 28;
inline constexpr std::uint32_t kBlockSize = 88;
// PERF_OBJECT_TYPE
inline constexpr std::uint32_t kObjectTotalByteLength = 0;
inline constexpr std::uint32_t kObjectDefinitionLength = 4;
inline constexpr std::uint32_t kObjectHeaderLength = 8;
inline constexpr std::uint32_t kObjectNameTitleIndex = 12;
inline constexpr std::uint32_t kObjectNumCounters = 32;
inline constexpr std::uint32_t kObjectNumInstances = 40;
inline constexpr std::uint32_t kObjectSize = 64;
// PERF_COUNTER_DEFINITION
inline constexpr std::uint32_t kCounterByteLength = 0;
inline constexpr std::uint32_t kCounterNameTitleIndex = 4;
inline constexpr std::uint32_t kCounterSize = 32;
inline constexpr std::uint32_t kCounterOffset = 36;
inline constexpr std::uint32_t kCounterDefinitionSize = 40;
// PERF_INSTANCE_DEFINITION
inline constexpr std::uint32_t kInstanceByteLength = 0;
inline constexpr std::uint32_t kInstanceNameOffset = 16;
inline constexpr std::uint32_t kInstanceNameLength = 20;
inline constexpr std::uint32_t kInstanceSize = 24;
// PERF_COUNTER_BLOCK
inline constexpr std::uint32_t kCounterBlockByteLength = 0;
inline constexpr std::uint32_t kCounterBlockSize = 4;
}  // namespace layout

// The index text of `name` in a "Counter" multi-string (pairs of index text
// and name, each NUL-terminated, the list ending in an extra NUL). The name
// must match exactly, letter case included; nothing when it is not listed.
std::optional<std::string> counterIndex(std::span<const std::uint8_t> counterList,
                                        std::string_view name);

// The UTF-16 instance name of the process `processId` in a performance-data
// answer whose first object is the Process object, reading each instance's
// process id from the counter whose name index is `idProcessIndex`. Every
// instance is compared, the last one included. Nothing when the process is
// not there or the data does not hold together.
std::optional<std::u16string> processInstanceName(std::span<const std::uint8_t> data,
                                                  std::uint32_t idProcessIndex,
                                                  std::uint32_t processId);

}  // namespace strennix::perf
