#include "platform/sim/simlistboxport.h"

#include <algorithm>

#include "platform/sim/simtext.h"

namespace strennix::sim {

namespace {

bool validIndex(const SimControl& list, int index) {
  return index >= 0 && index < static_cast<int>(list.items.size());
}

}  // namespace

void SimListBoxPort::setListSorted(FormControl list, bool sorted) {
  if (SimControl* c = world_.findControl(list)) {
    c->sorted = sorted;
    c->items.clear();
    c->selected = -1;
  }
}

int SimListBoxPort::listAdd(FormControl list, const std::string& text) {
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

void SimListBoxPort::listDelete(FormControl list, int index) {
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

int SimListBoxPort::listFindExact(FormControl list, const std::string& text) {
  const SimControl* c = world_.findControl(list);
  if (c == nullptr) {
    return -1;
  }
  const auto found =
      std::find_if(c->items.begin(), c->items.end(),
                   [&text](const std::string& item) { return sameText(item, text); });
  return found == c->items.end() ? -1 : static_cast<int>(found - c->items.begin());
}

int SimListBoxPort::listSelected(FormControl list) {
  const SimControl* c = world_.findControl(list);
  return c == nullptr ? -1 : c->selected;
}

std::string SimListBoxPort::listItem(FormControl list, int index) {
  const SimControl* c = world_.findControl(list);
  if (c == nullptr || !validIndex(*c, index)) {
    return {};
  }
  return c->items[static_cast<std::size_t>(index)];
}

int SimListBoxPort::listCount(FormControl list) {
  const SimControl* c = world_.findControl(list);
  return c == nullptr ? 0 : static_cast<int>(c->items.size());
}

void SimListBoxPort::listClear(FormControl list) {
  if (SimControl* c = world_.findControl(list)) {
    c->items.clear();
    c->selected = -1;
  }
}

}  // namespace strennix::sim
