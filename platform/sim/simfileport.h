// The simulated FilePort: the shared world's files, some of them unreadable.
#pragma once

#include "platform/files.h"
#include "platform/sim/simworld.h"

namespace strennix::sim {

class SimFilePort : public FilePort {
 public:
  explicit SimFilePort(SimWorld& world) : world_(world) {}

  bool exists(const std::string& path) override;
  FileContents readAll(const std::string& path) override;
  bool append(const std::string& path, std::string_view text) override;

 private:
  SimWorld& world_;
};

}  // namespace strennix::sim
