// The button rows painted into other programs' title bars, published for the
// hook libraries, so that they can keep a press on a painted button from its
// window.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/types.h"

namespace strennix {

// A row as painted, relative to the window's rectangle.
struct ButtonRow {
  Hwnd window{};
  // The row's right edge lies this far left of the window's right edge.
  std::int32_t rightInset = 0;
  // The row's top lies this far below the window's top.
  std::int32_t top = 0;
  std::int32_t slotWidth = 0;
  std::int32_t height = 0;
  std::int32_t slots = 0;
  bool operator==(const ButtonRow&) const = default;
};

class ButtonRowsPort {
 public:
  virtual ~ButtonRowsPort() = default;
  // Takes the published rows for this run, before the hooks go in: rows an
  // earlier run left are cleared, and the hook libraries are told the one
  // window they report to. False when the rows cannot be published (another
  // program holds the shared memory, or there is none): presses then go to
  // the windows, and the hook libraries report nothing.
  virtual bool claim(Hwnd mainWindow) = 0;
  // Records the window's row, or replaces it. False when it could not be
  // published (no room, no shared memory): presses then go to the window.
  virtual bool publish(const ButtonRow& row) = 0;
  // Forgets the window's row, if it has one.
  virtual void withdraw(Hwnd window) = 0;
  [[nodiscard]] virtual std::optional<ButtonRow> published(Hwnd window) const = 0;
  [[nodiscard]] virtual std::vector<Hwnd> publishedWindows() const = 0;
};

}  // namespace strennix
