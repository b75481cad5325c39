// The main form: the settings window and, at the same time, the hidden
// receiver of every private message. It owns all state of the program.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "actions/uifx.h"
#include "app/core/exclusionlists.h"
#include "app/core/filecontrol.h"
#include "app/core/journal.h"
#include "app/core/log.h"
#include "app/core/notifyicons.h"
#include "app/core/settings.h"
#include "app/core/windowbook.h"
#include "app/core/windowlists.h"
#include "buttons/gfx.h"
#include "buttonwindows/buttonwindows.h"
#include "eligibility/namefromwindow.h"
#include "eligibility/winauth.h"
#include "hook/helper.h"
#include "hook/setuphook.h"
#include "language/langhandler.h"
#include "platform/datafiles.h"
#include "platform/forms.h"
#include "platform/ports.h"
#include "settings/settingsform.h"
#include "settings/settingsstore.h"
#include "traymenu/traymenu.h"

namespace strennix {

inline constexpr const char* kMakerWebPage = "https://www.example.com/strennix/";

// Where the tray menu goes for a right click at `cursor`: above and to the
// left of it, below or to the right where that would leave the work area's
// top or left, and always wholly inside the work area (from its top-left
// corner when the menu is larger).
Point trayMenuPosition(Point cursor, int width, int height, const Rect& workArea);

class TStrennix : public Form {
 public:
  // Runs the whole start-up: command line, system information, language,
  // begin sequence, variables dump. Raises StrennixError when the settings
  // cannot be loaded.
  TStrennix(const Ports& ports, Application& application);
  ~TStrennix() override;
  TStrennix(const TStrennix&) = delete;
  TStrennix& operator=(const TStrennix&) = delete;

  // The tray menu form is created after the main form.
  void setTrayForm(TTrayForm& trayForm);
  // Runs the message loop. However it ends (Exit, the close box, the end of
  // the session, a WM_QUIT from elsewhere, an exception after its error box),
  // the end sequence has run once when this returns.
  void run();

  void dumpSystemInfo();
  void selectLanguage();
  void dumpVariables(const char* file) const;
  void beginApp();
  // Runs once; later calls do nothing.
  void endApp();

  void onSTRNX_NCLBUTTONUP(std::int32_t x, std::int32_t y);
  void onSTRNX_DESTROY(Hwnd window);
  // A window's title bar is being painted anew: its buttons are painted
  // again at once and twice shortly after, or it loses its row when it no
  // longer gets buttons.
  void onSTRNX_CAPTIONCHANGE(Hwnd window);
  // A window moved, changed size or was hidden: its buttons and those of
  // the windows showing buttons under the place it left (all of them when
  // that place is not known yet), which it may have uncovered, are painted
  // again shortly.
  void onSTRNX_UNCOVERED(Hwnd window);
  // A press on a painted button, kept from the window by the hook library:
  // the window comes to the front and the button shows held down.
  void onSTRNX_BUTTONDOWN(Hwnd window, std::int32_t slot);
  // The release that ends it: over the same button (slot) it runs the
  // button's action on that window, anywhere else (-1) it does nothing.
  void onSTRNX_BUTTONUP(Hwnd window, std::int32_t slot);
  void onWM_ASTRAY(std::uint32_t iconId, std::uint32_t mouseMessage);
  void onWM_TRAY(std::uint32_t mouseMessage);
  void Timer1Timer();

  void btnSaveClick();
  void btnHideClick();
  void btnQuitClick();
  void FormClose();
  void btnEditClassesClick();
  void btnEditNamesClick();
  void Label1Click();

  Logger log;
  Settings settings;
  ExclusionLists exclusions;
  WindowLists lists;
  Journal journal;

 protected:
  bool handleMessage(std::uint32_t message, std::uint32_t wParam, std::int32_t lParam,
                     std::int32_t& result) override;
  void handleCommand(int controlId, int notifyCode) override;
  void handleTimer(std::uint32_t timerId) override;
  void handleClose() override;

 private:
  void readSwitches();
  void runAction(int place, Hwnd window);
  // Paints the window's buttons if it gets them in the current mode.
  void repaintButtons(Hwnd window);
  // Into its title bar, or into its button window where those are used.
  bool showButtons(Hwnd window);
  void forgetButtons(Hwnd window);
  void keepButtonsOnly(const std::vector<Hwnd>& shown);
  void onButtonWindowReport(std::uint32_t message, Hwnd bar, std::int32_t point);
  // Paints the window's buttons again twice, shortly.
  void settle(Hwnd window);
  // Settles the windows showing buttons (those overlapping `over`, when
  // given): something over them went away.
  void settleShownWindows(const std::optional<Rect>& over = std::nullopt);
  void rememberPlace(Hwnd window);
  void settleTimerTimer();
  void restoreTrayIcons();
  [[nodiscard]] bool showOwnIcon();
  void forgetWindow(Hwnd window);
  void dropVanishedWindows();
  bool handleSessionEnd(std::uint32_t message, std::uint32_t wParam, std::int32_t& result);
  [[nodiscard]] bool eligible(Hwnd window);

  ModuleLog appLog_{log, kAppLog};
  ModuleLog setupAppLog_{log, kSetupAppLog};
  Ports ports_;
  Application& application_;
  DataFiles dataFiles_;
  LangHandler lang_;
  NotifyIcons notifyIcons_;
  FileControl fileControl_;
  NameFromWindow names_;
  WinAuth winAuth_;
  Gfx gfx_;
  ButtonWindows buttonWindows_;
  WindowBook book_;
  Uifx uifx_;
  SetupHook setupHook_;
  Helper helper_;
  SettingsStore store_;
  SettingsBinding binding_;
  Timer Timer1;
  // The hook reports a caption change before the window repaints, and under
  // Wine the repaint can reach the screen some milliseconds later still: the
  // windows reported lately are painted twice more, shortly after.
  Timer settleTimer_;
  std::vector<Hwnd> settling_;
  bool settledOnce_ = false;
  // The system's reports of new titles, moves and hidden windows, while the
  // program runs.
  WindowEventWatch windowEvents_;
  // Where each window that reported a move was at its last report.
  std::map<Hwnd, Rect> lastPlaces_;
  TTrayForm* trayForm_ = nullptr;
  std::uint32_t taskbarCreated_ = 0;
  // Until the shell takes it (at log-on it may not be ready), the own icon
  // is tried again on every tick.
  bool ownIconShown_ = false;
  bool ended_ = false;
};

}  // namespace strennix
