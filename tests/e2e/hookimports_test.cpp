// hook.dll as built: read from its PE headers, it imports only from USER32,
// KERNEL32 and ADVAPI32, has no TLS directory (so no TLS callbacks run in
// other processes), and its entry point only answers TRUE.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"

namespace strennix::e2e {
namespace {

constexpr std::uint16_t kMachineI386 = 0x014C;
constexpr std::uint16_t kMachineAmd64 = 0x8664;
constexpr std::uint16_t kMagicPe32Plus = 0x020B;
constexpr std::size_t kImportDirectory = 1;
constexpr std::size_t kTlsDirectory = 9;

// The parts of a PE image that the test reads; every read is bounds-checked
// and a malformed file fails the test instead of reading past its end.
class PeImage {
 public:
  explicit PeImage(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {
    const std::uint32_t pe = u32(0x3C);
    if (u32(pe) != 0x00004550) {
      throw std::runtime_error("no PE signature");
    }
    const std::uint32_t coff = pe + 4;
    machine = u16(coff);
    const std::uint16_t sections = u16(coff + 2);
    const std::uint32_t optional = coff + 20;
    const bool plus = u16(optional) == kMagicPe32Plus;
    entryPoint = u32(optional + 16);
    const std::uint32_t directories = optional + (plus ? 112 : 96);
    for (std::size_t i = 0; i < 16; ++i) {
      directory_[i] = {u32(directories + 8 * i), u32(directories + 8 * i + 4)};
    }
    const std::uint32_t table = optional + u16(coff + 16);
    for (std::uint16_t i = 0; i < sections; ++i) {
      const std::uint32_t at = table + 40U * i;
      sections_.push_back({u32(at + 12), u32(at + 8), u32(at + 20), u32(at + 16)});
    }
  }

  struct Directory {
    std::uint32_t rva = 0;
    std::uint32_t size = 0;
  };

  [[nodiscard]] Directory directory(std::size_t index) const { return directory_.at(index); }

  // The names of the imported DLLs, in capitals.
  [[nodiscard]] std::set<std::string> importedDlls() const {
    std::set<std::string> names;
    const Directory imports = directory(kImportDirectory);
    if (imports.rva == 0) {
      return names;
    }
    for (std::uint32_t at = offsetOf(imports.rva);; at += 20) {
      const std::uint32_t nameRva = u32(at + 12);
      if (nameRva == 0 && u32(at) == 0) {
        return names;
      }
      std::string name;
      for (std::uint32_t c = offsetOf(nameRva); byte(c) != 0; ++c) {
        name += static_cast<char>(std::toupper(byte(c)));
      }
      names.insert(name);
    }
  }

  [[nodiscard]] std::vector<std::uint8_t> codeAt(std::uint32_t rva, std::size_t length) const {
    std::vector<std::uint8_t> code;
    const std::uint32_t at = offsetOf(rva);
    for (std::size_t i = 0; i < length; ++i) {
      code.push_back(byte(at + static_cast<std::uint32_t>(i)));
    }
    return code;
  }

  std::uint16_t machine = 0;
  std::uint32_t entryPoint = 0;

 private:
  struct Section {
    std::uint32_t rva = 0;
    std::uint32_t virtualSize = 0;
    std::uint32_t fileOffset = 0;
    std::uint32_t fileSize = 0;
  };

  [[nodiscard]] std::uint8_t byte(std::uint32_t at) const { return bytes_.at(at); }
  [[nodiscard]] std::uint16_t u16(std::uint32_t at) const {
    return static_cast<std::uint16_t>(byte(at) | byte(at + 1) << 8);
  }
  [[nodiscard]] std::uint32_t u32(std::uint32_t at) const {
    return u16(at) | static_cast<std::uint32_t>(u16(at + 2)) << 16;
  }
  [[nodiscard]] std::uint32_t offsetOf(std::uint32_t rva) const {
    for (const Section& s : sections_) {
      if (rva >= s.rva && rva < s.rva + std::max(s.virtualSize, s.fileSize)) {
        return s.fileOffset + (rva - s.rva);
      }
    }
    throw std::runtime_error("address outside every section");
  }

  std::vector<std::uint8_t> bytes_;
  std::array<Directory, 16> directory_{};
  std::vector<Section> sections_;
};

// The library's image as built, or nothing when it is not.
std::optional<PeImage> readLibrary(const Build& build) {
  std::ifstream file(build.file(build.library), std::ios::binary);
  if (!file) {
    return std::nullopt;
  }
  return PeImage(std::vector<std::uint8_t>{std::istreambuf_iterator<char>(file),
                                           std::istreambuf_iterator<char>()});
}

void expectHarmless(const PeImage& image, const Build& build) {
  const std::set<std::string> allowed = {"USER32.DLL", "KERNEL32.DLL", "ADVAPI32.DLL"};
  const std::set<std::string> imported = image.importedDlls();
  EXPECT_TRUE(std::includes(allowed.begin(), allowed.end(), imported.begin(), imported.end()))
      << testing::PrintToString(imported);
  EXPECT_TRUE(imported.contains("USER32.DLL"));
  EXPECT_EQ(image.directory(kTlsDirectory).rva, 0U) << "a TLS directory runs callbacks";
  EXPECT_EQ(image.directory(kTlsDirectory).size, 0U);

  // mov eax, 1; then ret 12 (stdcall, 32-bit) or ret.
  ASSERT_NE(image.entryPoint, 0U);
  const std::vector<std::uint8_t> answerTrue32 = {0xB8, 1, 0, 0, 0, 0xC2, 0x0C, 0x00};
  const std::vector<std::uint8_t> answerTrue64 = {0xB8, 1, 0, 0, 0, 0xC3};
  if (build.bits == "32") {
    ASSERT_EQ(image.machine, kMachineI386);
    EXPECT_EQ(image.codeAt(image.entryPoint, answerTrue32.size()), answerTrue32);
  } else {
    ASSERT_EQ(image.machine, kMachineAmd64);
    EXPECT_EQ(image.codeAt(image.entryPoint, answerTrue64.size()), answerTrue64);
  }
}

class HookLibraryImageTest : public ::testing::TestWithParam<Edition> {};

// Both libraries the edition ships: its own and its helper's.
TEST_P(HookLibraryImageTest, ImportsOnlyUserKernelAndAdvapiAndRunsNothingWhenLoaded) {
  for (const Build& build : {buildOf(GetParam()), buildOf(otherBitness(GetParam()))}) {
    SCOPED_TRACE(build.library);
    const std::optional<PeImage> image = readLibrary(build);
    if (!image) {
      const std::string missing = build.library + " is not built in " + build.bin.string() +
                                  ": build the " + build.preset + " preset";
      if (binariesRequired()) {
        ADD_FAILURE() << missing;
        continue;
      }
      GTEST_SKIP() << missing;
    }
    expectHarmless(*image, build);
  }
}

STRENNIX_TEST_EDITIONS(HookLibraryImageTest, runnableEditions());

}  // namespace
}  // namespace strennix::e2e
