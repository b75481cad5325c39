#include "app/core/windowlists.h"

#include <algorithm>
#include <utility>

namespace strennix {

int TraySlots::lowestFree() const {
  const auto* const found = std::find_if(slots_.begin(), slots_.end(),
                                         [](const TrayedWindow& slot) { return slot.free; });
  return found == slots_.end() ? -1 : static_cast<int>(found - slots_.begin());
}

std::vector<std::size_t> TraySlots::slotsOf(Hwnd window) const {
  std::vector<std::size_t> found;
  for (std::size_t slot = 0; slot < slots_.size(); ++slot) {
    if (!slots_[slot].free && slots_[slot].hwnd == window) {
      found.push_back(slot);
    }
  }
  return found;
}

const StretchedWindow* StretchList::find(Hwnd window) const {
  const auto found = std::find_if(records_.begin(), records_.end(),
                                  [window](const StretchedWindow& r) { return r.hwnd == window; });
  return found == records_.end() ? nullptr : &*found;
}

bool StretchList::remove(Hwnd window) {
  const auto found = std::find_if(records_.begin(), records_.end(),
                                  [window](const StretchedWindow& r) { return r.hwnd == window; });
  if (found == records_.end()) {
    return false;
  }
  *found = records_.back();
  records_.pop_back();
  return true;
}

WindowLists::WindowLists(Journal& journal) : journal_(journal) {}

const StretchList& WindowLists::stretched(Axis axis) const {
  return axis == Axis::Vertical ? vStretched_ : hStretched_;
}

StretchList& WindowLists::stretchList(Axis axis) {
  return axis == Axis::Vertical ? vStretched_ : hStretched_;
}

bool WindowLists::isHidden(Hwnd window) const {
  return menu_.find(window) != 0 || !trayed_.slotsOf(window).empty();
}

bool WindowLists::addShaded(Hwnd window, std::int32_t height) {
  const std::int32_t listed = shaded_.find(window);
  if (listed == 0 && shaded_.full()) {
    return false;
  }
  journal_.note(JournalRecord{.change = Change::Shaded, .window = window, .height = height});
  if (listed != 0) {
    shaded_.slot(listed).height = height;
    return true;
  }
  return shaded_.add(ShadedWindow{window, height});
}

void WindowLists::removeShaded(Hwnd window) {
  shaded_.remove(shaded_.find(window));
  journal_.forget(Change::Shaded, window);
}

void WindowLists::addTrayed(std::size_t slot, Hwnd window, Hwnd owner) {
  journal_.note(JournalRecord{.change = Change::Trayed, .window = window, .owner = owner});
  trayed_.slots_.at(slot) = TrayedWindow{window, false};
  ++trayed_.count_;
}

void WindowLists::removeTrayed(std::size_t slot, Record record) {
  if (!trayed_.taken(slot)) {
    return;
  }
  TrayedWindow& entry = trayed_.slots_[slot];
  if (record == Record::Forget) {
    journal_.forget(Change::Trayed, entry.hwnd);
  }
  entry.free = true;
  --trayed_.count_;
}

bool WindowLists::addMenu(Hwnd window, Hwnd owner, std::string title) {
  if (menu_.full()) {
    return false;
  }
  journal_.note(JournalRecord{.change = Change::Menu, .window = window, .owner = owner});
  return menu_.add(MinimizedWindow{window, std::move(title)});
}

void WindowLists::removeMenu(std::int32_t position, Record record) {
  if (position < 1 || position > menu_.count()) {
    return;
  }
  if (record == Record::Forget) {
    journal_.forget(Change::Menu, menu_.at(position).hwnd);
  }
  menu_.remove(position);
}

void WindowLists::addStretched(Axis axis, Hwnd window, const Rect& before, std::int32_t savedSize) {
  const Change change = axis == Axis::Vertical ? Change::VStretched : Change::HStretched;
  journal_.note(JournalRecord{.change = change, .window = window, .rect = before});
  stretchList(axis).records_.push_back(StretchedWindow{window, savedSize});
}

bool WindowLists::removeStretched(Axis axis, Hwnd window) {
  journal_.forget(axis == Axis::Vertical ? Change::VStretched : Change::HStretched, window);
  return stretchList(axis).remove(window);
}

void WindowLists::clear() {
  menu_ = MenuWindows{};
  trayed_ = TraySlots{};
  shaded_ = ShadedWindows{};
  vStretched_ = StretchList{};
  hStretched_ = StretchList{};
}

}  // namespace strennix
