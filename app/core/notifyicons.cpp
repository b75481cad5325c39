#include "app/core/notifyicons.h"

#include "platform/winconst.h"

namespace strennix {

namespace {

constexpr const char* kTrayMessageFailed = "::TrayMessage failed.";
constexpr const char* kMsgToTrayiconFailed = "::msgToTrayicon failed.";

// A window's icon: ID = slot, callback WM_ASTRAY; only NIM_MODIFY carries
// the picture and the tip.
NotifyIconData windowIcon(std::uint32_t operation, const std::string& tip, IconHandle icon,
                          std::uint32_t id) {
  NotifyIconData data;
  data.id = id;
  data.callbackMessage = win::kWmAsTray;
  if (operation == win::kNimModify) {
    data.icon = icon;
    data.tip = tip.substr(0, kMaxTipLength);
  }
  return data;
}

}  // namespace

NotifyIcons::NotifyIcons(ShellPort& shell, const Logger& log) : shell_(shell), log_(log, kAppLog) {}

void NotifyIcons::setOwner(Hwnd owner, IconHandle applicationIcon) {
  owner_ = owner;
  applicationIcon_ = applicationIcon;
}

bool NotifyIcons::removeOwnIcon() {
  return notify(win::kNimDelete, ownIcon(win::kNimDelete), kTrayMessageFailed);
}

bool NotifyIcons::addWindowIcon(std::uint32_t id) {
  return windowIconMessage(win::kNimAdd, "", IconHandle{}, id);
}

bool NotifyIcons::changeWindowIcon(const std::string& tip, IconHandle icon, std::uint32_t id) {
  return windowIconMessage(win::kNimModify, tip, icon, id);
}

bool NotifyIcons::removeWindowIcon(std::uint32_t id) {
  return windowIconMessage(win::kNimDelete, "", IconHandle{}, id);
}

bool NotifyIcons::windowIconMessage(std::uint32_t operation, const std::string& tip,
                                    IconHandle icon, std::uint32_t id) {
  return notify(operation, windowIcon(operation, tip, icon, id), kMsgToTrayiconFailed);
}

bool NotifyIcons::showOwnIcon() {
  const bool added = send(win::kNimAdd, ownIcon(win::kNimAdd));
  const bool shown = send(win::kNimModify, ownIcon(win::kNimModify)) || added;
  if (!shown && !ownIconFailureLogged_) {
    log_.writeLog(kTrayMessageFailed);
  }
  ownIconFailureLogged_ = !shown;
  return shown;
}

bool NotifyIcons::reAddWindowIcon(const std::string& tip, IconHandle icon, std::uint32_t id) {
  const bool added = send(win::kNimAdd, windowIcon(win::kNimAdd, tip, icon, id));
  return changeWindowIcon(tip, icon, id) || added;
}

NotifyIconData NotifyIcons::ownIcon(std::uint32_t operation) const {
  NotifyIconData data;
  data.id = kOwnTrayIconId;
  data.callbackMessage = win::kWmTray;
  if (operation == win::kNimModify) {
    data.icon = applicationIcon_;
    data.tip = "Strennix";
  }
  return data;
}

bool NotifyIcons::send(std::uint32_t operation, NotifyIconData data) {
  data.owner = owner_;
  data.flags = win::kNifMessage | win::kNifIcon | win::kNifTip;
  return shell_.notifyIcon(operation, data);
}

bool NotifyIcons::notify(std::uint32_t operation, const NotifyIconData& data,
                         const char* failureLine) {
  const bool succeeded = send(operation, data);
  if (!succeeded) {
    log_.writeLog(failureLine);
  }
  return succeeded;
}

}  // namespace strennix
