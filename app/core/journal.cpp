#include "app/core/journal.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <utility>

#include "platform/winconst.h"

namespace strennix {

namespace {

constexpr std::string_view kHeader = "Strennix journal 2";
constexpr int kClassNameBuffer = 256;
constexpr std::string_view kChanges = "STMVHP";
// Change, handle, process, its start, height, owner, the rectangle's four sides.
constexpr int kNumberFields = 10;
// The system's start is computed from two clocks read one after the other.
constexpr std::uint64_t kBootSlackSeconds = 60;

// The next blank-separated word of `line`, consumed.
std::string_view nextWord(std::string_view& line) {
  const auto end = line.find(' ');
  const std::string_view word = line.substr(0, end);
  line = end == std::string_view::npos ? std::string_view() : line.substr(end + 1);
  return word;
}

template <class Number>
bool parseNumber(std::string_view word, Number& value, int base) {
  const auto* end = word.data() + word.size();
  const auto result = std::from_chars(word.data(), end, value, base);
  return !word.empty() && result.ec == std::errc() && result.ptr == end;
}

template <ThirtyTwoBitHandle Handle>
bool parseHandle(std::string_view word, Handle& handle) {
  std::uint32_t bits = 0;
  if (!parseNumber(word, bits, 16)) {
    return false;
  }
  handle = handleOfBits<Handle>(bits);
  return true;
}

std::optional<JournalRecord> parseRecord(std::string_view line) {
  JournalRecord record;
  const std::string_view change = nextWord(line);
  if (change.size() != 1 || kChanges.find(change[0]) == std::string_view::npos) {
    return std::nullopt;
  }
  record.change = static_cast<Change>(change[0]);
  const bool numbers = parseHandle(nextWord(line), record.window) &&
                       parseNumber(nextWord(line), record.processId, 10) &&
                       parseNumber(nextWord(line), record.started, 16) &&
                       parseNumber(nextWord(line), record.height, 10) &&
                       parseHandle(nextWord(line), record.owner) &&
                       parseNumber(nextWord(line), record.rect.left, 10) &&
                       parseNumber(nextWord(line), record.rect.top, 10) &&
                       parseNumber(nextWord(line), record.rect.right, 10) &&
                       parseNumber(nextWord(line), record.rect.bottom, 10);
  const Rect& rect = record.rect;
  if (!numbers || record.window == Hwnd{} || record.height < 0 || rect.left > rect.right ||
      rect.top > rect.bottom) {
    return std::nullopt;
  }
  // The class name is the rest of the line: it may hold blanks.
  record.className = std::string(line);
  return record;
}

std::string recordLine(const JournalRecord& r) {
  char numbers[192] = {};
  std::snprintf(numbers, sizeof numbers, "%c %x %u %llx %d %x %d %d %d %d ",
                static_cast<char>(r.change), static_cast<unsigned>(handleBits(r.window)),
                static_cast<unsigned>(r.processId), static_cast<unsigned long long>(r.started),
                static_cast<int>(r.height), static_cast<unsigned>(handleBits(r.owner)),
                static_cast<int>(r.rect.left), static_cast<int>(r.rect.top),
                static_cast<int>(r.rect.right), static_cast<int>(r.rect.bottom));
  static_assert(kNumberFields == 10, "the format above writes ten numbers");
  return numbers + r.className + "\n";
}

// "Strennix journal 2 <session> <boot>".
bool parseHeader(std::string_view line, StoredJournal& journal) {
  if (!line.starts_with(kHeader)) {
    return false;
  }
  line.remove_prefix(kHeader.size());
  if (!line.starts_with(' ')) {
    return false;
  }
  line.remove_prefix(1);
  return parseNumber(nextWord(line), journal.session, 10) &&
         parseNumber(nextWord(line), journal.boot, 10) && line.empty();
}

// Of the changes a start gives back, the newest that fit the lists.
std::vector<JournalRecord> toGiveBack(const std::vector<JournalRecord>& records) {
  int shaded = 0;
  int trayed = 0;
  int menu = 0;
  std::vector<JournalRecord> kept;
  // NOLINTNEXTLINE(modernize-loop-convert): a reversed range-for needs <ranges>.
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    const bool fits = (record->change == Change::Shaded && ++shaded <= kMaxShadedWindows) ||
                      (record->change == Change::Trayed && ++trayed <= kMaxTrayedWindows) ||
                      (record->change == Change::Menu && ++menu <= kMaxMenuWindows);
    if (fits) {
      kept.insert(kept.begin(), *record);
    }
  }
  return kept;
}

}  // namespace

std::string journalText(const StoredJournal& journal) {
  std::string text = std::string(kHeader) + " " + std::to_string(journal.session) + " " +
                     std::to_string(journal.boot) + "\n";
  for (const JournalRecord& record : journal.records) {
    text += recordLine(record);
  }
  return text;
}

