// Inside the Win32 back end only: conversions between the ports' values and
// the API's handle types, and owners for the raw handles that the
// back end keeps beyond one call.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <type_traits>

#include "platform/handle.h"
#include "platform/types.h"

namespace strennix::win32 {

// The API passes handles and pointers as integers too (message parameters,
// window longs, class brushes): the one place that turns them back.
template <class Pointer, class Integer>
Pointer fromInteger(Integer value) {
  return reinterpret_cast<Pointer>(value);  // NOLINT(performance-no-int-to-ptr)
}

// Handles of windows, menus, icons, hooks, GDI and kernel objects have 32
// significant bits in 32- and 64-bit processes alike, which a 64-bit process
// sees sign-extended: the ports keep those 32 bits, so that a window handle
// compares equal however it arrived (from the system or in a message).
template <class HandleType>
HandleType toHandle(std::uintptr_t value) {
  return fromInteger<HandleType>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
}

template <class HandleType>
std::uint32_t fromHandle(HandleType handle) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle));
}

// Modules and entry points are addresses, as wide as a pointer: the ports'
// own types (platform/types.h) and the API's, both ways.
template <class Raw, class Handle>
requires std::is_enum_v<Handle> Raw toRaw(Handle handle) {
  return fromInteger<Raw>(static_cast<std::uintptr_t>(handle));
}

template <class Handle, class Raw>
requires std::is_enum_v<Handle> Handle fromRaw(Raw raw) {
  return static_cast<Handle>(reinterpret_cast<std::uintptr_t>(raw));
}

// A window handle is kept as the system gives it, already sign-extended in a
// 64-bit process; one that comes as 32 bits goes through handleOfBits.
inline HWND toHwnd(Hwnd window) { return toRaw<HWND>(window); }
inline Hwnd fromHwnd(HWND window) { return fromRaw<Hwnd>(window); }

// A function of user32 that older systems lack, taken at run time; null
// where it is missing.
template <class Function>
Function user32EntryPoint(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

// The same for kernel32.
template <class Function>
Function kernel32EntryPoint(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

// The executable's own module, which holds the layouts and icons.
inline HINSTANCE moduleInstance() { return GetModuleHandleA(nullptr); }

class Win32UiPort;

// A font made for a form, deleted with DeleteObject.
struct FontTraits {
  using Value = HFONT;
  using Owner = Win32UiPort;
  static bool valid(const Value& value) { return value != nullptr; }
  static void release(Owner& /*owner*/, const Value& value) noexcept { DeleteObject(value); }
};

using Font = UniqueHandle<FontTraits>;

// UTF-16 text (as in the layouts) in the active ANSI code page.
std::string ansiText(const std::u16string& text);

// Text of a window: a control's caption, a list item and the like.
std::string windowTextOf(HWND window);

}  // namespace strennix::win32
