// The main form: the settings window and, at the same time, the hidden
// receiver of every private message, which it hands to the room that deals
// with it. It runs the start-up and the end sequence.
#pragma once

#include <cstdint>

#include "actions/uifx.h"
#include "app/buttonshow.h"
#include "app/clicks/clickroute.h"
#include "app/core/exclusionlists.h"
#include "app/core/filecontrol.h"
#include "app/core/journal.h"
#include "app/core/log.h"
#include "app/core/notifyicons.h"
#include "app/core/settings.h"
#include "app/core/windowbook.h"
#include "app/core/windowlists.h"
#include "buttons/gfx.h"
#include "buttons/repaintschedule.h"
#include "buttonwindows/buttonwindows.h"
#include "eligibility/winauth.h"
#include "hook/helper.h"
#include "hook/setuphook.h"
#include "language/langhandler.h"
#include "platform/forms.h"
#include "platform/ports.h"
#include "settings/settingsform.h"
#include "settings/settingsstore.h"
#include "traymenu/traymenu.h"

namespace strennix {

inline constexpr const char* kMakerWebPage = "https://www.example.com/strennix/";

// What the main form is handed, made before it: the program's state and
// the collaborators that do not need the form's window.
struct MainFormParts {
  Logger& log;
  Settings& settings;
  ExclusionLists& exclusions;
  WindowLists& lists;
  Journal& journal;
  LangHandler& lang;
  NotifyIcons& notifyIcons;
  FileControl& fileControl;
  WinAuth& winAuth;
  Gfx& gfx;
  WindowBook& book;
  Uifx& uifx;
  SetupHook& setupHook;
  Helper& helper;
  SettingsStore& store;
};

class TStrennix : public Form {
 public:
  // Runs the whole start-up: command line, system information, language,
  // begin sequence, variables dump. Raises StrennixError when the settings
  // cannot be loaded.
  TStrennix(const Ports& ports, Application& application, const MainFormParts& parts);
  TStrennix(const TStrennix&) = delete;
  TStrennix& operator=(const TStrennix&) = delete;

  // The tray menu form is created after the main form.
  void setTrayForm(TTrayForm& trayForm);
  // Runs the message loop. However it ends (Exit, the close box, the end of
  // the session, a WM_QUIT from elsewhere, an exception after its error box),
  // the end sequence has run once when this returns.
  void run();
  // Runs once; later calls do nothing.
  void endApp();

 protected:
  bool handleMessage(std::uint32_t message, std::uint32_t wParam, std::int32_t lParam,
                     std::int32_t& result) override;
  void handleCommand(int controlId, int notifyCode) override;
  void handleTimer(std::uint32_t timerId) override;
  void handleClose() override;

 private:
  void readSwitches();
  void selectLanguage();
  void beginApp();
  // Hands a private message to its room; answers whether it was one.
  bool dispatchPrivate(std::uint32_t message, std::uint32_t wParam, std::int32_t lParam);
  void onSTRNX_DESTROY(Hwnd window);
  void forgetWindow(Hwnd window);
  void onWM_ASTRAY(std::uint32_t iconId, std::uint32_t mouseMessage);
  void onWM_TRAY(std::uint32_t mouseMessage);
  void Timer1Timer();
  void btnSaveClick();
  void quit();
  bool handleSessionEnd(std::uint32_t message, std::uint32_t wParam, std::int32_t& result);

  ModuleLog appLog_;
  ModuleLog setupAppLog_;
  Ports ports_;
  Application& application_;
  MainFormParts parts_;
  SettingsBinding binding_;
  Timer Timer1;
  ButtonWindows buttonWindows_;
  ButtonShow buttonShow_;
  RepaintSchedule schedule_;
  ClickRoute clicks_;
  // The system's reports of new titles, moves and hidden windows, while the
  // program runs.
  WindowEventWatch windowEvents_;
  TTrayForm* trayForm_ = nullptr;
  std::uint32_t taskbarCreated_ = 0;
  // Until the shell takes it (at log-on it may not be ready), the own icon
  // is tried again on every tick.
  bool ownIconShown_ = false;
  bool ended_ = false;
};

}  // namespace strennix
