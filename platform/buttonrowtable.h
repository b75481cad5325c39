// The program's side of the shared button rows (platform/hookprotocol.h):
// the one writer of a table that the hook libraries read without a lock.
// It keeps its own copy of every record and its sequence numbers and never
// reads them back from the table, so nothing another program writes there
// can hide a row or change what the program believes it published. No
// Windows types: the table may be any memory, so the host tests run it.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "platform/buttonrows.h"
#include "platform/hookprotocol.h"
#include "platform/types.h"

namespace strennix {

using ButtonRowTable = volatile hookprotocol::ButtonRowTable;

// Whether a table found already made holds the program's header: a map
// left by an earlier run is taken over, one that holds anything else is not
// trusted.
bool trustedTable(const ButtonRowTable& table);

class ButtonRowWriter {
 public:
  explicit ButtonRowWriter(ButtonRowTable& table) : table_(table) {}
  // Gives hook libraries that stay mapped after the program has ended no
  // row to act on.
  ~ButtonRowWriter();
  ButtonRowWriter(const ButtonRowWriter&) = delete;
  ButtonRowWriter& operator=(const ButtonRowWriter&) = delete;

  // Takes the table for this run, before the hooks go in: every record is
  // cleared (a press at a place an earlier run painted goes to its window),
  // then the header names the program and its main window.
  void claim(ProcessId program, Hwnd mainWindow);
  bool publish(const ButtonRow& row);
  void withdraw(Hwnd window);
  [[nodiscard]] std::optional<ButtonRow> published(Hwnd window) const;
  [[nodiscard]] std::vector<Hwnd> publishedWindows() const;

 private:
  [[nodiscard]] std::optional<unsigned> indexOf(Hwnd window) const;
  // Odd while the fields change, between two steps of the record's
  // sequence number.
  void write(unsigned index, const ButtonRow& row);

  ButtonRowTable& table_;
  std::array<ButtonRow, hookprotocol::kButtonRowsCapacity> rows_{};
  std::array<hookprotocol::Uint32, hookprotocol::kButtonRowsCapacity> sequences_{};
};

}  // namespace strennix
