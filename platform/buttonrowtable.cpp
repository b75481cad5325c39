#include "platform/buttonrowtable.h"

#include <atomic>

namespace strennix {

namespace {

using hookprotocol::kButtonRowsCapacity;

}  // namespace

bool trustedTable(const ButtonRowTable& table) {
  return hookprotocol::trustedHeader(table.header.magic, table.header.version, table.header.size);
}

ButtonRowWriter::~ButtonRowWriter() {
  for (unsigned index = 0; index < kButtonRowsCapacity; ++index) {
    if (rows_[index].window != Hwnd{}) {
      write(index, ButtonRow{});
    }
  }
  table_.header.mainWindow = 0U;
}

void ButtonRowWriter::claim(ProcessId program, Hwnd mainWindow) {
  volatile hookprotocol::ButtonRowHeader& header = table_.header;
  header.magic = 0;
  std::atomic_thread_fence(std::memory_order_seq_cst);
  for (unsigned index = 0; index < kButtonRowsCapacity; ++index) {
    write(index, ButtonRow{});
  }
  header.version = hookprotocol::kButtonRowsVersion;
  header.size = sizeof(hookprotocol::ButtonRowTable);
  header.programProcess = program;
  header.mainWindow = handleBits(mainWindow);
  std::atomic_thread_fence(std::memory_order_seq_cst);
  header.magic = hookprotocol::kButtonRowsMagic;
}

std::optional<unsigned> ButtonRowWriter::indexOf(Hwnd window) const {
  for (unsigned index = 0; index < kButtonRowsCapacity; ++index) {
    if (rows_[index].window == window) {
      return index;
    }
  }
  return std::nullopt;
}

void ButtonRowWriter::write(unsigned index, const ButtonRow& row) {
  volatile hookprotocol::ButtonRowRecord& record = table_.rows[index];
  record.sequence = ++sequences_[index];
  std::atomic_thread_fence(std::memory_order_seq_cst);
  record.window = handleBits(row.window);
  record.rightInset = row.rightInset;
  record.top = row.top;
  record.slotWidth = row.slotWidth;
  record.height = row.height;
  record.slots = row.slots;
  std::atomic_thread_fence(std::memory_order_seq_cst);
  record.sequence = ++sequences_[index];
  rows_[index] = row;
}

bool ButtonRowWriter::publish(const ButtonRow& row) {
  if (row.window == Hwnd{}) {
    return false;
  }
  std::optional<unsigned> index = indexOf(row.window);
  if (!index) {
    index = indexOf(Hwnd{});
  }
  if (!index) {
    return false;
  }
  // Rewritten only when it changed: a paint per tick leaves it alone.
  if (rows_[*index] != row) {
    write(*index, row);
  }
  return true;
}

void ButtonRowWriter::withdraw(Hwnd window) {
  if (window == Hwnd{}) {
    return;
  }
  if (const std::optional<unsigned> index = indexOf(window)) {
    write(*index, ButtonRow{});
  }
}

std::optional<ButtonRow> ButtonRowWriter::published(Hwnd window) const {
  const std::optional<unsigned> index = window != Hwnd{} ? indexOf(window) : std::nullopt;
  if (!index) {
    return std::nullopt;
  }
  return rows_[*index];
}

std::vector<Hwnd> ButtonRowWriter::publishedWindows() const {
  std::vector<Hwnd> windows;
  for (const ButtonRow& row : rows_) {
    if (row.window != Hwnd{}) {
      windows.push_back(row.window);
    }
  }
  return windows;
}

}  // namespace strennix
