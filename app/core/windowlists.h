// The windows the program has changed and must be able to give back: hidden
// into the tray menu, hidden behind a tray icon, shaded, stretched. An entry
// and its journal record are added and removed together.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/core/journal.h"
#include "platform/types.h"

namespace strennix {

inline constexpr int kTraySlots = 20;

struct MinimizedWindow {
  Hwnd hwnd{};
  std::string title;
};

struct TrayedWindow {
  Hwnd hwnd{};
  bool free = true;
};

struct ShadedWindow {
  Hwnd hwnd{};
  std::int32_t height = 0;
};

struct StretchedWindow {
  Hwnd hwnd{};
  std::int32_t savedSize = 0;
};

class WindowLists;

// A list of fixed size whose positions 1..count are used (position 0 never
// is), holding at most `Limit` entries. A removal keeps the order.
template <class Entry, std::size_t Size, std::int32_t Limit>
class PositionList {
 public:
  [[nodiscard]] std::int32_t count() const { return count_; }
  [[nodiscard]] bool full() const { return count_ >= Limit; }
  // Any place of the array; those above the count hold empty entries.
  [[nodiscard]] const Entry& at(std::int32_t position) const {
    return entries_.at(static_cast<std::size_t>(position));
  }
  // Position of the first entry of `window`; 0 when it has none.
  [[nodiscard]] std::int32_t find(Hwnd window) const {
    for (std::int32_t position = 1; position <= count_; ++position) {
      if (at(position).hwnd == window) {
        return position;
      }
    }
    return 0;
  }
  [[nodiscard]] auto begin() const { return entries_.begin() + 1; }
  [[nodiscard]] auto end() const { return entries_.begin() + 1 + count_; }

 private:
  friend class WindowLists;

  // Answers false, changing nothing, when the list is full.
  bool add(Entry entry) {
    if (full()) {
      return false;
    }
    ++count_;
    entries_[static_cast<std::size_t>(count_)] = std::move(entry);
    return true;
  }
  // The later entries move down one place; the vacated last place is
  // cleared so that no stale handle is found there later.
  void remove(std::int32_t position) {
    if (position < 1 || position > count_) {
      return;
    }
    const auto first = entries_.begin() + position;
    std::move(first + 1, entries_.begin() + count_ + 1, first);
    entries_[static_cast<std::size_t>(count_)] = Entry{};
    --count_;
  }
  Entry& slot(std::int32_t position) { return entries_.at(static_cast<std::size_t>(position)); }

  std::array<Entry, Size> entries_{};
  std::int32_t count_ = 0;
};

using MenuWindows = PositionList<MinimizedWindow, 50, kMaxMenuWindows>;
using ShadedWindows = PositionList<ShadedWindow, 50, kMaxShadedWindows>;

// The tray icons' slots: any of the 20 may be taken, at most four at once.
class TraySlots {
 public:
  [[nodiscard]] std::int32_t count() const { return count_; }
  [[nodiscard]] bool full() const { return count_ >= kMaxTrayedWindows; }
  [[nodiscard]] const TrayedWindow& at(std::size_t slot) const { return slots_.at(slot); }
  [[nodiscard]] bool taken(std::size_t slot) const {
    return slot < slots_.size() && !at(slot).free;
  }
  // The lowest-numbered free slot; -1 when all are taken.
  [[nodiscard]] int lowestFree() const;
  // The taken slots of `window`, lowest first.
  [[nodiscard]] std::vector<std::size_t> slotsOf(Hwnd window) const;
  [[nodiscard]] auto begin() const { return slots_.begin(); }
  [[nodiscard]] auto end() const { return slots_.end(); }

 private:
  friend class WindowLists;

  std::array<TrayedWindow, kTraySlots> slots_{};
  std::int32_t count_ = 0;
};

// Stretch records in no particular order: a removal moves the last record
// into the gap.
class StretchList {
 public:
  [[nodiscard]] std::int32_t count() const { return static_cast<std::int32_t>(records_.size()); }
  [[nodiscard]] const StretchedWindow& at(std::size_t index) const { return records_.at(index); }
  // The first record of `window`; nullptr when it has none.
  [[nodiscard]] const StretchedWindow* find(Hwnd window) const;
  [[nodiscard]] auto begin() const { return records_.begin(); }
  [[nodiscard]] auto end() const { return records_.end(); }

 private:
  friend class WindowLists;

  bool remove(Hwnd window);

  std::vector<StretchedWindow> records_;
};

enum class Axis { Vertical, Horizontal };

// Whether a change is taken out of the journal with the entry: a window
// whose program does not answer keeps its record for a later start.
enum class Record { Forget, Keep };

// The lists and the journal changed together: each call below changes one
// entry and its journal record, so that neither is ever changed alone.
class WindowLists {
 public:
  explicit WindowLists(Journal& journal);

  [[nodiscard]] const MenuWindows& menu() const { return menu_; }
  [[nodiscard]] const TraySlots& trayed() const { return trayed_; }
  [[nodiscard]] const ShadedWindows& shaded() const { return shaded_; }
  [[nodiscard]] const StretchList& stretched(Axis axis) const;
  // Whether the window is hidden behind a tray icon or in the tray menu:
  // such a window is never hidden a second time.
  [[nodiscard]] bool isHidden(Hwnd window) const;

  // A window listed already only takes its new full height. Answers false,
  // changing nothing, when a new entry would not fit.
  bool addShaded(Hwnd window, std::int32_t height);
  void removeShaded(Hwnd window);
  void addTrayed(std::size_t slot, Hwnd window, Hwnd owner);
  // Frees a taken slot; a free or unknown one is left alone.
  void removeTrayed(std::size_t slot, Record record = Record::Forget);
  bool addMenu(Hwnd window, Hwnd owner, std::string title);
  void removeMenu(std::int32_t position, Record record = Record::Forget);
  void addStretched(Axis axis, Hwnd window, const Rect& before, std::int32_t savedSize);
  // Answers whether the window had a record on that axis.
  bool removeStretched(Axis axis, Hwnd window);
  // Every list empty and every slot free, the journal untouched: the start
  // of a run, before the journal of the run before is read.
  void clear();

 private:
  StretchList& stretchList(Axis axis);

  Journal& journal_;
  MenuWindows menu_;
  TraySlots trayed_;
  ShadedWindows shaded_;
  StretchList vStretched_;
  StretchList hStretched_;
};

}  // namespace strennix
