#include "platform/sim/simbuttonrowsport.h"

namespace strennix::sim {

bool SimButtonRowsPort::claim(Hwnd mainWindow) {
  if (world_.buttonRowsRefused) {
    return false;
  }
  world_.buttonRows.clear();
  world_.buttonRowsReceiver = mainWindow;
  return true;
}

bool SimButtonRowsPort::publish(const ButtonRow& row) {
  if (row.window == Hwnd{} || world_.buttonRowsRefused) {
    return false;
  }
  world_.buttonRows.insert_or_assign(row.window, row);
  return true;
}

void SimButtonRowsPort::withdraw(Hwnd window) { world_.buttonRows.erase(window); }

std::optional<ButtonRow> SimButtonRowsPort::published(Hwnd window) const {
  const auto found = world_.buttonRows.find(window);
  if (found == world_.buttonRows.end()) {
    return std::nullopt;
  }
  return found->second;
}

std::vector<Hwnd> SimButtonRowsPort::publishedWindows() const {
  std::vector<Hwnd> windows;
  windows.reserve(world_.buttonRows.size());
  for (const auto& [window, row] : world_.buttonRows) {
    windows.push_back(window);
  }
  return windows;
}

}  // namespace strennix::sim
