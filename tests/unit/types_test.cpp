// The handle types: one kind never passes for another or for a number, each
// is as wide as a pointer, and the 32-bit form that the logs, the journal,
// the button rows and the private messages carry comes back as the system
// widens it.
#include <gtest/gtest.h>

#include <cstdint>
#include <type_traits>

#include "platform/types.h"

namespace strennix {
namespace {

template <class Handle, class... Others>
constexpr bool passesForNone() {
  return (!std::is_convertible_v<Handle, Others> && ...);
}

static_assert(passesForNone<Hwnd, IconHandle, ModuleHandle, HookHandle, ProcAddress, unsigned>());
static_assert(passesForNone<ModuleHandle, Hwnd, IconHandle, HookHandle, ProcAddress, unsigned>());
static_assert(passesForNone<ProcAddress, Hwnd, IconHandle, ModuleHandle, HookHandle, unsigned>());
static_assert(passesForNone<unsigned, Hwnd, IconHandle, ModuleHandle, HookHandle, ProcAddress>());
static_assert(sizeof(Hwnd) == sizeof(void*) && sizeof(ModuleHandle) == sizeof(void*) &&
              sizeof(ProcAddress) == sizeof(void (*)()));
// Modules and procedures are addresses: they have no 32-bit form.
static_assert(ThirtyTwoBitHandle<HookHandle> && !ThirtyTwoBitHandle<ModuleHandle> &&
              !ThirtyTwoBitHandle<ProcAddress>);

TEST(HandleTypesTest, TheThirtyTwoBitFormComesBackAsTheSystemWidensIt) {
  EXPECT_EQ(handleBits(Hwnd{0x0002001A}), 0x0002001AU);
  EXPECT_EQ(handleOfBits<Hwnd>(0x0002001A), Hwnd{0x0002001A});
  EXPECT_EQ(handleOfBits<IconHandle>(0), IconHandle{});

  // The top bit of the 32 is the sign: all ones above it, on 64-bit Windows.
  const auto high = handleOfBits<HookHandle>(0x80000010U);
  EXPECT_EQ(static_cast<std::uintptr_t>(high), std::uintptr_t{0} - 0x7FFFFFF0U);
  EXPECT_EQ(handleBits(high), 0x80000010U);
  EXPECT_EQ(handleOfBits<Hwnd>(0xFFFFFFFFU), Hwnd{~std::uintptr_t{0}});
}

}  // namespace
}  // namespace strennix
