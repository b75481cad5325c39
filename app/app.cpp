#include "app/app.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/core/registrystore.h"
#include "platform/hookprotocol.h"
#include "platform/winconst.h"
#include "resources/resource.h"
#include "resources/version.h"
#include "settings/setupapp.h"

namespace strennix {

namespace {

// The second timer of the main form, and its two delays after a reported
// caption change: the window's own repaint is on the screen by then.
constexpr std::uint32_t kSettleTimerId = IDT_TIMER1 + 1;
constexpr std::uint32_t kFirstSettleMs = 10;
constexpr std::uint32_t kSecondSettleMs = 30;
// How many moving windows' places are remembered at most.
constexpr std::size_t kRememberedPlaces = 64;

// The settings form's captions that a language file may translate, in the
// order they are looked up.
constexpr std::array kTranslatedControls = {
    IDC_BTNEDITCLASSES, IDC_BTNEDITNAMES,    IDC_BTNHIDE,     IDC_BTNQUIT,      IDC_BTNSAVE,
    IDC_CHKCLASSES,     IDC_CHKHMAX,         IDC_CHKMENUSTAY, IDC_CHKMINICON,   IDC_CHKMINMENU,
    IDC_CHKMSGBOX,      IDC_CHKNAMES,        IDC_CHKSHADE,    IDC_CHKSTART,     IDC_CHKTOOL,
    IDC_CHKTOP,         IDC_CHKTRANSP,       IDC_CHKVMAX,     IDC_GROUPBUTTONS, IDC_GROUPEXCLUDE,
    IDC_GRPDRAWON,      IDC_GRPMENU,         IDC_GRPPRIORITY, IDC_LBLSORT,      IDC_RDBTNALLWINDOWS,
    IDC_RDBTNALPHA,     IDC_RDBTNFOREGROUND, IDC_RDBTNTIME};

std::string lowerCase(std::string text) {
  for (char& c : text) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return text;
}

std::string formatted(const char* format, long long value) {
  std::array<char, 64> buffer{};
  std::snprintf(buffer.data(), buffer.size(), format, value);
  return buffer.data();
}

// On one axis: the span of `size` ends at `at`, or starts there when it
// would begin before `low`; then it is moved inside low..high.
std::int32_t placeBeside(std::int32_t at, std::int32_t size, std::int32_t low, std::int32_t high) {
  const std::int32_t start = at - size < low ? at : at - size;
  return std::max(low, std::min(start, high - size));
}

}  // namespace

Point trayMenuPosition(Point cursor, int width, int height, const Rect& workArea) {
  return {placeBeside(cursor.x, width, workArea.left, workArea.right),
          placeBeside(cursor.y, height, workArea.top, workArea.bottom)};
}

TStrennix::TStrennix(const Ports& ports, Application& application)
    : Form(ports.ui, ports.windows, ports.messageBoxes, IDD_STRENNIX),
      log(ports.files, ports.clock),
      journal(ports.registry, ports.windows, log),
      ports_(ports),
      application_(application),
      dataFiles_(ports.files, ports.system),
      lang_(dataFiles_),
      notifyIcons_(ports.shell, log),
      fileControl_(dataFiles_, ports.system, ports.shell, log),
      names_(ports.system, ports.processNames, ports.windows, ports.registry, log),
      winAuth_(ports.windows, ports.system, names_, settings, exclusions, log),
      gfx_(ports.windows, ports.drawing, ports.buttonRows, winAuth_, settings, log),
      book_(lists, ports.windows, journal, notifyIcons_, log),
      uifx_(ports.windows, ports.messageBoxes, lang_, lists, journal, notifyIcons_, settings, log),
      setupHook_(ports.system, ports.hooks, ports.registry, ports.buttonRows, log),
      helper_(ports.system, ports.processes, log),
      store_(ports.registry, fileControl_, log),
      binding_(ports.registry, ports.system, ports.ui, *this, log),
      Timer1(ports.ui, *this, IDT_TIMER1),
      settleTimer_(ports.ui, *this, kSettleTimerId) {
  notifyIcons_.setOwner(handle(), ports.ui.loadIcon(IDI_APPLICATION_ICON));
  gfx_.setIcons(loadButtonIcons(ports.ui));
  winAuth_.setOwnWindows(handle(), Hwnd{});
  taskbarCreated_ = ports.ui.registerWindowMessage("TaskbarCreated");
  readSwitches();
  dumpSystemInfo();
  selectLanguage();
  beginApp();
  dumpVariables(kAppLog);
}

TStrennix::~TStrennix() = default;

void TStrennix::setTrayForm(TTrayForm& trayForm) {
  trayForm_ = &trayForm;
  winAuth_.setOwnWindows(handle(), trayForm.handle());
  uifx_.setMenu(trayForm);
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

void TStrennix::readSwitches() {
  for (const std::string& argument : ports_.system.arguments()) {
    const std::string lowered = lowerCase(argument);
    if (lowered == "--debug") {
      log.debugMode = true;
      appLog_.writeLog("Starting application in debugmode.\nDumping some systeminfo.");
    }
    if (lowered == "--log") {
      log.debugMode = true;
      log.loggingMode = true;
      appLog_.writeLog("Starting application in loggingmode.\nDumping some systeminfo.");
    }
  }
}

void TStrennix::dumpSystemInfo() {
  if (!log.debugMode) {
    return;
  }
  const OsVersion version = ports_.system.version().value_or(OsVersion{});
  std::string text;
  text += formatted("OSVERSIONINFO.dwMajorVersion: %lld\n",
                    static_cast<std::int32_t>(version.majorVersion));
  text += formatted("OSVERSIONINFO.dwMinorVersion: %lld\n",
                    static_cast<std::int32_t>(version.minorVersion));
  text += formatted("OSVERSIONINFO.dwBuildNumber: %lld\n",
                    static_cast<std::int32_t>(version.buildNumber));
  text += formatted("OSVERSIONINFO.dwdwPlatformId: %lld\n",
                    static_cast<std::int32_t>(version.platformId));
  text += std::string("Strnx version: ") + kVersion + "\n";
  text += "Path: " + ports_.system.executablePath() + "\n";
  const char* library = hookprotocol::ownFiles(ports_.system.programIs64Bit()).library;
  text += std::string("Finding ") + library +
          formatted(": %lld\n", ports_.files.exists(library) ? 1 : 0);
  appLog_.writeBlock(text);
}

void TStrennix::selectLanguage() {
  std::uint32_t language = ports_.system.userDefaultLangId();
  {
    const SettingsKey key(ports_.registry, kSettingsKeyPath, false, KeyAccess::Read);
    language = key.readDword(kValueLang).value_or(language);
  }
  lang_.setLanguage(static_cast<std::uint16_t>(language));
  lang_.setLanguageFolder("lang");
  for (const int id : kTranslatedControls) {
    const FormControl caption = control(id);
    ui_.setText(caption, lang_.translate(ui_.text(caption)));
  }
}

void TStrennix::dumpVariables(const char* file) const {
  if (!log.debugMode) {
    return;
  }
  const auto line = [](const char* name, long long value) {
    return std::string("Strennix->") + name + formatted("=%lld\n", value);
  };
  const auto mask = [](std::uint32_t value) {
    return static_cast<long long>(static_cast<std::int32_t>(value));
  };
  const auto flag = [](bool value) { return value ? 1LL : 0LL; };
  std::string text = "Variables at " + log.now() + "\n**********\n";
  text += line("usingVMax", flag(settings.usingVMax));
  text += line("usingHMax", flag(settings.usingHMax));
  text += line("usingShade", flag(settings.usingShade));
  text += line("usingMinIcon", flag(settings.usingMinIcon));
  text += line("usingMinMenu", flag(settings.usingMinMenu));
  text += line("usingTop", flag(settings.usingTop));
  text += line("numberOfButtons", settings.numberOfButtons);
  text += line("priority", settings.priority);
  text += line("buttonXOffset", settings.buttonXOffset);
  text += line("buttonYOffset", settings.buttonYOffset);
  text += line("buttonXStretch", settings.buttonXStretch);
  text += line("buttonYStretch", settings.buttonYStretch);
  text += line("drawOnAll", flag(settings.drawOnAll));
  text += line("excludeStyles", mask(settings.excludeStyles));
  text += line("excludeExStyles", mask(settings.excludeExStyles));
  text += line("excludingClasses", flag(settings.excludingClasses));
  text += line("excludingNames", flag(settings.excludingNames));
  text += line("menuStay", flag(settings.menuStay));
  text += line("menuSort", flag(settings.menuSort));
  text += line("numberOfMinimizedWindows", lists.numberOfMinimizedWindows);
  text += line("numberOfTrayedWindows", lists.numberOfTrayedWindows);
  text += line("numberOfShadedWindows", lists.numberOfShadedWindows);
  text += "**********\n";
  log.writeBlock(file, text);
}

void TStrennix::beginApp() {
  setupAppLog_.trace("Called beginApp. (Critical function, i.e. can crash)");
  exclusions = ExclusionLists{};
  zeroVars(settings, lists, setupAppLog_);
  setupAppLog_.trace("  Vars are zeroed");
  // Before anything else touches a window: what a run that did not end
  // cleanly left changed comes back first.
  book_.giveBack(journal.load());
  application_.showMainForm =
      checkFirstStart(ports_.registry, ports_.system, ports_.messageBoxes, setupAppLog_);
  binding_.regToForm(settings);
  store_.regToVars(settings, exclusions, [this](std::uint32_t ms) { Timer1.setInterval(ms); });
  setupHook_.beginHook(handle());
  helper_.beginHelper();
  windowEvents_ = ports_.windowEvents.watchWindowEvents();
  ownIconShown_ = showOwnIcon();
  setupAppLog_.trace("Exited beginApp.");
  Timer1.setEnabled(true);
}

void TStrennix::endApp() {
  if (std::exchange(ended_, true)) {
    return;
  }
  setupAppLog_.trace("Called endApp");
  Timer1.setEnabled(false);
  book_.unShadeAll();
  book_.unIconizeAll();
  if (trayForm_ != nullptr) {
    trayForm_->showAllWindows();
  }
  book_.forgetStretchedAndTopmost();
  setupHook_.endHook();
  helper_.endHelper();
  windowEvents_.reset();
  notifyIcons_.trayMessage(win::kNimDelete);
  setupAppLog_.trace("Exited endApp");
}

// With no foreground window (or one that has just died) every query answers
// zeros that pass the filter; acting on such a handle would list a window that
// does not exist.
bool TStrennix::eligible(Hwnd window) {
  return windows_.isWindow(window) && winAuth_.passesAll(window) &&
         window != windows_.desktopWindow();
}

void TStrennix::onSTRNX_NCLBUTTONUP(std::int32_t x, std::int32_t y) {
  appLog_.trace("Recieved STRNX_NCLBUTTONUP.");
  const Hwnd window = windows_.foregroundWindow();
  if (!eligible(window)) {
    return;
  }
  const int pos = slotAt(windows_.windowRect(window), Point{x, y}, settings);
  if (pos >= 0) {
    appLog_.trace("  Dealing with the click");
    appLog_.trace(std::to_string(pos));
    runAction(pos, window);
  }
  appLog_.trace("Handled STRNX_NCLBUTTONUP");
}

void TStrennix::runAction(int place, Hwnd window) {
  const SlotButtons buttons = enabledButtons(settings);
  if (place >= buttons.count) {
    return;
  }
  switch (buttons.order[static_cast<std::size_t>(place)]) {
    case TitleButton::Top:
      uifx_.toggleTopmost(window);
      break;
    case TitleButton::ToIcon:
      uifx_.minTray(window);
      break;
    case TitleButton::Shade:
      uifx_.shade(window);
      break;
    case TitleButton::ToMenu:
      uifx_.minMenu(window);
      break;
    case TitleButton::VMax:
      uifx_.maxV(window);
      break;
    case TitleButton::HMax:
      uifx_.maxH(window);
      break;
  }
}

// The hook reports a window about to be destroyed, and anyone can post the
// same message: a window is forgotten only once it is really gone (a vetoed
// or forged report forgets nothing; a window still being destroyed goes at a
// later tick).
void TStrennix::onSTRNX_DESTROY(Hwnd window) {
  appLog_.trace("Recieved STRNX_DESTROY");
  if (journal.stillSame(window)) {
    appLog_.trace("  Window still exists, kept");
  } else {
    forgetWindow(window);
  }
  // What it covered is painted anew by its owners, without the buttons.
  settleShownWindows();
  appLog_.trace("Handled STRNX_DESTROY");
}

void TStrennix::forgetWindow(Hwnd window) {
  book_.showOwnerOfDestroyed(window);
  book_.removeShadedHwnd(window);
  book_.removeIconizedHwnd(window);
  if (trayForm_ != nullptr) {
    trayForm_->removeTrayHwnd(window);
  }
  book_.removeStretchedWindow(window);
  journal.forgetWindow(window);
  gfx_.forget(window);
  lastPlaces_.erase(window);
}

// Windows that died unreported (no hook, or a report that came too early),
// or whose handle now names another window, are never touched again.
void TStrennix::dropVanishedWindows() {
  const std::vector<JournalRecord> records = journal.records();
  for (const JournalRecord& record : records) {
    if (!journal.sameWindow(record)) {
      forgetWindow(record.window);
    }
  }
}

void TStrennix::repaintButtons(Hwnd window) {
  if (settings.drawOnAll) {
    gfx_.drawButtons(window);
    return;
  }
  // Only the window in front shows buttons: the others' repaints have
  // covered the buttons of their last turn in front.
  if (window == windows_.foregroundWindow() && gfx_.drawButtons(window)) {
    gfx_.keepOnly({window});
    return;
  }
  gfx_.forget(window);
}

// A settle that has yet to paint for the first time keeps its time, so that
// a stream of reports (a window dragged across others) cannot put it off.
void TStrennix::settle(Hwnd window) {
  if (std::find(settling_.begin(), settling_.end(), window) == settling_.end()) {
    settling_.push_back(window);
  }
  if (settleTimer_.enabled() && !settledOnce_) {
    return;
  }
  settledOnce_ = false;
  settleTimer_.setInterval(kFirstSettleMs);
  settleTimer_.setEnabled(true);
}

void TStrennix::onSTRNX_CAPTIONCHANGE(Hwnd window) {
  appLog_.trace("Recieved STRNX_CAPTIONCHANGE");
  repaintButtons(window);
  settle(window);
  appLog_.trace("Handled STRNX_CAPTIONCHANGE");
}

// Not painted at once: a drag reports every step, and one settle paints
// all of them. Only the windows under the place the window left can have
// been uncovered; where it was is known from its last report, and without
// one every window showing buttons is settled.
void TStrennix::onSTRNX_UNCOVERED(Hwnd window) {
  appLog_.trace("Recieved STRNX_UNCOVERED");
  settle(window);
  const auto last = lastPlaces_.find(window);
  settleShownWindows(last != lastPlaces_.end() ? std::optional<Rect>(last->second) : std::nullopt);
  rememberPlace(window);
  appLog_.trace("Handled STRNX_UNCOVERED");
}

// Windows that die unreported leave their places behind; the few that
// matter are those moving now, so a long list is simply started again.
void TStrennix::rememberPlace(Hwnd window) {
  if (lastPlaces_.size() >= kRememberedPlaces) {
    lastPlaces_.clear();
  }
  if (windows_.isWindow(window)) {
    lastPlaces_.insert_or_assign(window, windows_.windowRect(window));
  } else {
    lastPlaces_.erase(window);
  }
}

void TStrennix::settleShownWindows(const std::optional<Rect>& over) {
  for (const Hwnd shown : ports_.buttonRows.publishedWindows()) {
    if (!over || windows_.windowRect(shown).overlaps(*over)) {
      settle(shown);
    }
  }
}

void TStrennix::onSTRNX_BUTTONDOWN(Hwnd window, std::int32_t slot) {
  appLog_.trace("Recieved STRNX_BUTTONDOWN");
  // Only a button the program painted: a stray report changes nothing.
  const std::optional<ButtonRow> row = ports_.buttonRows.published(window);
  if (!row || slot < 0 || slot >= row->slots || !eligible(window)) {
    return;
  }
  // As a press on its title bar would.
  windows_.setForegroundWindow(window);
  gfx_.hold(HeldButton{window, slot});
  gfx_.drawButtons(window);
  appLog_.trace("Handled STRNX_BUTTONDOWN");
}

void TStrennix::onSTRNX_BUTTONUP(Hwnd window, std::int32_t slot) {
  appLog_.trace("Recieved STRNX_BUTTONUP");
  const std::optional<HeldButton> held = gfx_.held();
  if (!held || held->window != window) {
    return;
  }
  gfx_.letGo();
  if (slot == held->slot && eligible(window)) {
    appLog_.trace("  Dealing with the click");
    appLog_.trace(std::to_string(slot));
    runAction(slot, window);
  }
  repaintButtons(window);
  appLog_.trace("Handled STRNX_BUTTONUP");
}

void TStrennix::onWM_ASTRAY(std::uint32_t iconId, std::uint32_t mouseMessage) {
  appLog_.trace("Called onWM_ASTRAY.");
  if (mouseMessage == win::kWmLButtonUp && iconId < kTraySlots &&
      !lists.trayedWindows[iconId].free) {
    book_.restoreTrayedWindow(static_cast<int>(iconId));
  }
  appLog_.trace("Exited onWM_ASTRAY.");
}

void TStrennix::onWM_TRAY(std::uint32_t mouseMessage) {
  appLog_.trace("Recieved WM_TRAY");
  if (mouseMessage == win::kWmLButtonDblClk) {
    show();
    // Showing a minimized window leaves it minimized.
    if ((windows_.windowLong(handle(), win::kGwlStyle) & win::kWsMinimize) != 0) {
      windows_.showWindow(handle(), win::kSwRestore);
    }
    windows_.setForegroundWindow(handle());
  } else if (mouseMessage == win::kWmRButtonUp && trayForm_ != nullptr) {
    const Rect frame = windows_.windowRect(trayForm_->handle());
    const Point cursor = windows_.cursorPos();
    const Point place = trayMenuPosition(cursor, frame.width(), frame.height(),
                                         windows_.monitorAt(cursor).workArea);
    windows_.moveWindow(trayForm_->handle(), place.x, place.y, frame.width(), frame.height(), true);
    trayForm_->show();
    windows_.setForegroundWindow(trayForm_->handle());
  }
  appLog_.trace("Handled WM_TRAY");
}

// The shell rebuilds its notification area after a restart: without our
// icons the user could neither reach the settings nor get hidden windows back.
// A window whose icon cannot be put back is shown again: hidden without an
// icon, it could not be brought back. An icon the shell kept takes the
// change instead of the add.
void TStrennix::restoreTrayIcons() {
  ownIconShown_ = showOwnIcon();
  for (std::uint32_t slot = 0; slot < kTraySlots; ++slot) {
    const TrayedWindow& trayed = lists.trayedWindows[slot];
    if (trayed.free) {
      continue;
    }
    const std::string title = windows_.windowText(trayed.hwnd, 260);
    const IconHandle icon = uifx_.trayIconOf(trayed.hwnd);
    if (!notifyIcons_.reAddWindowIcon(title, icon, slot)) {
      book_.giveBackTrayed(slot);
    }
  }
}

bool TStrennix::showOwnIcon() { return notifyIcons_.showOwnIcon(); }

void TStrennix::Timer1Timer() {
  appLog_.trace("Timer event");
  if (!ownIconShown_) {
    ownIconShown_ = showOwnIcon();
  }
  dropVanishedWindows();
  std::vector<Hwnd> painted;
  const auto draw = [this, &painted](Hwnd window) {
    if (gfx_.drawButtons(window)) {
      painted.push_back(window);
    }
  };
  if (settings.drawOnAll) {
    windows_.enumWindows([&draw](Hwnd window) {
      draw(window);
      return true;
    });
  } else {
    draw(windows_.foregroundWindow());
  }
  // A window that left the front, or died, shows no buttons any more.
  gfx_.keepOnly(painted);
  appLog_.trace("Timer event handled");
}

void TStrennix::btnSaveClick() {
  binding_.formToReg();
  store_.regToVars(settings, exclusions, [this](std::uint32_t ms) { Timer1.setInterval(ms); });
  binding_.regToForm(settings);
  if (log.loggingMode) {
    dumpVariables(kAppLog);
  }
}

void TStrennix::btnHideClick() {
  appLog_.trace("Hiding appwindow");
  hide();
  appLog_.trace("Window hidden");
}

void TStrennix::btnQuitClick() {
  endApp();
  appLog_.writeLog("Terminating application.");
  application_.terminate();
}

void TStrennix::FormClose() {
  endApp();
  appLog_.writeLog("Terminating application.");
  application_.terminate();
}

void TStrennix::btnEditClassesClick() { fileControl_.editClasses(); }

void TStrennix::btnEditNamesClick() { fileControl_.editNames(); }

void TStrennix::Label1Click() {
  ports_.shell.shellExecute(Hwnd{}, "open", kMakerWebPage, "", "", win::kSwShowNormal);
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
  // After the end sequence no private message may hide or list a window,
  // no icon may come back and no button may be painted.
  if (ended_ && ((message >= win::kStrnxDestroy && message <= win::kWmTray) ||
                 (message >= win::kStrnxCaptionChange && message <= win::kStrnxUncovered) ||
                 (taskbarCreated_ != 0 && message == taskbarCreated_))) {
    return true;
  }
  switch (message) {
    case win::kStrnxNcLButtonUp:
      onSTRNX_NCLBUTTONUP(static_cast<std::int32_t>(wParam), lParam);
      return true;
    case win::kStrnxDestroy:
      onSTRNX_DESTROY(handleOfBits<Hwnd>(wParam));
      return true;
    case win::kStrnxCaptionChange:
      onSTRNX_CAPTIONCHANGE(handleOfBits<Hwnd>(wParam));
      return true;
    case win::kStrnxUncovered:
      onSTRNX_UNCOVERED(handleOfBits<Hwnd>(wParam));
      return true;
    case win::kStrnxButtonDown:
      onSTRNX_BUTTONDOWN(handleOfBits<Hwnd>(wParam), lParam);
      return true;
    case win::kStrnxButtonUp:
      onSTRNX_BUTTONUP(handleOfBits<Hwnd>(wParam), lParam);
      return true;
    case win::kWmAsTray:
      onWM_ASTRAY(wParam, static_cast<std::uint32_t>(lParam));
      return true;
    case win::kWmTray:
      onWM_TRAY(static_cast<std::uint32_t>(lParam));
      return true;
    default:
      break;
  }
  if (taskbarCreated_ != 0 && message == taskbarCreated_) {
    restoreTrayIcons();
    return true;
  }
  return false;
}

void TStrennix::handleCommand(int controlId, int /*notifyCode*/) {
  switch (controlId) {
    case IDC_BTNSAVE:
      btnSaveClick();
      break;
    case IDC_BTNHIDE:
      btnHideClick();
      break;
    case IDC_BTNQUIT:
      btnQuitClick();
      break;
    case IDC_CHKCLASSES:
      binding_.chkClassesClick();
      break;
    case IDC_CHKNAMES:
      binding_.chkNamesClick();
      break;
    case IDC_BTNEDITCLASSES:
      btnEditClassesClick();
      break;
    case IDC_BTNEDITNAMES:
      btnEditNamesClick();
      break;
    case IDC_LABEL1:
      Label1Click();
      break;
    default:
      break;
  }
}

void TStrennix::handleTimer(std::uint32_t timerId) {
  if (timerId == Timer1.id()) {
    Timer1Timer();
  } else if (timerId == settleTimer_.id()) {
    settleTimerTimer();
  }
}

void TStrennix::settleTimerTimer() {
  for (const Hwnd window : settling_) {
    repaintButtons(window);
  }
  if (!std::exchange(settledOnce_, true)) {
    settleTimer_.setInterval(kSecondSettleMs);
    return;
  }
  settleTimer_.setEnabled(false);
  settling_.clear();
}

void TStrennix::handleClose() { FormClose(); }

}  // namespace strennix
