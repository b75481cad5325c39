// The journal of changed windows: every change the program makes to another
// program's window is written to the registry the moment it is made and taken
// out when the window is given back, so that a start after a crash, a kill or
// a lost session can give back what the run before it left changed.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/core/log.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/types.h"
#include "platform/windowinfo.h"

namespace strennix {

// Beside the settings, so that it survives a kill and needs no file.
inline constexpr const char* kJournalKeyPath = R"(Software\Corvane inc.\Strennix\Journal)";
inline constexpr const char* kJournalValue = "Windows";

// What the window lists can hold; the journal reads back no more than that.
inline constexpr int kMaxMenuWindows = 45;
inline constexpr int kMaxTrayedWindows = 4;
inline constexpr int kMaxShadedWindows = 45;

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
  std::uint64_t started = 0;  // when its process started; 0 where the system cannot tell
  std::string className{};
  std::int32_t height = 0;  // Shaded: the full height
  Hwnd owner{};             // Trayed, Menu: the application owner hidden with it
  Rect rect{};              // VStretched, HStretched: the rectangle before
  bool operator==(const JournalRecord&) const = default;
};

// A journal belongs to one session of one start of the system: window
// handles and process ids mean nothing outside them.
struct StoredJournal {
  std::uint32_t session = 0;
  std::uint64_t boot = 0;  // seconds since 1601
  std::vector<JournalRecord> records;
  bool operator==(const StoredJournal&) const = default;
};

// The journal's stored text: a versioned header line with the session and
// the system's start, then one line per record. Nothing when the text is
// damaged in any way or of the first version, which named windows too
// weakly to be trusted.
std::string journalText(const StoredJournal& journal);
std::optional<StoredJournal> parseJournal(const std::string& text);

class Journal {
 public:
  Journal(RegistryPort& registry, WindowInfoPort& windows, ProcessPort& processes,
          const Logger& log);

  // What an earlier run of this session left to give back (shaded and
  // hidden windows, at most as many as the lists hold, the newest kept);
  // empty (with a log line) when the stored journal is damaged or of
  // another session or start of the system. Starts this run's journal from
  // it, written once.
  std::vector<JournalRecord> load();

  // Writes the change down before it is made. The window's process and class
  // are read now; a change already written for the window is replaced.
  void note(JournalRecord record);
  void forget(Change change, Hwnd window);
  void forgetWindow(Hwnd window);
  // Every record `which` picks, written once.
  void forgetAll(const std::function<bool(const JournalRecord&)>& which);
  [[nodiscard]] const JournalRecord* find(Change change, Hwnd window) const;
  [[nodiscard]] const std::vector<JournalRecord>& records() const { return records_; }

  // Whether the record's window still exists and is still the same window:
  // same process, started at the same time, and class.
  [[nodiscard]] bool sameWindow(const JournalRecord& record);
  // The same for a window the program has changed; a window the journal
  // does not know passes when it exists.
  [[nodiscard]] bool stillSame(Hwnd window);

 private:
  void save();
  [[nodiscard]] bool ofThisStart(const StoredJournal& journal);

  RegistryPort& registry_;
  WindowInfoPort& windows_;
  ProcessPort& processes_;
  ModuleLog log_;
  std::vector<JournalRecord> records_;
};

}  // namespace strennix
