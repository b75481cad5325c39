#include "eligibility/perfdata.h"

#include <algorithm>

namespace strennix::perf {

namespace {

using namespace layout;

// A window on the data: every read is checked against the whole buffer
// before it is made. Offsets are 64-bit so that sums of 32-bit fields
// cannot wrap around.
class Bytes {
 public:
  explicit Bytes(std::span<const std::uint8_t> data) : data_(data) {}

  [[nodiscard]] bool holds(std::uint64_t offset, std::uint64_t length) const {
    return offset <= data_.size() && length <= data_.size() - offset;
  }

  [[nodiscard]] std::optional<std::uint32_t> u32(std::uint64_t offset) const {
    if (!holds(offset, 4)) {
      return std::nullopt;
    }
    const auto* p = data_.data() + offset;
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
  }

  [[nodiscard]] std::uint16_t u16(std::uint64_t offset) const {
    const auto* p = data_.data() + offset;
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
  }

 private:
  std::span<const std::uint8_t> data_;
};

bool hasSignature(const Bytes& bytes) {
  constexpr char16_t kPerf[] = u"PERF";
  if (!bytes.holds(kBlockSignature, kBlockSize)) {
    return false;
  }
  for (std::uint64_t i = 0; i < 4; ++i) {
    if (bytes.u16(kBlockSignature + 2 * i) != kPerf[i]) {
      return false;
    }
  }
  return true;
}

// CounterOffset of the counter definition with the given name index.
std::optional<std::uint32_t> idCounterOffset(const Bytes& bytes, std::uint64_t object,
                                             std::uint32_t idProcessIndex) {
  const auto headerLength = bytes.u32(object + kObjectHeaderLength);
  const auto numCounters = bytes.u32(object + kObjectNumCounters);
  if (!headerLength || !numCounters) {
    return std::nullopt;
  }
  std::uint64_t counter = object + *headerLength;
  for (std::uint32_t i = 0; i < *numCounters; ++i) {
    if (!bytes.holds(counter, kCounterDefinitionSize)) {
      return std::nullopt;
    }
    const std::uint32_t byteLength = *bytes.u32(counter + kCounterByteLength);
    if (*bytes.u32(counter + kCounterNameTitleIndex) == idProcessIndex) {
      return *bytes.u32(counter + kCounterOffset);
    }
    // A definition shorter than the record would walk in place or backwards.
    if (byteLength < kCounterDefinitionSize) {
      return std::nullopt;
    }
    counter += byteLength;
  }
  return std::nullopt;
}

std::optional<std::u16string> instanceName(const Bytes& bytes, std::uint64_t instance) {
  const std::uint64_t offset = instance + *bytes.u32(instance + kInstanceNameOffset);
  const std::uint32_t length = *bytes.u32(instance + kInstanceNameLength);
  if (!bytes.holds(offset, length)) {
    return std::nullopt;
  }
  std::u16string name;
  for (std::uint64_t i = 0; i + 1 < length; i += 2) {
    const char16_t c = bytes.u16(offset + i);
    if (c == 0) {
      break;
    }
    name.push_back(c);
  }
  return name;
}

}  // namespace

std::optional<std::string> counterIndex(std::span<const std::uint8_t> counterList,
                                        std::string_view name) {
  const std::string_view text(reinterpret_cast<const char*>(counterList.data()),
                              counterList.size());
  // Reads one NUL-terminated string; the end of the data ends it too.
  std::size_t position = 0;
  const auto next = [&text, &position]() -> std::string_view {
    if (position >= text.size()) {
      return {};
    }
    const std::size_t end = std::min(text.find('\0', position), text.size());
    const std::string_view item = text.substr(position, end - position);
    position = end + 1;
    return item;
  };
  while (position < text.size()) {
    const std::string_view index = next();
    if (index.empty()) {
      break;  // the extra NUL that ends the list
    }
    if (next() == name) {
      return std::string(index);
    }
  }
  return std::nullopt;
}

std::optional<std::u16string> processInstanceName(std::span<const std::uint8_t> data,
                                                  std::uint32_t idProcessIndex,
                                                  std::uint32_t processId) {
  const Bytes bytes(data);
  if (!hasSignature(bytes)) {
    return std::nullopt;
  }
  const std::uint64_t object = *bytes.u32(kBlockHeaderLength);
  if (!bytes.holds(object, kObjectSize)) {
    return std::nullopt;
  }
  const auto counterOffset = idCounterOffset(bytes, object, idProcessIndex);
  if (!counterOffset) {
    return std::nullopt;
  }
  const std::uint32_t numInstances = *bytes.u32(object + kObjectNumInstances);
  std::uint64_t instance = object + *bytes.u32(object + kObjectDefinitionLength);
  // Each step moves forward by at least one record, and the walk stops at
  // the first record that does not fit, so it ends on any data.
  for (std::uint32_t i = 0; i < numInstances; ++i) {
    if (!bytes.holds(instance, kInstanceSize)) {
      return std::nullopt;
    }
    const std::uint32_t instanceLength = *bytes.u32(instance + kInstanceByteLength);
    if (instanceLength < kInstanceSize) {
      return std::nullopt;
    }
    const std::uint64_t block = instance + instanceLength;
    const auto blockLength = bytes.u32(block + kCounterBlockByteLength);
    if (!blockLength || *blockLength < kCounterBlockSize || !bytes.holds(block, *blockLength) ||
        std::uint64_t{*counterOffset} + 4 > *blockLength) {
      return std::nullopt;
    }
    const auto id = bytes.u32(block + *counterOffset);
    if (!id) {
      return std::nullopt;
    }
    if (*id == processId) {
      return instanceName(bytes, instance);
    }
    instance = block + *blockLength;
  }
  return std::nullopt;
}

}  // namespace strennix::perf
