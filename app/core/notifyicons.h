// The two wrappers around the shell's notification-icon call: the program's
// own icon and the icons of windows hidden behind a tray icon.
#pragma once

#include <cstdint>
#include <string>

#include "app/core/log.h"
#include "platform/shell.h"
#include "platform/types.h"

namespace strennix {

inline constexpr std::uint32_t kOwnTrayIconId = 1006;
inline constexpr std::size_t kMaxTipLength = 63;

class NotifyIcons {
 public:
  NotifyIcons(ShellPort& shell, const Logger& log);

  // Set once the main window and the application icon exist.
  void setOwner(Hwnd owner, IconHandle applicationIcon);
  [[nodiscard]] IconHandle applicationIcon() const { return applicationIcon_; }

  // The program's own icon (ID 1006, callback WM_TRAY) goes, at the end.
  bool removeOwnIcon();
  // A window's icon (ID = slot, callback WM_ASTRAY): added empty, then given
  // its picture and tip (cut to 63 characters) by the change, and removed.
  // Each failure is logged; each answers whether the shell took it.
  bool addWindowIcon(std::uint32_t id);
  bool changeWindowIcon(const std::string& tip, IconHandle icon, std::uint32_t id);
  bool removeWindowIcon(std::uint32_t id);

  // Adds the own icon and sets its picture and tip, at the start, after
  // "TaskbarCreated" and on every tick until the shell takes it. An icon the
  // shell still has refuses the add; that is no failure. A shell that takes
  // neither is logged once, not again until the icon has been shown.
  // Answers whether the shell shows it.
  bool showOwnIcon();
  bool reAddWindowIcon(const std::string& tip, IconHandle icon, std::uint32_t id);

 private:
  bool windowIconMessage(std::uint32_t operation, const std::string& tip, IconHandle icon,
                         std::uint32_t id);
  NotifyIconData ownIcon(std::uint32_t operation) const;
  bool send(std::uint32_t operation, NotifyIconData data);
  bool notify(std::uint32_t operation, const NotifyIconData& data, const char* failureLine);

  ShellPort& shell_;
  ModuleLog log_;
  Hwnd owner_{};
  IconHandle applicationIcon_{};
  bool ownIconFailureLogged_ = false;
};

}  // namespace strennix
