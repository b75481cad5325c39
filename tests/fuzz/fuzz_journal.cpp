// The journal is a registry value any program of the user can write: read
// back and given back, it never crashes, touches only the windows it names
// by process start too, and applies no height past the screen.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/core/journal.h"
#include "app/core/log.h"
#include "app/core/notifyicons.h"
#include "app/core/windowbook.h"
#include "app/core/windowlists.h"
#include "platform/sim/simdesktop.h"
#include "platform/winconst.h"

namespace {

using strennix::Hwnd;

constexpr std::size_t kMostGivenBack =
    strennix::kMaxShadedWindows + strennix::kMaxTrayedWindows + strennix::kMaxMenuWindows;

// A shaded window of process 77, which started at 5000 (hex 1388); the
// seeds name the three as 20002, 20004 and 20006.
Hwnd addShaded(strennix::sim::SimDesktop& desk, bool hung) {
  strennix::sim::SimWindow window;
  window.rect = strennix::Rect{100, 100, 600, 127};
  window.processId = 77;
  window.hung = hung;
  return desk.addWindow(window);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  strennix::sim::SimDesktop desk;
  desk.processStarts[77] = 5000;
  const Hwnd main = desk.addWindow(strennix::sim::SimWindow{});
  const Hwnd windows[] = {addShaded(desk, false), addShaded(desk, false), addShaded(desk, true)};
  desk.setRegValue(strennix::RegRoot::CurrentUser, strennix::kJournalKeyPath,
                   strennix::kJournalValue, strennix::win::kRegSz,
                   std::vector<std::uint8_t>(data, data + size));
  strennix::Logger log{desk, desk};
  strennix::NotifyIcons icons{desk, log};
  icons.setOwner(main, strennix::IconHandle{0x7001});
  strennix::Journal journal{desk, desk, desk, log};
  strennix::WindowLists lists{journal};
  strennix::WindowBook book{lists, desk, desk, desk, journal, icons, log};

  const std::vector<strennix::JournalRecord> loaded = journal.load();
  if (loaded.size() > kMostGivenBack) {
    __builtin_trap();
  }
  book.giveBack(loaded);
  const std::int32_t screen = desk.monitors.front().workArea.height();
  if (!desk.placementCalls.empty()) {
    __builtin_trap();  // sized past the window's own limits
  }
  for (const Hwnd window : windows) {
    if (desk.window(window).rect.height() > screen) {
      __builtin_trap();  // taller than the screen
    }
  }
  if (desk.window(windows[2]).rect.height() != 27) {
    __builtin_trap();  // a window that does not answer is not waited on
  }
  return 0;
}
