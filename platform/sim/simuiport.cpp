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

bool validIndex(const SimControl& list, int index) {
  return index >= 0 && index < static_cast<int>(list.items.size());
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

bool SimUiPort::checked(FormControl control) {
  const SimControl* c = world_.findControl(control);
  return c != nullptr && c->checked;
}

void SimUiPort::setChecked(FormControl control, bool checked) {
  if (SimControl* c = world_.findControl(control)) {
    c->checked = checked;
  }
}

bool SimUiPort::enabled(FormControl control) {
  const SimControl* c = world_.findControl(control);
  return c != nullptr && c->enabled;
}

void SimUiPort::setEnabled(FormControl control, bool enabled) {
  if (SimControl* c = world_.findControl(control)) {
    c->enabled = enabled;
  }
}

std::string SimUiPort::text(FormControl control) {
  const SimControl* c = world_.findControl(control);
  return c == nullptr ? std::string() : c->text;
}

void SimUiPort::setText(FormControl control, const std::string& text) {
  if (SimControl* c = world_.findControl(control)) {
    c->text = text;
  }
}

int SimUiPort::trackPosition(FormControl trackBar) {
  const SimControl* c = world_.findControl(trackBar);
  return c == nullptr ? 0 : c->trackPosition;
}

void SimUiPort::setTrackPosition(FormControl trackBar, int position) {
  if (SimControl* c = world_.findControl(trackBar)) {
    c->trackPosition = position;
  }
}

void SimUiPort::setListSorted(FormControl list, bool sorted) {
  if (SimControl* c = world_.findControl(list)) {
    c->sorted = sorted;
    c->items.clear();
    c->selected = -1;
  }
}

int SimUiPort::listAdd(FormControl list, const std::string& text) {
  SimControl* c = world_.findControl(list);
  if (c == nullptr) {
    return -1;
  }
  auto position = c->items.end();
  if (c->sorted) {
    position = std::upper_bound(
        c->items.begin(), c->items.end(), lower(text),
        [](const std::string& key, const std::string& item) { return key < lower(item); });
  }
  const int index = static_cast<int>(position - c->items.begin());
  c->items.insert(position, text);
  if (c->selected >= index) {
    ++c->selected;
  }
  return index;
}

void SimUiPort::listDelete(FormControl list, int index) {
  SimControl* c = world_.findControl(list);
  if (c == nullptr || !validIndex(*c, index)) {
    return;
  }
  c->items.erase(c->items.begin() + index);
  if (c->selected == index) {
    c->selected = -1;
  } else if (c->selected > index) {
    --c->selected;
  }
}

int SimUiPort::listFindExact(FormControl list, const std::string& text) {
  const SimControl* c = world_.findControl(list);
  if (c == nullptr) {
    return -1;
  }
  const auto found =
      std::find_if(c->items.begin(), c->items.end(),
                   [&text](const std::string& item) { return sameText(item, text); });
  return found == c->items.end() ? -1 : static_cast<int>(found - c->items.begin());
}

int SimUiPort::listSelected(FormControl list) {
  const SimControl* c = world_.findControl(list);
  return c == nullptr ? -1 : c->selected;
}

std::string SimUiPort::listItem(FormControl list, int index) {
  const SimControl* c = world_.findControl(list);
  if (c == nullptr || !validIndex(*c, index)) {
    return {};
  }
  return c->items[static_cast<std::size_t>(index)];
}

int SimUiPort::listCount(FormControl list) {
  const SimControl* c = world_.findControl(list);
  return c == nullptr ? 0 : static_cast<int>(c->items.size());
}

void SimUiPort::listClear(FormControl list) {
  if (SimControl* c = world_.findControl(list)) {
    c->items.clear();
    c->selected = -1;
  }
}

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
