// What the program and its hook libraries agree on. The hook libraries are
// built without the C++ runtime, so this header includes nothing.
#pragma once

namespace strennix::hookprotocol {

// Posted by the hook libraries to the main window.
inline constexpr unsigned kWmApp = 0x8000;
inline constexpr unsigned kStrnxDestroy = kWmApp + 0x65;
inline constexpr unsigned kStrnxNcLButtonUp = kWmApp + 0x66;
// A window's title bar is being painted anew (activation, deactivation, the
// start of a move or size, a new title): wParam the window.
inline constexpr unsigned kStrnxCaptionChange = kWmApp + 0x70;
// A press on a painted button, kept from the window: wParam the window,
// lParam the slot (0 = the rightmost).
inline constexpr unsigned kStrnxButtonDown = kWmApp + 0x71;
// The release that ends such a press: wParam the window, lParam the slot
// under the release or -1 when it is not over a button of that window.
inline constexpr unsigned kStrnxButtonUp = kWmApp + 0x72;
// A window is minimized, maximized or restored (from the hook libraries),
// or moved, sized or hidden (from the program's own watch of the system's
// window events): its title bar and those it uncovers are painted anew;
// wParam the window.
inline constexpr unsigned kStrnxUncovered = kWmApp + 0x73;

// The main window's class and caption. The hook libraries never look it up
// by name (any program can make such a window first): they post to the
// window the program names in the button rows' header.
inline constexpr const char* kMainClass = "TStrennix";
inline constexpr const char* kMainCaption = "Strennix";

// Where the program publishes its hook handles for the 9x family.
inline constexpr const char* kSettingsKey = "Software\\Corvane inc.\\Strennix";
inline constexpr const char* kMouseHookValue = "mH";
inline constexpr const char* kCbtHookValue = "cbtH";

// The files of one bitness beside strennix.exe: its hook library, and the
// helper that installs that library's hooks for a program of the other
// bitness. On 64-bit Windows each edition's strennix.exe installs its own
// library's hooks and starts the other bitness's helper.
struct BitnessFiles {
  const char* library;
  const char* helper;
  const char* windows;  // the windows its hooks reach, for the log
};
inline constexpr BitnessFiles kFiles32{"hook.dll", "strennix32.exe", "32-bit"};
inline constexpr BitnessFiles kFiles64{"hook64.dll", "strennix64.exe", "64-bit"};
constexpr const BitnessFiles& ownFiles(bool program64Bit) {
  return program64Bit ? kFiles64 : kFiles32;
}
constexpr const BitnessFiles& otherFiles(bool program64Bit) {
  return program64Bit ? kFiles32 : kFiles64;
}
// The files of the bitness this source is being built for.
inline constexpr bool kBuiltFor64Bit = sizeof(void*) == 8;
inline constexpr const BitnessFiles& kOwnFiles = ownFiles(kBuiltFor64Bit);
inline constexpr const char* kMouseProcName = "MouseProc";
inline constexpr const char* kCbtProcName = "CBTProc";

// The exit code of the helper, which tells strennix.exe why it ended.
enum class HelperExit : unsigned {
  Ended = 0,           // strennix.exe ended, or asked it to end
  BadCommandLine = 1,  // not a process id and an end signal on the command line
  ProgramGone = 2,     // that process could not be opened
  LibraryMissing = 3,  // its hook library is not beside the helper
  ExportMissing = 4,   // its hook library lacks MouseProc or CBTProc
  HookRefused = 5,     // the system refused a hook
  NotTheProgram = 6,   // that process was not started from the helper's folder
};

// The same widths in 32- and 64-bit processes, without <cstdint>.
using Int32 = __INT32_TYPE__;
using Uint32 = __UINT32_TYPE__;
static_assert(sizeof(Int32) == 4 && sizeof(Uint32) == 4);

// The button rows the program has painted, published in a named shared
// memory map that the program writes and the hook libraries only read. A
// record describes the row as it was painted, relative to the window's
// rectangle, so that it stays right while the window moves. Window handles
// are kept as their 32 significant bits, which 64-bit Windows shares with
// 32-bit programs. Fixed-width fields only: both bitnesses read the same
// bytes.
inline constexpr const char* kButtonRowsMapName = "StrennixButtonRows";
inline constexpr unsigned kButtonRowsCapacity = 256;
inline constexpr Uint32 kButtonRowsMagic = 0x584E5453;  // "STNX"
inline constexpr Uint32 kButtonRowsVersion = 2;

// What the program can ever publish: at most six buttons, each no wider and
// no higher than a title bar at the largest scaling Windows offers; the
// settings are clamped to the same bounds.
inline constexpr int kMaxSlots = 6;
inline constexpr int kMaxButtonStretch = 256;

struct ButtonRowHeader {
  // kButtonRowsMagic, kButtonRowsVersion and sizeof(ButtonRowTable), written
  // last when the program takes the map: a reader trusts nothing before.
  Uint32 magic;
  Uint32 version;
  Uint32 size;
  // The program's process and its main window, the one window the hook
  // libraries post to, and only while that window belongs to that process:
  // the rows of a program that has gone count as none.
  Uint32 programProcess;
  Uint32 mainWindow;
  Uint32 reserved[3];
};
static_assert(sizeof(ButtonRowHeader) == 32);

struct ButtonRowRecord {
  // Odd while the program rewrites the record: a reader that sees it odd,
  // or changed after reading, skips the record.
  Uint32 sequence;
  // 0 for a free record.
  Uint32 window;
  // The row's right edge lies this far left of the window's right edge.
  Int32 rightInset;
  // The row's top lies this far below the window's top.
  Int32 top;
  Int32 slotWidth;
  Int32 height;
  Int32 slots;
  Uint32 reserved;
};
static_assert(sizeof(ButtonRowRecord) == 32);

struct ButtonRowTable {
  ButtonRowHeader header;
  ButtonRowRecord rows[kButtonRowsCapacity];
};
static_assert(sizeof(ButtonRowTable) == 32 + 32 * kButtonRowsCapacity);

constexpr bool trustedHeader(Uint32 magic, Uint32 version, Uint32 size) {
  return magic == kButtonRowsMagic && version == kButtonRowsVersion &&
         size == sizeof(ButtonRowTable);
}

// A record holds only what the program could have written; anything else
// is no row.
constexpr bool plausibleRow(Int32 rightInset, Int32 top, Int32 slotWidth, Int32 height,
                            Int32 slots) {
  return rightInset >= 0 && top >= 0 && slotWidth >= 0 && slotWidth <= kMaxButtonStretch &&
         height >= 0 && height <= kMaxButtonStretch && slots >= 0 && slots <= kMaxSlots;
}

// The one hit test of a point against a row whose right edge is at x =
// rowRight and top at y = rowTop (screen coordinates): the slot (0 = the
// rightmost) when the point lies strictly inside the row, the drawn row less
// its leftmost column and its top and bottom rows; -1 otherwise, and for a
// row the program cannot publish. 64-bit so that no coordinate overflows;
// one 32-bit division whatever the sizes (the hook libraries have no
// run-time library for a 64-bit one on 32-bit x86).
constexpr int slotInRow(long long rowRight, long long rowTop, long long slotWidth, long long height,
                        long long slots, long long x, long long y) {
  if (slotWidth <= 0 || slotWidth > kMaxButtonStretch || slots <= 0 || slots > kMaxSlots) {
    return -1;
  }
  const bool inside =
      rowRight - slots * slotWidth < x && x < rowRight && rowTop < y && y < rowTop + height - 1;
  if (!inside) {
    return -1;
  }
  // Inside, 0 <= rowRight - 1 - x < slots * slotWidth, a few thousand at most.
  return static_cast<int>(rowRight - 1 - x) / static_cast<int>(slotWidth);
}

}  // namespace strennix::hookprotocol
