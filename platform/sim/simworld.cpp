#include "platform/sim/simworld.h"

#include <algorithm>
#include <stdexcept>

#include "platform/sim/simtext.h"
#include "platform/winconst.h"

namespace strennix::sim {

// ---- Registry keys ----------------------------------------------------------

namespace {

template <class Values>
auto findValue(Values& values, const std::string& name) {
  return std::find_if(values.begin(), values.end(),
                      [&name](const auto& value) { return sameText(value.first, name); });
}

}  // namespace

const RegValue* SimRegKey::find(const std::string& name) const {
  const auto found = findValue(values, name);
  return found == values.end() ? nullptr : &found->second;
}

void SimRegKey::put(const std::string& name, const RegValue& value) {
  const auto found = findValue(values, name);
  if (found != values.end()) {
    found->second = value;
  } else {
    values.emplace_back(name, value);
  }
}

bool SimRegKey::erase(const std::string& name) {
  const auto found = findValue(values, name);
  if (found == values.end()) {
    return false;
  }
  values.erase(found);
  return true;
}

// ---- Handles ----------------------------------------------------------------

SimWorld::SimWorld() {
  libraries["kernel32.dll"] = {"CreateToolhelp32Snapshot", "Process32First", "Process32Next"};
  libraries["psapi.dll"] = {"EnumProcessModules", "GetModuleBaseNameA"};
}

Hwnd SimWorld::newHandle() {
  while (usedHandles_.contains(Hwnd{nextHandle_}) || Hwnd{nextHandle_} == kDesktopWindow) {
    nextHandle_ += 2;
  }
  const Hwnd handle{nextHandle_};
  nextHandle_ += 2;
  usedHandles_.insert(handle);
  return handle;
}

std::uint32_t SimWorld::newResource() {
  nextResource_ += 4;
  return nextResource_;
}

void SimWorld::countRelease(HandleCount& count, bool wasOpen) noexcept {
  ++(wasOpen ? count.released : strayReleases);
}

bool SimWorld::everythingReleased() const {
  return strayReleases == 0 && registryKeys.open() == 0 && windowDcs.open() == 0 &&
         brushes.open() == 0 && modules.open() == 0 && processHandles.open() == 0 &&
         snapshotHandles.open() == 0 && childHandles.open() == 0 && mutexes.open() == 0 &&
         buttonWindowHandles.open() == 0;
}

// ---- Windows ----------------------------------------------------------------

Hwnd SimWorld::addWindow(const SimWindow& window) { return addWindow(window, newHandle()); }

Hwnd SimWorld::addWindow(const SimWindow& window, Hwnd handle) {
  if (handle == Hwnd{} || handle == kDesktopWindow || windows_.contains(handle) ||
      controls_.contains(handle)) {
    throw std::invalid_argument("SimDesktop::addWindow: handle in use");
  }
  usedHandles_.insert(handle);
  windows_[handle] = window;
  zOrder_.insert(zOrder_.begin(), handle);
  return handle;
}

bool SimWorld::exists(Hwnd window) const { return windows_.contains(window); }

SimWindow& SimWorld::window(Hwnd window) {
  SimWindow* found = findWindow(window);
  if (found == nullptr) {
    throw std::out_of_range("SimDesktop::window: no such window");
  }
  return *found;
}

SimWindow* SimWorld::findWindow(Hwnd window) {
  const auto found = windows_.find(window);
  return found == windows_.end() ? nullptr : &found->second;
}

void SimWorld::destroyWindow(Hwnd window) {
  const auto found = forms_.find(window);
  if (found != forms_.end()) {
    for (const auto& [id, control] : found->second.controls) {
      controls_.erase(control);
    }
    forms_.erase(found);
    std::erase_if(timers, [window](const auto& timer) { return timer.first.first == window; });
  }
  windows_.erase(window);
  std::erase(zOrder_, window);
  if (foreground_ == window) {
    foreground_ = Hwnd{};
  }
}

void SimWorld::setForeground(Hwnd window) { foreground_ = window; }

void SimWorld::raise(Hwnd window) {
  std::erase(zOrder_, window);
  zOrder_.insert(zOrder_.begin(), window);
}

void SimWorld::placeAfterTopmost(Hwnd window) {
  std::erase(zOrder_, window);
  const auto firstNormal = std::find_if(zOrder_.begin(), zOrder_.end(), [this](Hwnd other) {
    const SimWindow* found = findWindow(other);
    return found == nullptr || (found->exStyle & win::kWsExTopmost) == 0;
  });
  zOrder_.insert(firstNormal, window);
}

void SimWorld::placeAfter(Hwnd window, Hwnd after) {
  std::erase(zOrder_, window);
  zOrder_.insert(std::find(zOrder_.begin(), zOrder_.end(), after) + 1, window);
}

void SimWorld::placeJustAbove(Hwnd window, Hwnd below) {
  std::erase(zOrder_, window);
  zOrder_.insert(std::find(zOrder_.begin(), zOrder_.end(), below), window);
}

void SimWorld::sendToBottom(Hwnd window) {
  std::erase(zOrder_, window);
  zOrder_.push_back(window);
}

// ---- Registry ---------------------------------------------------------------

SimRegKey* SimWorld::findKey(RegRoot root, const std::string& path) {
  const auto found = regKeys_.find({root, keyPath(path)});
  return found == regKeys_.end() ? nullptr : &found->second;
}

const SimRegKey* SimWorld::findKey(RegRoot root, const std::string& path) const {
  const auto found = regKeys_.find({root, keyPath(path)});
  return found == regKeys_.end() ? nullptr : &found->second;
}

SimRegKey& SimWorld::createKey(RegRoot root, const std::string& path) {
  const std::string normal = keyPath(path);
  for (auto slash = normal.find('\\'); slash != std::string::npos;
       slash = normal.find('\\', slash + 1)) {
    regKeys_.try_emplace({root, normal.substr(0, slash)});
  }
  return regKeys_[{root, normal}];
}

bool SimWorld::isUnopenable(const std::string& path) const {
  const std::string normal = keyPath(path);
  return std::any_of(unopenableKeys.begin(), unopenableKeys.end(),
                     [&normal](const std::string& key) { return keyPath(key) == normal; });
}

bool SimWorld::isRefusedWrite(const std::string& name) const {
  return std::any_of(refusedWrites.begin(), refusedWrites.end(),
                     [&name](const std::string& refused) { return sameText(refused, name); });
}

void SimWorld::setRegValue(RegRoot root, const std::string& path, const std::string& name,
                           std::uint32_t type, const std::vector<std::uint8_t>& data) {
  createKey(root, path).put(name, RegValue{type, data});
}

void SimWorld::setRegString(RegRoot root, const std::string& path, const std::string& name,
                            const std::string& value) {
  std::vector<std::uint8_t> data(value.begin(), value.end());
  data.push_back(0);
  setRegValue(root, path, name, win::kRegSz, data);
}

void SimWorld::setRegDword(RegRoot root, const std::string& path, const std::string& name,
                           std::uint32_t value) {
  setRegValue(root, path, name, win::kRegDword,
              {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
               static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

std::optional<RegValue> SimWorld::regValue(RegRoot root, const std::string& path,
                                           const std::string& name) const {
  const SimRegKey* key = findKey(root, path);
  const RegValue* value = key == nullptr ? nullptr : key->find(name);
  if (value == nullptr) {
    return std::nullopt;
  }
  return *value;
}

std::optional<std::string> SimWorld::regString(RegRoot root, const std::string& path,
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

std::optional<std::uint32_t> SimWorld::regDword(RegRoot root, const std::string& path,
                                                const std::string& name) const {
  const auto value = regValue(root, path, name);
  if (!value || value->type != win::kRegDword || value->data.size() != 4) {
    return std::nullopt;
  }
  const auto& d = value->data;
  return static_cast<std::uint32_t>(d[0]) | (static_cast<std::uint32_t>(d[1]) << 8) |
         (static_cast<std::uint32_t>(d[2]) << 16) | (static_cast<std::uint32_t>(d[3]) << 24);
}

bool SimWorld::regKeyExists(RegRoot root, const std::string& path) const {
  return findKey(root, path) != nullptr;
}

std::vector<std::string> SimWorld::regValueNames(RegRoot root, const std::string& path) const {
  std::vector<std::string> names;
  const SimRegKey* key = findKey(root, path);
  if (key != nullptr) {
    for (const auto& [name, value] : key->values) {
      names.push_back(name);
    }
  }
  return names;
}

void SimWorld::deleteRegKey(RegRoot root, const std::string& path) {
  const std::string normal = keyPath(path);
  const std::string below = normal + "\\";
  std::erase_if(regKeys_, [&](const auto& key) {
    return key.first.first == root &&
           (key.first.second == normal || key.first.second.rfind(below, 0) == 0);
  });
}

// ---- Forms and controls -----------------------------------------------------

Hwnd SimWorld::addForm(const SimWindow& window, int layoutId, FormEvents& events) {
  const Hwnd handle = addWindow(window);
  forms_[handle] = SimForm{layoutId, &events, {}};
  return handle;
}

SimForm* SimWorld::findForm(Hwnd form) {
  const auto found = forms_.find(form);
  return found == forms_.end() ? nullptr : &found->second;
}

SimForm& SimWorld::form(Hwnd form) {
  SimForm* found = findForm(form);
  if (found == nullptr) {
    throw std::out_of_range("SimDesktop: no such form");
  }
  return *found;
}

bool SimWorld::isControl(Hwnd window) const { return controls_.contains(window); }

SimControl* SimWorld::findControl(FormControl control) {
  if (!forms_.contains(control.form)) {
    return nullptr;
  }
  return &controls_.at(this->control(control.form, control.id));
}

Hwnd SimWorld::control(Hwnd form, int controlId) {
  SimForm* found = findForm(form);
  if (found == nullptr) {
    return Hwnd{};
  }
  auto [entry, added] = found->controls.try_emplace(controlId);
  if (added) {
    entry->second = newHandle();
    controls_[entry->second] = SimControl{};
  }
  return entry->second;
}

SimControl& SimWorld::controlState(Hwnd form, int controlId) {
  this->form(form);
  return controls_.at(control(form, controlId));
}

std::optional<Hwnd> SimWorld::formOfLayout(int layoutId) const {
  for (const auto& [handle, form] : forms_) {
    if (form.layoutId == layoutId) {
      return handle;
    }
  }
  return std::nullopt;
}

void SimWorld::click(Hwnd form, int controlId) { this->form(form).events->onCommand(controlId, 0); }

void SimWorld::doubleClick(Hwnd form, int controlId) {
  this->form(form).events->onCommand(controlId, kListDoubleClick);
}

bool SimWorld::post(Hwnd form, std::uint32_t message, std::uint32_t wParam, std::int32_t lParam) {
  lastMessageResult = 0;
  return this->form(form).events->onMessage(message, wParam, lParam, lastMessageResult);
}

void SimWorld::tick(Hwnd form, std::uint32_t timerId) { this->form(form).events->onTimer(timerId); }

void SimWorld::close(Hwnd form) { this->form(form).events->onClose(); }

void SimWorld::keyUp(Hwnd form, int controlId, int key) {
  this->form(form).events->onKeyUp(controlId, key);
}

}  // namespace strennix::sim
