// The main window receives messages from other processes (the hook library)
// and the shell: any sequence of them, with any parameters, is handled.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "app/program.h"
#include "platform/sim/simdesktop.h"
#include "platform/winconst.h"
#include "resources/resource.h"
#include "resources/version.h"

namespace {

using namespace strennix;

constexpr const char* kKey = "Software\\Corvane inc.\\Strennix";

std::uint32_t take(const std::uint8_t*& data, std::size_t& size) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4 && size > 0; ++i, ++data, --size) {
    value |= static_cast<std::uint32_t>(*data) << (8 * i);
  }
  return value;
}

// Clicks land on the foreground window's button row, and reports about a
// window name one of the desktop's windows and a slot of its row, more often
// than chance.
std::uint32_t aimedW(std::uint32_t message, std::uint32_t wParam, Hwnd target) {
  switch (message) {
    case win::kStrnxNcLButtonUp:
      return 560 + wParam % 200;
    case win::kStrnxCaptionChange:
    case win::kStrnxButtonDown:
    case win::kStrnxButtonUp:
    case win::kStrnxUncovered:
      return (wParam & 1) != 0 ? handleBits(target) : wParam;
    default:
      return wParam;
  }
}

std::int32_t aimedL(std::uint32_t message, std::uint32_t lParam) {
  switch (message) {
    case win::kStrnxNcLButtonUp:
      return static_cast<std::int32_t>(lParam % 40);
    case win::kStrnxButtonDown:
    case win::kStrnxButtonUp:
      return static_cast<std::int32_t>(lParam % 8) - 1;
    default:
      return static_cast<std::int32_t>(lParam);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sim::SimDesktop desktop;
  desktop.setRegString(RegRoot::CurrentUser, kKey, "Version", kVersion);
  desktop.setRegString(RegRoot::CurrentUser, kKey, "Buttons",
                       "<hmax><vmax><top><shade><toicon><tomenu>");
  desktop.setRegString(RegRoot::CurrentUser, kKey, "Priority", "9");
  desktop.setRegString(RegRoot::CurrentUser, kKey, "ButtonXOffset", "58");
  desktop.setRegString(RegRoot::CurrentUser, kKey, "ButtonYOffset", "6");
  desktop.setRegString(RegRoot::CurrentUser, kKey, "ButtonXStretch", "16");
  desktop.setRegString(RegRoot::CurrentUser, kKey, "ButtonYStretch", "14");
  desktop.setRegString(RegRoot::CurrentUser, kKey, "HMaxPercentage", "50");
  desktop.setRegString(RegRoot::CurrentUser, kKey, "VMaxPercentage", "50");
  desktop.setRegString(RegRoot::CurrentUser, kKey, "DrawOn", "<all>");
  Application application(desktop, desktop);
  Program program(desktop.ports(), application);
  TStrennix& form = program.mainForm();
  std::vector<Hwnd> windows;
  for (int i = 0; i < 8; ++i) {
    sim::SimWindow window;
    window.rect = Rect{10 * i, 10 * i, 640 + 10 * i, 480};
    windows.push_back(desktop.addWindow(window));
  }
  constexpr std::uint32_t kMessages[] = {win::kStrnxNcLButtonUp,
                                         win::kStrnxDestroy,
                                         win::kStrnxCaptionChange,
                                         win::kStrnxButtonDown,
                                         win::kStrnxButtonUp,
                                         win::kStrnxUncovered,
                                         win::kWmAsTray,
                                         win::kWmTray,
                                         0x0001,
                                         0xC000};
  while (size > 0) {
    const std::uint32_t selector = take(data, size);
    const std::uint32_t wParam = take(data, size);
    const std::uint32_t lParam = take(data, size);
    const Hwnd target = windows[selector % windows.size()];
    switch ((selector >> 8) % 5) {
      case 0:
        desktop.setForeground(target);
        break;
      case 1:
        if (desktop.exists(target)) {
          desktop.destroyWindow(target);
        }
        break;
      case 2:
        desktop.tick(form.handle(), IDT_TIMER1);
        break;
      default: {
        std::int32_t result = 0;
        const std::uint32_t message = kMessages[(selector >> 16) % std::size(kMessages)];
        form.onMessage(message, aimedW(message, wParam, target), aimedL(message, lParam), result);
        break;
      }
    }
  }
  return 0;
}
