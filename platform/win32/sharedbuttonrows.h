// The published button rows in a named shared memory map, laid out as the
// hook libraries read it (platform/hookprotocol.h). The program is the one
// writer; the readers take no lock, so each record is rewritten between two
// steps of its sequence number.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <vector>

#include "platform/buttonrows.h"
#include "platform/handle.h"
#include "platform/hookprotocol.h"

namespace strennix::win32 {

class SharedButtonRows;

// The map object, closed with CloseHandle.
struct MappingTraits {
  using Value = HANDLE;
  using Owner = SharedButtonRows;
  static bool valid(const Value& value) { return value != nullptr; }
  static void release(Owner& /*owner*/, const Value& value) noexcept { CloseHandle(value); }
};

// The program's view of the map, unmapped with UnmapViewOfFile.
struct ViewTraits {
  using Value = void*;
  using Owner = SharedButtonRows;
  static bool valid(const Value& value) { return value != nullptr; }
  static void release(Owner& /*owner*/, const Value& value) noexcept { UnmapViewOfFile(value); }
};

class SharedButtonRows {
 public:
  SharedButtonRows() = default;
  // Clears every record: hook libraries that stay mapped after the program
  // has ended must find no row.
  ~SharedButtonRows();
  SharedButtonRows(const SharedButtonRows&) = delete;
  SharedButtonRows& operator=(const SharedButtonRows&) = delete;

  bool publish(const ButtonRow& row);
  void withdraw(Hwnd window);
  [[nodiscard]] std::optional<ButtonRow> published(Hwnd window) const;
  [[nodiscard]] std::vector<Hwnd> publishedWindows() const;

 private:
  using Record = volatile hookprotocol::ButtonRowRecord;

  // Made on the first publication. A map left by an earlier run (kept alive
  // by a hook library's view) is cleared first.
  bool open();
  static void write(Record& record, const ButtonRow& row);
  [[nodiscard]] Record& record(unsigned index) const;
  [[nodiscard]] std::optional<unsigned> freeRecord() const;

  UniqueHandle<MappingTraits> mapping_;
  UniqueHandle<ViewTraits> view_;  // after the map: unmapped before it closes
  std::map<Hwnd, unsigned> recordOf_;
};

}  // namespace strennix::win32
