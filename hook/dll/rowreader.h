// How the hook libraries read the program's button rows. Everything read
// from the map may be stale, torn or planted by another program, so each
// value is checked before it is used, and no loop depends on one: a lookup
// reads at most every record once and the hit test divides. No Windows
// types: the unit tests and the fuzzer call it on the host.
#pragma once

#include "platform/hookprotocol.h"

namespace strennix::rowreader {

using hookprotocol::ButtonRowTable;
using hookprotocol::Int32;
using hookprotocol::Uint32;

// The program and its main window as the header names them; both 0 when
// the header is not the program's.
struct Publisher {
  Uint32 process = 0;
  Uint32 mainWindow = 0;
};

inline Publisher publisherOf(const volatile ButtonRowTable& table) {
  const volatile hookprotocol::ButtonRowHeader& header = table.header;
  if (!hookprotocol::trustedHeader(header.magic, header.version, header.size)) {
    return {};
  }
  return Publisher{header.programProcess, header.mainWindow};
}

struct Row {
  Int32 rightInset = 0;
  Int32 top = 0;
  Int32 slotWidth = 0;
  Int32 height = 0;
  Int32 slots = 0;
};

// The window's row, read whole: false when the header is not the program's,
// the window has no record, the record was being rewritten while it was
// read, or it holds what the program never writes.
inline bool readRow(const volatile ButtonRowTable& table, Uint32 window, Row& row) {
  if (window == 0 || publisherOf(table).process == 0) {
    return false;
  }
  for (const volatile hookprotocol::ButtonRowRecord& record : table.rows) {
    if (record.window != window) {
      continue;
    }
    const Uint32 sequence = record.sequence;
    __atomic_thread_fence(__ATOMIC_ACQUIRE);
    row = Row{record.rightInset, record.top, record.slotWidth, record.height, record.slots};
    const Uint32 owner = record.window;
    __atomic_thread_fence(__ATOMIC_ACQUIRE);
    if ((sequence & 1U) != 0 || record.sequence != sequence || owner != window) {
      return false;
    }
    return hookprotocol::plausibleRow(row.rightInset, row.top, row.slotWidth, row.height,
                                      row.slots);
  }
  return false;
}

// The slot of the row under the screen point (x, y) of a window whose
// rectangle's right edge is at windowRight and top at windowTop, or -1.
inline int slotOf(const Row& row, long long windowRight, long long windowTop, long long x,
                  long long y) {
  return hookprotocol::slotInRow(windowRight - row.rightInset, windowTop + row.top, row.slotWidth,
                                 row.height, row.slots, x, y);
}

}  // namespace strennix::rowreader