std::optional<StoredJournal> parseJournal(const std::string& text) {
  std::string_view rest = text;
  StoredJournal journal;
  std::vector<JournalRecord>& records = journal.records;
  bool header = true;
  while (!rest.empty()) {
    const auto end = rest.find('\n');
    if (end == std::string_view::npos) {
      return std::nullopt;  // cut off in the middle of a line
    }
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    if (std::exchange(header, false)) {
      if (!parseHeader(line, journal)) {
        return std::nullopt;
      }
      continue;
    }
    std::optional<JournalRecord> record = parseRecord(line);
    if (!record) {
      return std::nullopt;
    }
    records.push_back(*std::move(record));
  }
  if (header) {
    return std::nullopt;
  }
  return journal;
}

Journal::Journal(RegistryPort& registry, WindowInfoPort& windows, ProcessPort& processes,
                 const Logger& log)
    : registry_(registry), windows_(windows), processes_(processes), log_(log, kAppLog) {}

std::vector<JournalRecord> Journal::load() {
  records_.clear();
  std::optional<RegValue> value;
  {
    const RegistryKey key =
        registry_.openKey(RegRoot::CurrentUser, kJournalKeyPath, KeyAccess::Read, false);
    if (!key) {
      return {};
    }
    value = registry_.readValue(key, kJournalValue);
  }
  if (!value) {
    return {};
  }
  const auto end = std::find(value->data.begin(), value->data.end(), std::uint8_t{0});
  const std::optional<StoredJournal> stored =
      value->type == win::kRegSz ? parseJournal(std::string(value->data.begin(), end))
                                 : std::nullopt;
  if (!stored) {
    log_.writeLog("Journal of changed windows is damaged, ignored.");
  } else if (!ofThisStart(*stored)) {
    log_.writeLog("Journal of changed windows is of another session or system start, ignored.");
  } else {
    records_ = toGiveBack(stored->records);
  }
  save();
  return records_;
}

bool Journal::ofThisStart(const StoredJournal& journal) {
  const std::uint64_t boot = processes_.bootTime();
  const std::uint64_t apart = journal.boot > boot ? journal.boot - boot : boot - journal.boot;
  return journal.session == processes_.sessionId() && apart <= kBootSlackSeconds;
}

void Journal::note(JournalRecord record) {
  record.processId = windows_.processOf(record.window);
  record.started = processes_.processStartTime(record.processId);
  record.className = windows_.className(record.window, kClassNameBuffer);
  std::erase_if(records_, [&](const JournalRecord& r) {
    return r.change == record.change && r.window == record.window;
  });
  records_.push_back(std::move(record));
  save();
}

void Journal::forget(Change change, Hwnd window) {
  if (std::erase_if(records_, [&](const JournalRecord& r) {
        return r.change == change && r.window == window;
      }) != 0) {
    save();
  }
}

void Journal::forgetWindow(Hwnd window) {
  if (std::erase_if(records_, [&](const JournalRecord& r) { return r.window == window; }) != 0) {
    save();
  }
}

void Journal::forgetAll(const std::function<bool(const JournalRecord&)>& which) {
  if (std::erase_if(records_, which) != 0) {
    save();
  }
}

const JournalRecord* Journal::find(Change change, Hwnd window) const {
  const auto found = std::find_if(records_.begin(), records_.end(), [&](const JournalRecord& r) {
    return r.change == change && r.window == window;
  });
  return found == records_.end() ? nullptr : &*found;
}

bool Journal::sameWindow(const JournalRecord& record) {
  return windows_.isWindow(record.window) &&
         windows_.processOf(record.window) == record.processId &&
         processes_.processStartTime(record.processId) == record.started &&
         windows_.className(record.window, kClassNameBuffer) == record.className;
}

bool Journal::stillSame(Hwnd window) {
  const auto found = std::find_if(records_.begin(), records_.end(),
                                  [window](const JournalRecord& r) { return r.window == window; });
  return found == records_.end() ? windows_.isWindow(window) : sameWindow(*found);
}

// The whole journal in one value: one write replaces it at once, so a kill
// in the middle never leaves half a record.
void Journal::save() {
  const RegistryKey key =
      registry_.openKey(RegRoot::CurrentUser, kJournalKeyPath, KeyAccess::AllAccess, true);
  const std::string text =
      journalText(StoredJournal{processes_.sessionId(), processes_.bootTime(), records_});
  std::vector<std::uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  if (!key || !registry_.setValue(key, kJournalValue, win::kRegSz, data)) {
    log_.writeLog("Journal of changed windows could not be written.");
  }
}

}  // namespace strennix
