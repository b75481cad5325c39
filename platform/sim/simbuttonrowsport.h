// The simulated ButtonRowsPort: the published rows kept in the shared world.
#pragma once

#include "platform/buttonrows.h"
#include "platform/sim/simworld.h"

namespace strennix::sim {

class SimButtonRowsPort : public ButtonRowsPort {
 public:
  explicit SimButtonRowsPort(SimWorld& world) : world_(world) {}

  bool claim(Hwnd mainWindow) override;
  bool publish(const ButtonRow& row) override;
  void withdraw(Hwnd window) override;
  [[nodiscard]] std::optional<ButtonRow> published(Hwnd window) const override;
  [[nodiscard]] std::vector<Hwnd> publishedWindows() const override;

 private:
  SimWorld& world_;
};

}  // namespace strennix::sim
