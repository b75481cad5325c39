#include "platform/win32/sharedbuttonrows.h"

#include <atomic>

namespace strennix::win32 {

namespace {

using hookprotocol::kButtonRowsCapacity;

ButtonRow rowOf(const volatile hookprotocol::ButtonRowRecord& record) {
  return ButtonRow{handleOfBits<Hwnd>(record.window),
                   record.rightInset,
                   record.top,
                   record.slotWidth,
                   record.height,
                   record.slots};
}

}  // namespace

SharedButtonRows::~SharedButtonRows() {
  for (const auto& [window, index] : recordOf_) {
    write(record(index), ButtonRow{});
  }
}

bool SharedButtonRows::open() {
  if (view_) {
    return true;
  }
  mapping_ = UniqueHandle<MappingTraits>(
      *this,
      CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                         sizeof(hookprotocol::ButtonRowTable), hookprotocol::kButtonRowsMapName));
  if (!mapping_) {
    return false;
  }
  view_ = UniqueHandle<ViewTraits>(*this, MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0,
                                                        sizeof(hookprotocol::ButtonRowTable)));
  if (!view_) {
    return false;
  }
  for (unsigned index = 0; index < kButtonRowsCapacity; ++index) {
    if (record(index).window != 0) {
      write(record(index), ButtonRow{});
    }
  }
  return true;
}

SharedButtonRows::Record& SharedButtonRows::record(unsigned index) const {
  return static_cast<volatile hookprotocol::ButtonRowTable*>(view_.get())->rows[index];
}

// Odd while the fields change; the fences keep the compiler and the
// processor from moving the field writes out from between the two steps.
void SharedButtonRows::write(Record& record, const ButtonRow& row) {
  record.sequence = record.sequence + 1;
  std::atomic_thread_fence(std::memory_order_seq_cst);
  record.window = handleBits(row.window);
  record.rightInset = row.rightInset;
  record.top = row.top;
  record.slotWidth = row.slotWidth;
  record.height = row.height;
  record.slots = row.slots;
  std::atomic_thread_fence(std::memory_order_seq_cst);
  record.sequence = record.sequence + 1;
}

std::optional<unsigned> SharedButtonRows::freeRecord() const {
  for (unsigned index = 0; index < kButtonRowsCapacity; ++index) {
    if (record(index).window == 0) {
      return index;
    }
  }
  return std::nullopt;
}

bool SharedButtonRows::publish(const ButtonRow& row) {
  if (row.window == Hwnd{} || !open()) {
    return false;
  }
  if (const auto found = recordOf_.find(row.window); found != recordOf_.end()) {
    // Rewritten only when it changed: a paint per tick leaves it alone.
    if (rowOf(record(found->second)) != row) {
      write(record(found->second), row);
    }
    return true;
  }
  const auto index = freeRecord();
  if (!index) {
    return false;
  }
  write(record(*index), row);
  recordOf_.emplace(row.window, *index);
  return true;
}

void SharedButtonRows::withdraw(Hwnd window) {
  const auto found = recordOf_.find(window);
  if (found == recordOf_.end()) {
    return;
  }
  write(record(found->second), ButtonRow{});
  recordOf_.erase(found);
}

std::optional<ButtonRow> SharedButtonRows::published(Hwnd window) const {
  const auto found = recordOf_.find(window);
  if (found == recordOf_.end()) {
    return std::nullopt;
  }
  return rowOf(record(found->second));
}

std::vector<Hwnd> SharedButtonRows::publishedWindows() const {
  std::vector<Hwnd> windows;
  windows.reserve(recordOf_.size());
  for (const auto& [window, index] : recordOf_) {
    windows.push_back(window);
  }
  return windows;
}

}  // namespace strennix::win32
