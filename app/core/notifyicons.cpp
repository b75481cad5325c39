#include "app/core/notifyicons.h"

#include "platform/winconst.h"

namespace strennix {

NotifyIcons::NotifyIcons(ShellPort& shell, const Logger& log) : shell_(shell), log_(log, kAppLog) {}

void NotifyIcons::setOwner(Hwnd owner, IconHandle applicationIcon) {
  owner_ = owner;
  applicationIcon_ = applicationIcon;
}

bool NotifyIcons::trayMessage(std::uint32_t operation) {
  NotifyIconData data;
  data.id = kOwnTrayIconId;
  data.callbackMessage = win::kWmTray;
  if (operation == win::kNimModify) {
    data.icon = applicationIcon_;
    data.tip = "Strennix";
  }
  return notify(operation, data, "::TrayMessage failed.");
}

bool NotifyIcons::msgToTrayicon(std::uint32_t operation, const std::string& tip, IconHandle icon,
                                std::uint32_t id) {
  NotifyIconData data;
  data.id = id;
  data.callbackMessage = win::kWmAsTray;
  if (operation == win::kNimModify) {
    data.icon = icon;
    data.tip = tip.substr(0, kMaxTipLength);
  }
  return notify(operation, data, "::msgToTrayicon failed.");
}

bool NotifyIcons::notify(std::uint32_t operation, NotifyIconData data, const char* failureLine) {
  data.owner = owner_;
  data.flags = win::kNifMessage | win::kNifIcon | win::kNifTip;
  const bool succeeded = shell_.notifyIcon(operation, data);
  if (!succeeded) {
    log_.writeLog(failureLine);
  }
  return succeeded;
}

}  // namespace strennix
