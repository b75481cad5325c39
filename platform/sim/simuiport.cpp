#include "platform/sim/simuiport.h"

#include <algorithm>

#include "platform/sim/simlayout.h"
#include "platform/sim/simtext.h"
#include "platform/winconst.h"

namespace strennix::sim {

namespace {

constexpr int kIddStrennix = 100;
constexpr int kIddTrayForm = 101;

SimWindow formWindow(int layoutId) {
  SimWindow window;
  window.title = "Strennix";
  window.visible = false;
  if (layoutId == kIddStrennix) {
    window.className = "TStrennix";
    window.rect = Rect{209, 166, 209 + 313, 166 + 399};
    window.style = 0x00CA0000;  // caption, system menu, minimize box
  } else if (layoutId == kIddTrayForm) {
    window.className = "TTrayForm";
    window.rect = Rect{0, 0, 181, 262};
    window.style = 0x00CC0000;  // caption, system menu, sizing frame
    window.exStyle = win::kWsExToolWindow | win::kWsExTopmost;
  } else {
    window.className = "SimForm";
  }
  return window;
}

}  // namespace

Hwnd SimUiPort::createForm(int layoutId, FormEvents& events) {
  const Hwnd handle = world_.addForm(formWindow(layoutId), layoutId, events);
  const auto layout = programLayouts().find(layoutId);
  if (layout == programLayouts().end()) {
    return handle;
  }
  for (const LayoutControl& item : layout->second) {
    SimControl& state = world_.controlState(handle, item.id);
    state.text = item.text;
    state.enabled = item.enabled;
    state.sorted = item.sorted;
  }
  return handle;
}

void SimUiPort::destroyForm(Hwnd form) { world_.destroyWindow(form); }

void SimUiPort::setTimer(Hwnd form, std::uint32_t timerId, std::uint32_t intervalMs) {
  world_.timers[{form, timerId}] = intervalMs;
}

void SimUiPort::killTimer(Hwnd form, std::uint32_t timerId) {
  world_.timers.erase({form, timerId});
}

IconHandle SimUiPort::loadIcon(int resourceId) {
  auto [entry, added] = icons_.try_emplace(resourceId);
  if (added) {
    entry->second = world_.newResourceOf<IconHandle>();
  }
  return entry->second;
}

std::uint32_t SimUiPort::registerWindowMessage(const std::string& name) {
  const auto next = static_cast<std::uint32_t>(0xC000 + windowMessages_.size());
  return windowMessages_.try_emplace(lower(name), next).first->second;
}

void SimUiPort::runMessageLoop() {
  ++world_.messageLoopRuns;
  if (world_.whileMessageLoopRuns) {
    world_.whileMessageLoopRuns();
  }
}

void SimUiPort::quitMessageLoop() { world_.quitRequested = true; }

}  // namespace strennix::sim
