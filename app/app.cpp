#include "app/app.h"

#include <algorithm>
#include <array>
#include <exception>
#include <utility>
#include <vector>

#include "app/core/registrystore.h"
#include "platform/winconst.h"
#include "resources/resource.h"
#include "settings/dumps.h"
#include "settings/setupapp.h"

namespace strennix {

namespace {

// The window messages of the program's own protocol: after the end sequence
// none of them may hide or list a window, bring an icon back or paint a
// button.
constexpr std::array kPrivateMessages = {
    win::kStrnxDestroy,   win::kStrnxNcLButtonUp, win::kStrnxCaptionChange,
    win::kStrnxUncovered, win::kStrnxButtonDown,  win::kStrnxButtonUp,
    win::kWmAsTray,       win::kWmTray,           kStrnxBarPress,
    kStrnxBarRelease,     kStrnxBarMove,          kStrnxBarLeave};
// The poll of the windows with a button window.
constexpr std::uint32_t kButtonWindowPollTimerId = IDT_TIMER1 + 8;

bool isPrivate(std::uint32_t message) {
  return std::count(kPrivateMessages.begin(), kPrivateMessages.end(), message) != 0;
}

}  // namespace

TStrennix::TStrennix(const Ports& ports, Application& application, const MainFormParts& parts)
    : Form(ports.ui, ports.messageBoxes, IDD_STRENNIX),
      appLog_(parts.log, kAppLog),
      setupAppLog_(parts.log, kSetupAppLog),
      ports_(ports),
      application_(application),
      parts_(parts),
      binding_(ports.registry, ports.system, ports.formControls, *this, parts.log),
      Timer1(ports.ui, *this, IDT_TIMER1),
      buttonWindows_(ports.windowInfo, ports.desktop, ports.placement, ports.buttonWindows,
                     ports.frames, parts.winAuth, parts.gfx, ports.ui, *this,
                     kButtonWindowPollTimerId, parts.settings, parts.log),
      buttonShow_(parts.gfx, buttonWindows_),
      schedule_(ports.ui, *this, ports.windowInfo, ports.desktop, ports.buttonRows, buttonShow_,
                parts.settings, parts.log),
      clicks_(ports.windowInfo, ports.desktop, ports.placement, ports.buttonRows, parts.winAuth,
              parts.gfx, buttonWindows_, schedule_, parts.uifx, parts.settings, parts.log) {
  parts_.notifyIcons.setOwner(handle(), ports.ui.loadIcon(IDI_APPLICATION_ICON));
  parts_.gfx.setIcons(loadButtonIcons(ports.ui));
  parts_.winAuth.setOwnWindows(handle(), Hwnd{});
  taskbarCreated_ = ports.ui.registerWindowMessage("TaskbarCreated");
  parts_.log.readSwitches(ports.system.arguments());
  dumpSystemInfo(parts_.log, ports.system, ports.files);
  selectLanguage();
  beginApp();
  dumpVariables(parts_.log, kAppLog, parts_.settings, parts_.lists);
}

void TStrennix::setTrayForm(TTrayForm& trayForm) {
  trayForm_ = &trayForm;
  parts_.winAuth.setOwnWindows(handle(), trayForm.handle());
  parts_.uifx.setMenu(trayForm);
}

void TStrennix::run() {
  try {
    application_.run(*this);
  } catch (const std::exception& error) {
    application_.showException(error);
  } catch (...) {
    application_.showException(StrennixError("Unexpected error"));
  }
  if (!ended_) {
    appLog_.writeLog("Message loop ended without Exit: giving windows back.");
    endApp();
  }
}

void TStrennix::selectLanguage() {
  std::uint32_t language = ports_.system.userDefaultLangId();
  {
    const SettingsKey key(ports_.registry, kSettingsKeyPath, false, KeyAccess::Read);
    language = key.readDword(kValueLang).value_or(language);
  }
  parts_.lang.setLanguage(static_cast<std::uint16_t>(language));
  parts_.lang.setLanguageFolder("lang");
  binding_.translateCaptions(parts_.lang);
}

void TStrennix::beginApp() {
  setupAppLog_.trace("Called beginApp. (Critical function, i.e. can crash)");
  parts_.exclusions = ExclusionLists{};
  zeroVars(parts_.settings, parts_.lists, setupAppLog_);
  setupAppLog_.trace("  Vars are zeroed");
  // Before anything else touches a window: what a run that did not end
  // cleanly left changed comes back first.
  parts_.book.giveBack(parts_.journal.load());
  application_.showMainForm =
      checkFirstStart(ports_.registry, ports_.system, ports_.messageBoxes, setupAppLog_);
  binding_.regToForm(parts_.settings);
  parts_.store.regToVars(parts_.settings, parts_.exclusions,
                         [this](std::uint32_t ms) { Timer1.setInterval(ms); });
  buttonWindows_.chooseLook();
  parts_.setupHook.beginHook(handle());
  parts_.helper.beginHelper();
  windowEvents_ = ports_.windowEvents.watchWindowEvents();
  ownIconShown_ = parts_.notifyIcons.showOwnIcon();
  setupAppLog_.trace("Exited beginApp.");
  Timer1.setEnabled(true);
}

void TStrennix::endApp() {
  if (std::exchange(ended_, true)) {
    return;
  }
  setupAppLog_.trace("Called endApp");
  Timer1.setEnabled(false);
  parts_.book.unShadeAll();
  parts_.book.unIconizeAll();
  if (trayForm_ != nullptr) {
    trayForm_->showAllWindows();
  }
  parts_.book.forgetStretchedAndTopmost();
  buttonWindows_.destroyAll();
  parts_.setupHook.endHook();
  parts_.helper.endHelper();
  windowEvents_.reset();
  parts_.notifyIcons.removeOwnIcon();
  setupAppLog_.trace("Exited endApp");
}

bool TStrennix::dispatchPrivate(std::uint32_t message, std::uint32_t wParam, std::int32_t lParam) {
  if (clicks_.buttonWindowReport(message, wParam, lParam)) {
    return true;
  }
  switch (message) {
    case win::kStrnxNcLButtonUp:
      clicks_.titleBarRelease(static_cast<std::int32_t>(wParam), lParam);
      return true;
    case win::kStrnxDestroy:
      onSTRNX_DESTROY(handleOfBits<Hwnd>(wParam));
      return true;
    case win::kStrnxCaptionChange:
      schedule_.captionChanged(handleOfBits<Hwnd>(wParam));
      return true;
    case win::kStrnxUncovered:
      schedule_.uncovered(handleOfBits<Hwnd>(wParam));
      return true;
    case win::kStrnxButtonDown:
      clicks_.press(handleOfBits<Hwnd>(wParam), lParam);
      return true;
    case win::kStrnxButtonUp:
      clicks_.release(handleOfBits<Hwnd>(wParam), lParam);
      return true;
    case win::kWmAsTray:
      onWM_ASTRAY(wParam, static_cast<std::uint32_t>(lParam));
      return true;
    case win::kWmTray:
      onWM_TRAY(static_cast<std::uint32_t>(lParam));
      return true;
    default:
      return false;
  }
}

// The hook reports a window about to be destroyed, and anyone can post the
// same message: a window is forgotten only once it is really gone (a vetoed
// or forged report forgets nothing; a window still being destroyed goes at a
// later tick).
void TStrennix::onSTRNX_DESTROY(Hwnd window) {
  appLog_.trace("Recieved STRNX_DESTROY");
  if (parts_.journal.stillSame(window)) {
    appLog_.trace("  Window still exists, kept");
  } else {
    forgetWindow(window);
  }
  // What it covered is painted anew by its owners, without the buttons.
  schedule_.settleShownWindows();
  appLog_.trace("Handled STRNX_DESTROY");
}

// Its menu entry goes only after the book has shown the owner hidden with it.
void TStrennix::forgetWindow(Hwnd window) {
  parts_.book.forgetWindow(window);
  if (trayForm_ != nullptr) {
    trayForm_->removeTrayHwnd(window);
  }
  parts_.journal.forgetWindow(window);
  schedule_.forget(window);
  clicks_.forget(window);
}

void TStrennix::onWM_ASTRAY(std::uint32_t iconId, std::uint32_t mouseMessage) {
  appLog_.trace("Called onWM_ASTRAY.");
  if (mouseMessage == win::kWmLButtonUp && parts_.lists.trayed().taken(iconId)) {
    parts_.book.restoreTrayedWindow(static_cast<int>(iconId));
  }
  appLog_.trace("Exited onWM_ASTRAY.");
}

void TStrennix::onWM_TRAY(std::uint32_t mouseMessage) {
  appLog_.trace("Recieved WM_TRAY");
  if (mouseMessage == win::kWmLButtonDblClk) {
    show();
    // Showing a minimized window leaves it minimized.
    if (ports_.windowInfo.isMinimized(handle())) {
      ports_.placement.restore(handle());
    }
    ports_.placement.bringToFront(handle());
  } else if (mouseMessage == win::kWmRButtonUp && trayForm_ != nullptr) {
    trayForm_->showAtCursor();
  }
  appLog_.trace("Handled WM_TRAY");
}

void TStrennix::Timer1Timer() {
  appLog_.trace("Timer event");
  if (!ownIconShown_) {
    ownIconShown_ = parts_.notifyIcons.showOwnIcon();
  }
  parts_.helper.checkHelper();
  // Windows that died unreported (no hook, or a report that came too early),
  // or whose handle now names another window, are never touched again.
  const std::vector<JournalRecord> records = parts_.journal.records();
  for (const JournalRecord& record : records) {
    if (!parts_.journal.sameWindow(record)) {
      forgetWindow(record.window);
    }
  }
  buttonWindows_.chooseLook();
  schedule_.repaintCurrent();
  appLog_.trace("Timer event handled");
}

void TStrennix::btnSaveClick() {
  binding_.formToReg();
  parts_.store.regToVars(parts_.settings, parts_.exclusions,
                         [this](std::uint32_t ms) { Timer1.setInterval(ms); });
  buttonWindows_.chooseLook();
  binding_.regToForm(parts_.settings);
  if (parts_.log.loggingMode) {
    dumpVariables(parts_.log, kAppLog, parts_.settings, parts_.lists);
  }
}

// Exit and the close box end the program alike.
void TStrennix::quit() {
  endApp();
  appLog_.writeLog("Terminating application.");
  application_.terminate();
}

// The windows come back before the session ends; then the program ends, as
// nothing would be left for it to do.
bool TStrennix::handleSessionEnd(std::uint32_t message, std::uint32_t wParam,
                                 std::int32_t& result) {
  if (message == win::kWmQueryEndSession) {
    result = 1;
    return true;
  }
  if (message != win::kWmEndSession) {
    return false;
  }
  if (wParam != 0) {
    appLog_.writeLog("Session ending: giving windows back.");
    endApp();
    application_.terminate();
  }
  return true;
}

bool TStrennix::handleMessage(std::uint32_t message, std::uint32_t wParam, std::int32_t lParam,
                              std::int32_t& result) {
  result = 0;
  if (handleSessionEnd(message, wParam, result)) {
    return true;
  }
  const bool taskbarCreated = taskbarCreated_ != 0 && message == taskbarCreated_;
  if (ended_ && (isPrivate(message) || taskbarCreated)) {
    return true;
  }
  if (taskbarCreated) {
    // The shell rebuilt its notification area after a restart: without our
    // icons the user could neither reach the settings nor get hidden windows
    // back.
    ownIconShown_ = parts_.notifyIcons.showOwnIcon();
    parts_.book.reAddTrayIcons([this](Hwnd window) { return parts_.uifx.trayIconOf(window); });
    return true;
  }
  return dispatchPrivate(message, wParam, lParam);
}

void TStrennix::handleCommand(int controlId, int /*notifyCode*/) {
  switch (controlId) {
    case IDC_BTNSAVE:
      btnSaveClick();
      break;
    case IDC_BTNHIDE:
      appLog_.trace("Hiding appwindow");
      hide();
      appLog_.trace("Window hidden");
      break;
    case IDC_BTNQUIT:
      quit();
      break;
    case IDC_CHKCLASSES:
      binding_.chkClassesClick();
      break;
    case IDC_CHKNAMES:
      binding_.chkNamesClick();
      break;
    case IDC_BTNEDITCLASSES:
      parts_.fileControl.editClasses();
      break;
    case IDC_BTNEDITNAMES:
      parts_.fileControl.editNames();
      break;
    case IDC_LABEL1:
      ports_.shell.shellExecute(Hwnd{}, "open", kMakerWebPage, "", "", win::kSwShowNormal);
      break;
    default:
      break;
  }
}

void TStrennix::handleTimer(std::uint32_t timerId) {
  if (timerId == buttonWindows_.pollTimerId()) {
    buttonWindows_.poll();
  } else if (!schedule_.tick(timerId) && timerId == Timer1.id()) {
    Timer1Timer();
  }
}

void TStrennix::handleClose() { quit(); }

}  // namespace strennix
