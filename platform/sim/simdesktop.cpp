#include "platform/sim/simdesktop.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "platform/sim/simlayout.h"
#include "platform/winconst.h"

namespace strennix::sim {

namespace {

constexpr Hwnd kDesktop = 0x00010010;
constexpr std::uint32_t kDesktopStyle =
    win::kWsPopup | win::kWsVisible | win::kWsClipSiblings | win::kWsClipChildren;
constexpr int kIddStrennix = 100;
constexpr int kIddTrayForm = 101;

std::string lower(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return result;
}

bool sameText(std::string_view a, std::string_view b) { return lower(a) == lower(b); }

// Key paths compare without regard to case or surrounding backslashes.
std::string keyPath(const std::string& path) {
  std::string result = lower(path);
  while (!result.empty() && result.back() == '\\') {
    result.pop_back();
  }
  const auto first = result.find_first_not_of('\\');
  return first == std::string::npos ? std::string() : result.substr(first);
}

// LoadLibrary looks at the file name only and adds ".dll" when there is no
// extension.
std::string libraryName(const std::string& name) {
  std::string result = lower(name);
  const auto slash = result.find_last_of("\\/");
  if (slash != std::string::npos) {
    result = result.substr(slash + 1);
  }
  if (result.find('.') == std::string::npos) {
    result += ".dll";
  }
  return result;
}

std::string truncated(const std::string& text, int bufferSize) {
  if (bufferSize <= 0) {
    return {};
  }
  return text.substr(0, static_cast<std::size_t>(bufferSize) - 1);
}

SimWindow formWindow(int layoutId) {
  SimWindow window;
  window.title = "Strennix";
  window.visible = false;
  if (layoutId == kIddStrennix) {
    window.className = "TStrennix";
    window.rect = Rect{209, 166, 209 + 313, 166 + 399};
    window.style = 0x00CA0000;  // caption, system menu, minimize box
  } else if (layoutId == kIddTrayForm) {
    window.className = "TTrayForm";
    window.rect = Rect{0, 0, 181, 262};
    window.style = 0x00CC0000;  // caption, system menu, sizing frame
    window.exStyle = win::kWsExToolWindow | win::kWsExTopmost;
  } else {
    window.className = "SimForm";
  }
  return window;
}

}  // namespace

SimDesktop::SimDesktop() {
  libraries["kernel32.dll"] = {"CreateToolhelp32Snapshot", "Process32First", "Process32Next"};
  libraries["psapi.dll"] = {"EnumProcessModules", "GetModuleBaseNameA"};
}

Ports SimDesktop::ports() {
  return Ports{*this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this};
}

Hwnd SimDesktop::newHandle() {
  while (usedHandles_.contains(nextHandle_) || nextHandle_ == kDesktop) {
    nextHandle_ += 2;
  }
  const Hwnd handle = nextHandle_;
  nextHandle_ += 2;
  usedHandles_.insert(handle);
  return handle;
}

std::uint32_t SimDesktop::newResource() {
  nextResource_ += 4;
  return nextResource_;
}

// ---- Windows ----------------------------------------------------------------

Hwnd SimDesktop::addWindow(const SimWindow& window) { return addWindow(window, newHandle()); }

Hwnd SimDesktop::addWindow(const SimWindow& window, Hwnd handle) {
  if (handle == 0 || handle == kDesktop || windows_.contains(handle) ||
      controls_.contains(handle)) {
    throw std::invalid_argument("SimDesktop::addWindow: handle in use");
  }
  usedHandles_.insert(handle);
  windows_[handle] = window;
  zOrder_.insert(zOrder_.begin(), handle);
  return handle;
}

bool SimDesktop::exists(Hwnd window) const { return windows_.contains(window); }

SimWindow& SimDesktop::window(Hwnd window) {
  const auto found = windows_.find(window);
  if (found == windows_.end()) {
    throw std::out_of_range("SimDesktop::window: no such window");
  }
  return found->second;
}

void SimDesktop::destroyWindow(Hwnd window) {
  const auto found = forms_.find(window);
  if (found != forms_.end()) {
    for (const auto& [id, control] : found->second.controls) {
      controls_.erase(control);
      controlForms_.erase(control);
    }
    forms_.erase(found);
    std::erase_if(timers, [window](const auto& timer) { return timer.first.first == window; });
  }
  windows_.erase(window);
  removeFromZOrder(window);
  if (foreground_ == window) {
    foreground_ = 0;
  }
}

void SimDesktop::setForeground(Hwnd window) { foreground_ = window; }

void SimDesktop::removeFromZOrder(Hwnd window) { std::erase(zOrder_, window); }

void SimDesktop::raise(Hwnd window) {
  removeFromZOrder(window);
  zOrder_.insert(zOrder_.begin(), window);
}

// Where a window that is not topmost goes when brought up: in front of the
// other normal windows, behind every topmost one.
void SimDesktop::placeAfterTopmost(Hwnd window) {
  removeFromZOrder(window);
  const auto firstNormal = std::find_if(zOrder_.begin(), zOrder_.end(), [this](Hwnd other) {
    const auto found = windows_.find(other);
    return found == windows_.end() || (found->second.exStyle & win::kWsExTopmost) == 0;
  });
  zOrder_.insert(firstNormal, window);
}

Hwnd SimDesktop::foregroundWindow() { return foreground_; }

Hwnd SimDesktop::desktopWindow() { return kDesktop; }

bool SimDesktop::isWindow(Hwnd window) {
  return window == kDesktop || exists(window) || controls_.contains(window);
}

Rect SimDesktop::windowRect(Hwnd window) {
  if (window == kDesktop) {
    return screen;
  }
  const auto found = windows_.find(window);
  return found == windows_.end() ? Rect{} : found->second.rect;
}

std::uint32_t SimDesktop::windowLong(Hwnd window, int index) {
  if (window == kDesktop) {
    return index == win::kGwlStyle ? kDesktopStyle : 0;
  }
  const auto found = windows_.find(window);
  if (found == windows_.end()) {
    return 0;
  }
  const SimWindow& w = found->second;
  if (index == win::kGwlStyle) {
    return (w.style & ~win::kWsVisible) | (w.visible ? win::kWsVisible : 0);
  }
  if (index == win::kGwlExStyle) {
    return w.exStyle;
  }
  return 0;
}

void SimDesktop::setWindowLong(Hwnd window, int index, std::uint32_t value) {
  const auto found = windows_.find(window);
  if (found == windows_.end()) {
    return;
  }
  SimWindow& w = found->second;
  if (index == win::kGwlStyle) {
    w.style = value;
    w.visible = (value & win::kWsVisible) != 0;
  } else if (index == win::kGwlExStyle) {
    w.exStyle = value;
  }
}

std::string SimDesktop::className(Hwnd window, int bufferSize) {
  if (window == kDesktop) {
    return truncated("#32769", bufferSize);
  }
  const auto found = windows_.find(window);
  return found == windows_.end() ? std::string() : truncated(found->second.className, bufferSize);
}

std::string SimDesktop::windowText(Hwnd window, int bufferSize) {
  const auto found = windows_.find(window);
  return found == windows_.end() ? std::string() : truncated(found->second.title, bufferSize);
}

Hwnd SimDesktop::owner(Hwnd window) {
  const auto found = windows_.find(window);
  return found == windows_.end() ? 0 : found->second.owner;
}

ProcessId SimDesktop::windowProcessId(Hwnd window) {
  const auto found = windows_.find(window);
  return found == windows_.end() ? 0 : found->second.processId;
}

bool SimDesktop::moveWindow(Hwnd window, int x, int y, int width, int height, bool /*repaint*/) {
  const auto found = windows_.find(window);
  if (found == windows_.end()) {
    return false;
  }
  found->second.rect = Rect{x, y, x + width, y + height};
  return true;
}

bool SimDesktop::setWindowPos(Hwnd window, std::int32_t insertAfter, int x, int y, int cx, int cy,
                              std::uint32_t flags) {
  setWindowPosCalls.push_back(SetWindowPosCall{window, insertAfter, x, y, cx, cy, flags});
  const auto found = windows_.find(window);
  if (found == windows_.end()) {
    return false;
  }
  SimWindow& w = found->second;
  const Rect old = w.rect;
  if ((flags & win::kSwpNoMove) == 0) {
    w.rect = Rect{x, y, x + old.width(), y + old.height()};
  }
  if ((flags & win::kSwpNoSize) == 0) {
    w.rect.right = w.rect.left + cx;
    w.rect.bottom = w.rect.top + cy;
  }
  if ((flags & win::kSwpShowWindow) != 0) {
    w.visible = true;
  }
  if ((flags & win::kSwpHideWindow) != 0) {
    w.visible = false;
  }
  if ((flags & win::kSwpNoZOrder) != 0) {
    return true;
  }
  if (insertAfter == win::kHwndTopmost) {
    w.exStyle |= win::kWsExTopmost;
    raise(window);
  } else if (insertAfter == win::kHwndNoTopmost) {
    if ((w.exStyle & win::kWsExTopmost) != 0) {
      w.exStyle &= ~win::kWsExTopmost;
      placeAfterTopmost(window);
    }
  } else if (insertAfter == win::kHwndTop) {
    if ((w.exStyle & win::kWsExTopmost) != 0) {
      raise(window);
    } else {
      placeAfterTopmost(window);
    }
  } else if (insertAfter == win::kHwndBottom) {
    w.exStyle &= ~win::kWsExTopmost;
    removeFromZOrder(window);
    zOrder_.push_back(window);
  } else if (exists(static_cast<Hwnd>(insertAfter)) && static_cast<Hwnd>(insertAfter) != window) {
    removeFromZOrder(window);
    const auto after = std::find(zOrder_.begin(), zOrder_.end(), static_cast<Hwnd>(insertAfter));
    zOrder_.insert(after + 1, window);
  }
  return true;
}

bool SimDesktop::showWindow(Hwnd window, int command) {
  const auto found = windows_.find(window);
  if (found == windows_.end()) {
    return false;
  }
  SimWindow& w = found->second;
  const bool wasVisible = w.visible;
  w.visible = command != win::kSwHide;
  if (command == win::kSwShowNormal || command == win::kSwRestore) {
    w.style &= ~(win::kWsMaximize | win::kWsMinimize);
  } else if (command == win::kSwMaximize) {
    w.style = (w.style & ~win::kWsMinimize) | win::kWsMaximize;
  } else if (command == win::kSwShowMinimized || command == win::kSwMinimize ||
             command == win::kSwShowMinNoActive) {
    w.style = (w.style & ~win::kWsMaximize) | win::kWsMinimize;
  }
  return wasVisible;
}

bool SimDesktop::isVisible(Hwnd window) {
  if (window == kDesktop) {
    return true;
  }
  const auto found = windows_.find(window);
  return found != windows_.end() && found->second.visible;
}

bool SimDesktop::setForegroundWindow(Hwnd window) {
  const auto found = windows_.find(window);
  if (found == windows_.end()) {
    return false;
  }
  foreground_ = window;
  if ((found->second.exStyle & win::kWsExTopmost) != 0) {
    raise(window);
  } else {
    placeAfterTopmost(window);
  }
  return true;
}

void SimDesktop::enumWindows(const std::function<bool(Hwnd)>& visit) {
  const std::vector<Hwnd> order = zOrder_;
  for (const Hwnd window : order) {
    if (exists(window) && !visit(window)) {
      return;
    }
  }
}

Rect SimDesktop::workArea() { return workAreaRect; }

int SimDesktop::systemMetric(int index) {
  if (index == win::kSmCxScreen) {
    return screen.width();
  }
  if (index == win::kSmCyScreen) {
    return screen.height();
  }
  return 0;
}

Point SimDesktop::cursorPos() { return cursor; }

std::optional<std::uint32_t> SimDesktop::sendMessageTimeout(Hwnd window, std::uint32_t message,
                                                            std::uint32_t wParam,
                                                            std::int32_t lParam,
                                                            std::uint32_t /*flags*/,
                                                            std::uint32_t /*timeoutMs*/) {
  const auto found = windows_.find(window);
  if (found == windows_.end() || found->second.hung) {
    return std::nullopt;
  }
  const auto form = forms_.find(window);
  if (form != forms_.end() && form->second.events != nullptr) {
    std::int32_t result = 0;
    if (form->second.events->onMessage(message, wParam, lParam, result)) {
      return static_cast<std::uint32_t>(result);
    }
  }
  const SimWindow& w = found->second;
  if (message == win::kWmGetIcon) {
    if (wParam == win::kIconBig) {
      return w.bigIcon;
    }
    if (wParam == win::kIconSmall || wParam == win::kIconSmall2) {
      return w.smallIcon;
    }
    return 0U;
  }
  if (message == win::kWmQueryDragIcon) {
    return w.dragIcon;
  }
  return 0U;
}

std::uint32_t SimDesktop::classLong(Hwnd window, int index) {
  const auto found = windows_.find(window);
  if (found == windows_.end()) {
    return 0;
  }
  if (index == win::kGclHIconSm) {
    return found->second.classSmallIcon;
  }
  if (index == win::kGclHIcon) {
    return found->second.classIcon;
  }
  return 0;
}

// ---- Drawing ----------------------------------------------------------------

WindowDcHandle SimDesktop::windowDc(Hwnd window) {
  if (window != kDesktop && !exists(window)) {
    return WindowDcHandle{};
  }
  const std::uint32_t dc = newResource();
  openDcs_.insert(dc);
  ++windowDcs.acquired;
  return WindowDcHandle{*this, WindowDc{window, dc}};
}

BrushHandle SimDesktop::solidBrush(ColorRef /*color*/) {
  const std::uint32_t brush = newResource();
  openBrushes_.insert(brush);
  ++brushes.acquired;
  return BrushHandle{*this, brush};
}

bool SimDesktop::drawIconEx(const WindowDc& dc, int x, int y, IconHandle icon, int width,
                            int height, std::uint32_t /*step*/, std::uint32_t brush,
                            std::uint32_t flags) {
  if (!openDcs_.contains(dc.dc) || icon == 0) {
    return false;
  }
  draws.push_back(DrawCall{dc.window, x, y, icon, width, height, brush, flags});
  return true;
}

void SimDesktop::releaseWindowDc(const WindowDc& dc) noexcept {
  if (openDcs_.erase(dc.dc) == 0) {
    ++strayReleases;
    return;
  }
  ++windowDcs.released;
}

void SimDesktop::deleteObject(std::uint32_t object) noexcept {
  if (openBrushes_.erase(object) == 0) {
    ++strayReleases;
    return;
  }
  ++brushes.released;
}

// ---- Shell ------------------------------------------------------------------

bool SimDesktop::notifyIcon(std::uint32_t operation, const NotifyIconData& data) {
  const auto key = std::make_pair(data.owner, data.id);
  const auto found = trayIcons.find(key);
  bool succeeded = false;
  if (operation == win::kNimAdd) {
    succeeded = !refuseTrayAdds && found == trayIcons.end();
    if (succeeded) {
      trayIcons[key] = data;
    }
  } else if (operation == win::kNimModify) {
    succeeded = found != trayIcons.end();
    if (succeeded) {
      NotifyIconData& icon = found->second;
      icon.flags |= data.flags;
      if ((data.flags & win::kNifMessage) != 0) {
        icon.callbackMessage = data.callbackMessage;
      }
      if ((data.flags & win::kNifIcon) != 0) {
        icon.icon = data.icon;
      }
      if ((data.flags & win::kNifTip) != 0) {
        icon.tip = data.tip;
      }
    }
  } else if (operation == win::kNimDelete) {
    succeeded = found != trayIcons.end();
    if (succeeded) {
      trayIcons.erase(found);
    }
  }
  notifyCalls.push_back(NotifyCall{operation, data, succeeded});
  return succeeded;
}

void SimDesktop::shellExecute(Hwnd owner, const std::string& verb, const std::string& file,
                              const std::string& parameters, const std::string& directory,
                              int show) {
  shellExecutes.push_back(ShellExecuteCall{owner, verb, file, parameters, directory, show});
}

// ---- Registry ---------------------------------------------------------------

SimDesktop::RegKeyData* SimDesktop::findKey(RegRoot root, const std::string& path) {
  const auto found = regKeys_.find({root, keyPath(path)});
  return found == regKeys_.end() ? nullptr : &found->second;
}

const SimDesktop::RegKeyData* SimDesktop::findKey(RegRoot root, const std::string& path) const {
  const auto found = regKeys_.find({root, keyPath(path)});
  return found == regKeys_.end() ? nullptr : &found->second;
}

// Creates the key and every missing key above it, as RegCreateKeyEx does.
SimDesktop::RegKeyData& SimDesktop::createKey(RegRoot root, const std::string& path) {
  const std::string normal = keyPath(path);
  for (auto slash = normal.find('\\'); slash != std::string::npos;
       slash = normal.find('\\', slash + 1)) {
    regKeys_.try_emplace({root, normal.substr(0, slash)});
  }
  return regKeys_[{root, normal}];
}

bool SimDesktop::isUnopenable(const std::string& path) const {
  const std::string normal = keyPath(path);
  return std::any_of(unopenableKeys.begin(), unopenableKeys.end(),
                     [&normal](const std::string& key) { return keyPath(key) == normal; });
}

const SimDesktop::OpenKey* SimDesktop::openKeyOf(const RegistryKey& key) const {
  const auto found = openKeys_.find(key.get());
  return found == openKeys_.end() ? nullptr : &found->second;
}

SimDesktop::RegKeyData* SimDesktop::keyDataOf(const RegistryKey& key) {
  const OpenKey* open = openKeyOf(key);
  if (open == nullptr || open->root == RegRoot::PerformanceData) {
    return nullptr;
  }
  const auto found = regKeys_.find({open->root, open->path});
  return found == regKeys_.end() ? nullptr : &found->second;
}

namespace {

template <class Values>
auto findValue(Values& values, const std::string& name) {
  return std::find_if(values.begin(), values.end(),
                      [&name](const auto& value) { return sameText(value.first, name); });
}

}  // namespace

void SimDesktop::setRegValue(RegRoot root, const std::string& path, const std::string& name,
                             std::uint32_t type, const std::vector<std::uint8_t>& data) {
  auto& values = createKey(root, path).values;
  const auto found = findValue(values, name);
  if (found != values.end()) {
    found->second = RegValue{type, data};
  } else {
    values.emplace_back(name, RegValue{type, data});
  }
}

void SimDesktop::setRegString(RegRoot root, const std::string& path, const std::string& name,
                              const std::string& value) {
  std::vector<std::uint8_t> data(value.begin(), value.end());
  data.push_back(0);
  setRegValue(root, path, name, win::kRegSz, data);
}

void SimDesktop::setRegDword(RegRoot root, const std::string& path, const std::string& name,
                             std::uint32_t value) {
  setRegValue(root, path, name, win::kRegDword,
              {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
               static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

std::optional<RegValue> SimDesktop::regValue(RegRoot root, const std::string& path,
                                             const std::string& name) const {
  const RegKeyData* key = findKey(root, path);
  if (key == nullptr) {
    return std::nullopt;
  }
  const auto found = findValue(key->values, name);
  if (found == key->values.end()) {
    return std::nullopt;
  }
  return found->second;
}

std::optional<std::string> SimDesktop::regString(RegRoot root, const std::string& path,
                                                 const std::string& name) const {
  const auto value = regValue(root, path, name);
  if (!value || value->type != win::kRegSz) {
    return std::nullopt;
  }
  std::string text(value->data.begin(), value->data.end());
  if (!text.empty() && text.back() == '\0') {
    text.pop_back();
  }
  return text;
}

std::optional<std::uint32_t> SimDesktop::regDword(RegRoot root, const std::string& path,
                                                  const std::string& name) const {
  const auto value = regValue(root, path, name);
  if (!value || value->type != win::kRegDword || value->data.size() != 4) {
    return std::nullopt;
  }
  const auto& d = value->data;
  return static_cast<std::uint32_t>(d[0]) | (static_cast<std::uint32_t>(d[1]) << 8) |
         (static_cast<std::uint32_t>(d[2]) << 16) | (static_cast<std::uint32_t>(d[3]) << 24);
}

bool SimDesktop::regKeyExists(RegRoot root, const std::string& path) const {
  return findKey(root, path) != nullptr;
}

std::vector<std::string> SimDesktop::regValueNames(RegRoot root, const std::string& path) const {
  std::vector<std::string> names;
  const RegKeyData* key = findKey(root, path);
  if (key != nullptr) {
    for (const auto& [name, value] : key->values) {
      names.push_back(name);
    }
  }
  return names;
}

void SimDesktop::deleteRegKey(RegRoot root, const std::string& path) {
  const std::string normal = keyPath(path);
  const std::string below = normal + "\\";
  std::erase_if(regKeys_, [&](const auto& key) {
    return key.first.first == root &&
           (key.first.second == normal || key.first.second.rfind(below, 0) == 0);
  });
}

RegistryKey SimDesktop::openKey(RegRoot root, const std::string& path, KeyAccess access,
                                bool create) {
  if (root != RegRoot::PerformanceData) {
    if (isUnopenable(path)) {
      return RegistryKey{};
    }
    if (create) {
      createKey(root, path);
    } else if (findKey(root, path) == nullptr) {
      return RegistryKey{};
    }
  }
  const std::uint32_t handle = newResource();
  openKeys_[handle] = OpenKey{root, keyPath(path), access};
  ++registryKeys.acquired;
  return RegistryKey{*this, handle};
}

std::optional<RegValue> SimDesktop::readValue(const RegistryKey& key, const std::string& name) {
  const OpenKey* open = openKeyOf(key);
  if (open != nullptr && open->root == RegRoot::PerformanceData) {
    ++performanceQueries;
    return RegValue{win::kRegBinary, performanceData};
  }
  const RegKeyData* data = keyDataOf(key);
  if (data == nullptr) {
    return std::nullopt;
  }
  const auto found = findValue(data->values, name);
  if (found == data->values.end()) {
    return std::nullopt;
  }
  return found->second;
}

std::int32_t SimDesktop::queryInto(const RegistryKey& key, const std::string& name,
                                   std::vector<std::uint8_t>& buffer, std::uint32_t& bytesRead) {
  bytesRead = 0;
  const OpenKey* open = openKeyOf(key);
  if (open == nullptr) {
    return win::kErrorInvalidHandle;
  }
  const std::vector<std::uint8_t>* data = nullptr;
  if (open->root == RegRoot::PerformanceData) {
    ++performanceQueries;
    // Like the real performance data, a short buffer learns nothing of the
    // size it would need.
    if (buffer.size() < performanceData.size()) {
      return win::kErrorMoreData;
    }
    data = &performanceData;
  } else {
    const RegKeyData* keyData = keyDataOf(key);
    if (keyData == nullptr) {
      return win::kErrorFileNotFound;
    }
    const auto found = findValue(keyData->values, name);
    if (found == keyData->values.end()) {
      return win::kErrorFileNotFound;
    }
    data = &found->second.data;
    if (buffer.size() < data->size()) {
      bytesRead = static_cast<std::uint32_t>(data->size());
      return win::kErrorMoreData;
    }
  }
  std::copy(data->begin(), data->end(), buffer.begin());
  bytesRead = static_cast<std::uint32_t>(data->size());
  return win::kErrorSuccess;
}

bool SimDesktop::setValue(const RegistryKey& key, const std::string& name, std::uint32_t type,
                          const std::vector<std::uint8_t>& data) {
  const OpenKey* open = openKeyOf(key);
  if (open == nullptr || open->access != KeyAccess::AllAccess) {
    return false;
  }
  if (std::any_of(refusedWrites.begin(), refusedWrites.end(),
                  [&name](const std::string& refused) { return sameText(refused, name); })) {
    return false;
  }
  RegKeyData* keyData = keyDataOf(key);
  if (keyData == nullptr) {
    return false;
  }
  const auto found = findValue(keyData->values, name);
  if (found != keyData->values.end()) {
    found->second = RegValue{type, data};
  } else {
    keyData->values.emplace_back(name, RegValue{type, data});
  }
  return true;
}

bool SimDesktop::deleteValue(const RegistryKey& key, const std::string& name) {
  const OpenKey* open = openKeyOf(key);
  if (open == nullptr || open->access != KeyAccess::AllAccess) {
    return false;
  }
  RegKeyData* keyData = keyDataOf(key);
  if (keyData == nullptr) {
    return false;
  }
  const auto found = findValue(keyData->values, name);
  if (found == keyData->values.end()) {
    return false;
  }
  keyData->values.erase(found);
  return true;
}

void SimDesktop::closeKey(std::uint32_t key) noexcept {
  if (openKeys_.erase(key) == 0) {
    ++strayReleases;
    return;
  }
  ++registryKeys.released;
}

// ---- System -----------------------------------------------------------------

std::optional<OsVersion> SimDesktop::version() { return osVersion; }

std::uint16_t SimDesktop::userDefaultLangId() { return langId; }

std::string SimDesktop::executablePath() { return exePath; }

std::vector<std::string> SimDesktop::arguments() { return commandLine; }

std::optional<std::string> SimDesktop::libraryKey(const std::string& name) const {
  const std::string wanted = libraryName(name);
  for (const auto& [library, exported] : libraries) {
    if (libraryName(library) == wanted) {
      return library;
    }
  }
  return std::nullopt;
}

Module SimDesktop::loadLibrary(const std::string& name) {
  const auto library = libraryKey(name);
  if (!library) {
    return Module{};
  }
  const std::string normal = libraryName(*library);
  auto [entry, added] = moduleOfLibrary_.try_emplace(normal, 0);
  if (added) {
    entry->second = newResource();
    libraryOfModule_[entry->second] = *library;
  }
  ++moduleRefs_[entry->second];
  ++modules.acquired;
  return Module{*this, entry->second};
}

bool SimDesktop::exports(const Module& module, const std::string& name) const {
  const auto refs = moduleRefs_.find(module.get());
  if (refs == moduleRefs_.end() || refs->second <= 0) {
    return false;
  }
  const auto library = libraries.find(libraryOfModule_.at(module.get()));
  return library != libraries.end() && library->second.contains(name);
}

ProcAddress SimDesktop::procAddress(const Module& module, const std::string& name) {
  if (!exports(module, name)) {
    return 0;
  }
  const auto& exported = libraries.at(libraryOfModule_.at(module.get()));
  const auto index = std::distance(exported.begin(), exported.find(name));
  return module.get() + 0x1000 + static_cast<ProcAddress>(index) * 0x10;
}

Process SimDesktop::openProcess(std::uint32_t /*access*/, ProcessId processId) {
  const auto found = processes.find(processId);
  if (found == processes.end() || found->second.accessDenied) {
    return Process{};
  }
  const std::uint32_t handle = newResource();
  openProcesses_[handle] = processId;
  ++processHandles.acquired;
  return Process{*this, handle};
}

Snapshot SimDesktop::processSnapshot(const Module& kernel32) {
  if (!exports(kernel32, "CreateToolhelp32Snapshot")) {
    return Snapshot{};
  }
  SnapshotState state;
  for (const auto& [id, process] : processes) {
    state.entries.push_back(ProcessEntry{id, process.exeFile});
  }
  const std::uint32_t handle = newResource();
  snapshots_[handle] = std::move(state);
  ++snapshotHandles.acquired;
  return Snapshot{*this, handle};
}

std::optional<ProcessEntry> SimDesktop::firstProcess(const Module& kernel32,
                                                     const Snapshot& snapshot) {
  if (!exports(kernel32, "Process32First")) {
    return std::nullopt;
  }
  const auto found = snapshots_.find(snapshot.get());
  if (found == snapshots_.end() || found->second.entries.empty()) {
    return std::nullopt;
  }
  found->second.next = 1;
  ++processLookups;
  return found->second.entries.front();
}

std::optional<ProcessEntry> SimDesktop::nextProcess(const Module& kernel32,
                                                    const Snapshot& snapshot) {
  if (!exports(kernel32, "Process32Next")) {
    return std::nullopt;
  }
  const auto found = snapshots_.find(snapshot.get());
  if (found == snapshots_.end()) {
    return std::nullopt;
  }
  SnapshotState& state = found->second;
  if (state.next == 0 || state.next >= state.entries.size()) {
    return std::nullopt;
  }
  return state.entries[state.next++];
}

std::optional<ModuleHandle> SimDesktop::firstProcessModule(const Module& psapi,
                                                           const Process& process) {
  if (!exports(psapi, "EnumProcessModules") || !openProcesses_.contains(process.get())) {
    return std::nullopt;
  }
  // The executable's image base.
  return ModuleHandle{0x00400000};
}

std::optional<std::string> SimDesktop::moduleBaseName(const Module& psapi, const Process& process,
                                                      ModuleHandle module,
                                                      std::uint32_t bufferSize) {
  if (!exports(psapi, "GetModuleBaseNameA") || module == 0 || bufferSize == 0) {
    return std::nullopt;
  }
  const auto open = openProcesses_.find(process.get());
  if (open == openProcesses_.end()) {
    return std::nullopt;
  }
  const auto found = processes.find(open->second);
  if (found == processes.end() || found->second.baseName.empty()) {
    return std::nullopt;
  }
  ++processLookups;
  return found->second.baseName.substr(0, bufferSize - 1);
}

bool SimDesktop::equalIgnoringCase(std::string_view a, std::string_view b) {
  return sameText(a, b);
}

std::string SimDesktop::ansiFromUtf16(const std::u16string& text) {
  std::string result;
  result.reserve(text.size());
  for (const char16_t c : text) {
    result.push_back(c > 0xFF ? '?' : static_cast<char>(c));
  }
  return result;
}

void SimDesktop::freeLibrary(ModuleHandle module) noexcept {
  const auto refs = moduleRefs_.find(module);
  if (refs == moduleRefs_.end() || refs->second <= 0) {
    ++strayReleases;
    return;
  }
  --refs->second;
  ++modules.released;
}

void SimDesktop::closeProcess(std::uint32_t process) noexcept {
  if (openProcesses_.erase(process) == 0) {
    ++strayReleases;
    return;
  }
  ++processHandles.released;
}

void SimDesktop::closeSnapshot(std::uint32_t snapshot) noexcept {
  if (snapshots_.erase(snapshot) == 0) {
    ++strayReleases;
    return;
  }
  ++snapshotHandles.released;
}

bool SimDesktop::everythingReleased() const {
  return strayReleases == 0 && registryKeys.open() == 0 && windowDcs.open() == 0 &&
         brushes.open() == 0 && modules.open() == 0 && processHandles.open() == 0 &&
         snapshotHandles.open() == 0;
}

// ---- Files ------------------------------------------------------------------

bool SimDesktop::exists(const std::string& path) {
  return files.contains(path) || unreadableFiles.contains(path);
}

FileContents SimDesktop::readAll(const std::string& path) {
  if (unreadableFiles.contains(path)) {
    return FileContents{ReadStatus::Unreadable, {}};
  }
  const auto found = files.find(path);
  if (found == files.end()) {
    return FileContents{ReadStatus::Missing, {}};
  }
  return FileContents{ReadStatus::Ok, found->second};
}

bool SimDesktop::append(const std::string& path, std::string_view text) {
  if (unreadableFiles.contains(path)) {
    return false;
  }
  files[path].append(text);
  return true;
}

// ---- Clock and message boxes ------------------------------------------------

DateTime SimDesktop::localNow() { return now; }

int SimDesktop::messageBox(Hwnd owner, const std::string& text, const std::string& caption,
                           std::uint32_t flags) {
  messageBoxes.push_back(MessageBoxCall{owner, text, caption, flags});
  if (messageBoxAnswers.empty()) {
    return 1;
  }
  const int answer = messageBoxAnswers.front();
  messageBoxAnswers.pop_front();
  return answer;
}

// ---- Hooks ------------------------------------------------------------------

HookHandle SimDesktop::setWindowsHook(int hookId, ProcAddress procedure, ModuleHandle module,
                                      std::uint32_t threadId) {
  if (refuseHooks || procedure == 0 || module == 0) {
    return 0;
  }
  const HookHandle handle = newResource();
  hooks.push_back(InstalledHook{hookId, procedure, module, threadId, handle});
  return handle;
}

bool SimDesktop::unhook(HookHandle hook) {
  const auto found = std::find_if(hooks.begin(), hooks.end(),
                                  [hook](const InstalledHook& h) { return h.handle == hook; });
  if (hook == 0 || found == hooks.end()) {
    return false;
  }
  hooks.erase(found);
  return true;
}

// ---- Forms and controls -----------------------------------------------------

SimForm& SimDesktop::form(Hwnd form) {
  const auto found = forms_.find(form);
  if (found == forms_.end()) {
    throw std::out_of_range("SimDesktop: no such form");
  }
  return found->second;
}

SimControl* SimDesktop::findControl(FormControl control) {
  if (!forms_.contains(control.form)) {
    return nullptr;
  }
  return &controls_.at(this->control(control.form, control.id));
}

Hwnd SimDesktop::createForm(int layoutId, FormEvents& events) {
  const Hwnd handle = addWindow(formWindow(layoutId));
  forms_[handle] = SimForm{layoutId, &events, {}};
  const auto layout = programLayouts().find(layoutId);
  if (layout != programLayouts().end()) {
    for (const LayoutControl& item : layout->second) {
      SimControl& state = controls_.at(control(handle, item.id));
      state.text = item.text;
      state.enabled = item.enabled;
      state.sorted = item.sorted;
    }
  }
  return handle;
}

void SimDesktop::destroyForm(Hwnd form) { destroyWindow(form); }

Hwnd SimDesktop::control(Hwnd form, int controlId) {
  const auto found = forms_.find(form);
  if (found == forms_.end()) {
    return 0;
  }
  auto [entry, added] = found->second.controls.try_emplace(controlId, 0);
  if (added) {
    entry->second = newHandle();
    controls_[entry->second] = SimControl{};
    controlForms_[entry->second] = form;
  }
  return entry->second;
}

SimControl& SimDesktop::controlState(Hwnd form, int controlId) {
  this->form(form);
  return controls_.at(control(form, controlId));
}

std::optional<Hwnd> SimDesktop::formOfLayout(int layoutId) const {
  for (const auto& [handle, form] : forms_) {
    if (form.layoutId == layoutId) {
      return handle;
    }
  }
  return std::nullopt;
}

void SimDesktop::click(Hwnd form, int controlId) {
  this->form(form).events->onCommand(controlId, 0);
}

void SimDesktop::doubleClick(Hwnd form, int controlId) {
  this->form(form).events->onCommand(controlId, kListDoubleClick);
}

bool SimDesktop::post(Hwnd form, std::uint32_t message, std::uint32_t wParam, std::int32_t lParam) {
  lastMessageResult = 0;
  return this->form(form).events->onMessage(message, wParam, lParam, lastMessageResult);
}

void SimDesktop::tick(Hwnd form, std::uint32_t timerId) {
  this->form(form).events->onTimer(timerId);
}

void SimDesktop::close(Hwnd form) { this->form(form).events->onClose(); }

void SimDesktop::keyUp(Hwnd form, int controlId, int key) {
  this->form(form).events->onKeyUp(controlId, key);
}

bool SimDesktop::checked(FormControl control) {
  const SimControl* c = findControl(control);
  return c != nullptr && c->checked;
}

void SimDesktop::setChecked(FormControl control, bool checked) {
  if (SimControl* c = findControl(control)) {
    c->checked = checked;
  }
}

bool SimDesktop::enabled(FormControl control) {
  const SimControl* c = findControl(control);
  return c != nullptr && c->enabled;
}

void SimDesktop::setEnabled(FormControl control, bool enabled) {
  if (SimControl* c = findControl(control)) {
    c->enabled = enabled;
  }
}

std::string SimDesktop::text(FormControl control) {
  const SimControl* c = findControl(control);
  return c == nullptr ? std::string() : c->text;
}

void SimDesktop::setText(FormControl control, const std::string& text) {
  if (SimControl* c = findControl(control)) {
    c->text = text;
  }
}

int SimDesktop::trackPosition(FormControl trackBar) {
  const SimControl* c = findControl(trackBar);
  return c == nullptr ? 0 : c->trackPosition;
}

void SimDesktop::setTrackPosition(FormControl trackBar, int position) {
  if (SimControl* c = findControl(trackBar)) {
    c->trackPosition = position;
  }
}

void SimDesktop::setListSorted(FormControl list, bool sorted) {
  if (SimControl* c = findControl(list)) {
    c->sorted = sorted;
    c->items.clear();
    c->selected = -1;
  }
}

int SimDesktop::listAdd(FormControl list, const std::string& text) {
  SimControl* c = findControl(list);
  if (c == nullptr) {
    return -1;
  }
  auto position = c->items.end();
  if (c->sorted) {
    position = std::upper_bound(
        c->items.begin(), c->items.end(), lower(text),
        [](const std::string& key, const std::string& item) { return key < lower(item); });
  }
  const int index = static_cast<int>(position - c->items.begin());
  c->items.insert(position, text);
  if (c->selected >= index) {
    ++c->selected;
  }
  return index;
}

void SimDesktop::listDelete(FormControl list, int index) {
  SimControl* c = findControl(list);
  if (c == nullptr || index < 0 || index >= static_cast<int>(c->items.size())) {
    return;
  }
  c->items.erase(c->items.begin() + index);
  if (c->selected == index) {
    c->selected = -1;
  } else if (c->selected > index) {
    --c->selected;
  }
}

int SimDesktop::listFindExact(FormControl list, const std::string& text) {
  const SimControl* c = findControl(list);
  if (c == nullptr) {
    return -1;
  }
  for (std::size_t i = 0; i < c->items.size(); ++i) {
    if (sameText(c->items[i], text)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

int SimDesktop::listSelected(FormControl list) {
  const SimControl* c = findControl(list);
  return c == nullptr ? -1 : c->selected;
}

std::string SimDesktop::listItem(FormControl list, int index) {
  const SimControl* c = findControl(list);
  if (c == nullptr || index < 0 || index >= static_cast<int>(c->items.size())) {
    return {};
  }
  return c->items[static_cast<std::size_t>(index)];
}

int SimDesktop::listCount(FormControl list) {
  const SimControl* c = findControl(list);
  return c == nullptr ? 0 : static_cast<int>(c->items.size());
}

void SimDesktop::listClear(FormControl list) {
  if (SimControl* c = findControl(list)) {
    c->items.clear();
    c->selected = -1;
  }
}

void SimDesktop::setTimer(Hwnd form, std::uint32_t timerId, std::uint32_t intervalMs) {
  timers[{form, timerId}] = intervalMs;
}

void SimDesktop::killTimer(Hwnd form, std::uint32_t timerId) { timers.erase({form, timerId}); }

IconHandle SimDesktop::loadIcon(int resourceId) {
  auto [entry, added] = icons_.try_emplace(resourceId, 0);
  if (added) {
    entry->second = newResource();
  }
  return entry->second;
}

std::uint32_t SimDesktop::registerWindowMessage(const std::string& name) {
  const auto next = static_cast<std::uint32_t>(0xC000 + windowMessages_.size());
  return windowMessages_.try_emplace(lower(name), next).first->second;
}

void SimDesktop::runMessageLoop() { ++messageLoopRuns; }

void SimDesktop::quitMessageLoop() { quitRequested = true; }

}  // namespace strennix::sim
