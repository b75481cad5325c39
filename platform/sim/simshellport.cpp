#include "platform/sim/simshellport.h"

#include "platform/winconst.h"

namespace strennix::sim {

namespace {

// NIM_MODIFY changes only what its flags name.
void modify(NotifyIconData& icon, const NotifyIconData& data) {
  icon.flags |= data.flags;
  if ((data.flags & win::kNifMessage) != 0) {
    icon.callbackMessage = data.callbackMessage;
  }
  if ((data.flags & win::kNifIcon) != 0) {
    icon.icon = data.icon;
  }
  if ((data.flags & win::kNifTip) != 0) {
    icon.tip = data.tip;
  }
}

}  // namespace

bool SimShellPort::notifyIcon(std::uint32_t operation, const NotifyIconData& data) {
  auto& icons = world_.trayIcons;
  const auto key = std::make_pair(data.owner, data.id);
  const auto found = icons.find(key);
  bool succeeded = false;
  if (operation == win::kNimAdd) {
    succeeded = !world_.refuseTrayAdds && found == icons.end();
    if (succeeded) {
      icons[key] = data;
    }
  } else if (operation == win::kNimModify) {
    succeeded = found != icons.end();
    if (succeeded) {
      modify(found->second, data);
    }
  } else if (operation == win::kNimDelete) {
    succeeded = found != icons.end();
    if (succeeded) {
      icons.erase(found);
    }
  }
  world_.notifyCalls.push_back(NotifyCall{operation, data, succeeded});
  return succeeded;
}

void SimShellPort::shellExecute(Hwnd owner, const std::string& verb, const std::string& file,
                                const std::string& parameters, const std::string& directory,
                                int show) {
  world_.shellExecutes.push_back(ShellExecuteCall{owner, verb, file, parameters, directory, show});
}

}  // namespace strennix::sim
