// The journal of changed windows: every change the program makes to another
// program's window is written to the registry the moment it is made and taken
// out when the window is given back, so that a start after a crash, a kill or
// a lost session can give back what the run before it left changed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/core/log.h"
#include "platform/registry.h"
#include "platform/types.h"
#include "platform/windowinfo.h"

namespace strennix {

// Beside the settings, so that it survives a kill and needs no file.
inline constexpr const char* kJournalKeyPath = R"(Software\Corvane inc.\Strennix\Journal)";
inline constexpr const char* kJournalValue = "Windows";

enum class Change : char {
  Shaded = 'S',
  Trayed = 'T',
  Menu = 'M',
  VStretched = 'V',
  HStretched = 'H',
  Topmost = 'P',
};

// One change to one window, with what identifies the window beyond its
// handle (handles are reused) and what giving it back needs.
struct JournalRecord {
  Change change = Change::Shaded;
  Hwnd window{};
  ProcessId processId = 0;
  std::string className{};
  std::int32_t height = 0;  // Shaded: the full height
  Hwnd owner{};             // Trayed, Menu: the application owner hidden with it
  Rect rect{};              // VStretched, HStretched: the rectangle before
  bool operator==(const JournalRecord&) const = default;
};

// The journal's stored text: a versioned header line, then one line per
// record. Nothing when the text is damaged in any way.
std::string journalText(const std::vector<JournalRecord>& records);
std::optional<std::vector<JournalRecord>> parseJournal(const std::string& text);

class Journal {
 public:
  Journal(RegistryPort& registry, WindowInfoPort& windows, const Logger& log);

  // What an earlier run left; empty (with a log line, and cleared) when the
  // stored journal is damaged. Starts this run's journal from it.
  std::vector<JournalRecord> load();

  // Writes the change down before it is made. The window's process and class
  // are read now; a change already written for the window is replaced.
  void note(JournalRecord record);
  void forget(Change change, Hwnd window);
  void forgetWindow(Hwnd window);
  [[nodiscard]] const JournalRecord* find(Change change, Hwnd window) const;
  [[nodiscard]] const std::vector<JournalRecord>& records() const { return records_; }

  // Whether the record's window still exists and is still the same window:
  // same process and class.
  [[nodiscard]] bool sameWindow(const JournalRecord& record);
  // The same for a window the program has changed; a window the journal
  // does not know passes when it exists.
  [[nodiscard]] bool stillSame(Hwnd window);

 private:
  void save();

  RegistryPort& registry_;
  WindowInfoPort& windows_;
  ModuleLog log_;
  std::vector<JournalRecord> records_;
};

}  // namespace strennix
