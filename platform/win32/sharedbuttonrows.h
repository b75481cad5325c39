// The published button rows in a named shared memory map, laid out as the
// hook libraries read it (platform/hookprotocol.h) and written through the
// one ButtonRowWriter.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "platform/buttonrows.h"
#include "platform/buttonrowtable.h"
#include "platform/handle.h"

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
  SharedButtonRows(const SharedButtonRows&) = delete;
  SharedButtonRows& operator=(const SharedButtonRows&) = delete;

  // Makes the map, or takes over the one an earlier run left (kept alive by
  // the hook libraries' views); a map of the same name that holds anything
  // else is not trusted.
  bool claim(Hwnd mainWindow);
  bool publish(const ButtonRow& row);
  void withdraw(Hwnd window);
  [[nodiscard]] std::optional<ButtonRow> published(Hwnd window) const;
  [[nodiscard]] std::vector<Hwnd> publishedWindows() const;

 private:
  bool open();

  UniqueHandle<MappingTraits> mapping_;
  UniqueHandle<ViewTraits> view_;  // after the map: unmapped before it closes
  // After the view: clears the rows before it is unmapped.
  std::optional<ButtonRowWriter> writer_;
};

}  // namespace strennix::win32
