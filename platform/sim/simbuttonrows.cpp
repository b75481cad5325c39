// ButtonRowsPort and the pressed look of the simulated desktop.
#include "platform/sim/simdesktop.h"

namespace strennix::sim {

void SimDesktop::drawSunkenEdge(const WindowDc& dc, const Rect& rect) {
  if (openDcs_.contains(dc.dc)) {
    sunkenEdges.push_back(EdgeCall{dc.window, rect});
  }
}

bool SimDesktop::publish(const ButtonRow& row) {
  if (row.window == 0) {
    return false;
  }
  buttonRows.insert_or_assign(row.window, row);
  return true;
}

void SimDesktop::withdraw(Hwnd window) { buttonRows.erase(window); }

std::optional<ButtonRow> SimDesktop::published(Hwnd window) const {
  const auto found = buttonRows.find(window);
  if (found == buttonRows.end()) {
    return std::nullopt;
  }
  return found->second;
}

std::vector<Hwnd> SimDesktop::publishedWindows() const {
  std::vector<Hwnd> windows;
  for (const auto& [window, row] : buttonRows) {
    windows.push_back(window);
  }
  return windows;
}

}  // namespace strennix::sim
