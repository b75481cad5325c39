// UiPort: the forms and their controls, timers, icons and the message loop;
// and the desktop's own life.
#include <windows.h>
// After <windows.h>, which it needs.
#include <commctrl.h>

#include "platform/forms.h"
#include "platform/win32/buttonwindowport.h"
#include "platform/win32/formwindow.h"
#include "platform/win32/iconrow.h"
#include "platform/win32/sharedbuttonrows.h"
#include "platform/win32/windowframeport.h"
#include "resources/resource.h"

namespace strennix::win32 {

namespace {

constexpr int kSmallIconSize = 16;

LRESULT send(Hwnd control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return SendMessageA(toHwnd(control), message, wParam, lParam);
}

struct Resource {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
};

// Resources stay mapped as long as the module is loaded.
Resource findResource(int id, LPCSTR type) {
  const HRSRC found = FindResourceA(moduleInstance(), MAKEINTRESOURCEA(id), type);
  if (found == nullptr) {
    return {};
  }
  const HGLOBAL loaded = LoadResource(moduleInstance(), found);
  if (loaded == nullptr) {
    return {};
  }
  return Resource{static_cast<const std::uint8_t*>(LockResource(loaded)),
                  SizeofResource(moduleInstance(), found)};
}

// The resource compiler writes a layout's CLASS in capitals; the string
// resource of the layout's ID keeps the name's own letter case.
std::string formClassName(const DialogLayout& layout, int layoutId) {
  if (layout.windowClass.ordinal) {
    return {};
  }
  std::string name = ansiText(layout.windowClass.text);
  char spelled[256] = {};
  const int length =
      LoadStringA(moduleInstance(), static_cast<UINT>(layoutId), spelled, sizeof(spelled));
  if (length > 0 && lstrcmpiA(spelled, name.c_str()) == 0) {
    return {spelled, static_cast<std::size_t>(length)};
  }
  return name;
}

// The child of `form` that holds `window` (which may be a grandchild).
HWND controlOf(HWND form, HWND window) {
  HWND control = window;
  while (control != nullptr && GetParent(control) != form) {
    control = GetParent(control);
  }
  return control;
}

}  // namespace

void LoadedIconTraits::release(Owner& /*owner*/, const Value& value) noexcept {
  DestroyIcon(toRaw<HICON>(value));
}

void WindowClassTraits::release(Owner& /*owner*/, const Value& value) noexcept {
  UnregisterClassA(MAKEINTATOM(value), moduleInstance());
}

Win32Desktop::Win32Desktop()
    : iconRows_(std::make_unique<IconRowPainter>()),
      buttonRows_(std::make_unique<SharedButtonRows>()),
      buttonWindows_(std::make_unique<Win32ButtonWindows>()),
      frames_(std::make_unique<Win32WindowFrames>()) {}

Win32Desktop::~Win32Desktop() {
  for (auto& [handle, form] : forms_) {
    form->events = nullptr;
    DestroyWindow(toHwnd(handle));
  }
}

std::uint32_t Win32Desktop::systemDpi() { return frames_->systemDpi(); }

Ports Win32Desktop::ports() {
  return Ports{*this, *this, *this, *this, *this, *this,           *this,   *this,
               *this, *this, *this, *this, *this, *buttonWindows_, *frames_};
}

std::uint16_t Win32Desktop::registerFormClass(const std::string& className) {
  const auto found = windowClasses_.find(className);
  if (found != windowClasses_.end()) {
    return found->second.get();
  }
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = &formProcedure;
  windowClass.hInstance = moduleInstance();
  windowClass.hIcon = LoadIconA(moduleInstance(), MAKEINTRESOURCEA(IDI_APPLICATION_ICON));
  windowClass.hIconSm =
      static_cast<HICON>(LoadImageA(moduleInstance(), MAKEINTRESOURCEA(IDI_APPLICATION_ICON),
                                    IMAGE_ICON, kSmallIconSize, kSmallIconSize, LR_SHARED));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = fromInteger<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = className.c_str();
  const ATOM atom = RegisterClassExA(&windowClass);
  if (atom == 0) {
    return 0;
  }
  windowClasses_.emplace(className, UniqueHandle<WindowClassTraits>(*this, atom));
  return atom;
}

Hwnd Win32Desktop::createForm(int layoutId, FormEvents& events) {
  const Resource resource = findResource(layoutId, RT_DIALOG);
  auto layout = parseDialogTemplate(resource.data, resource.size);
  if (!layout) {
    return Hwnd{};
  }
  const std::string className = formClassName(*layout, layoutId);
  if (className.empty() || registerFormClass(className) == 0) {
    return Hwnd{};
  }
  auto form = std::make_unique<FormWindow>(*this, events);
  const HWND window = buildForm(*std::move(layout), className, *form);
  if (window == nullptr) {
    return Hwnd{};
  }
  const Hwnd handle = fromHwnd(window);
  forms_.emplace(handle, std::move(form));
  rethrowEscapedException();
  return handle;
}

void Win32Desktop::destroyForm(Hwnd form) {
  const auto found = forms_.find(form);
  if (found == forms_.end()) {
    return;
  }
  found->second->events = nullptr;
  DestroyWindow(toHwnd(form));
  forms_.erase(found);
}

FormWindow* Win32Desktop::unbuiltForm(Hwnd form) {
  const auto found = forms_.find(form);
  return found != forms_.end() && found->second->unbuilt ? found->second.get() : nullptr;
}

bool Win32Desktop::loadCommonControls() {
  if (commonControls_.valid()) {
    return true;
  }
  using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  Module library = loadLibrary("comctl32.dll");
  const auto initialise = toRaw<InitFunction>(procAddress(library, "InitCommonControlsEx"));
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_BAR_CLASSES;
  if (initialise == nullptr || initialise(&controls) == FALSE) {
    return false;
  }
  commonControls_ = std::move(library);
  return true;
}

bool Win32Desktop::buildControlsOf(FormWindow& form) {
  if (loadCommonControls() && buildControls(form)) {
    return true;
  }
  showErrorBox(*this, "Could not create the window");
  return false;
}

Hwnd Win32Desktop::controlWindow(FormControl control) {
  if (FormWindow* form = unbuiltForm(control.form); form != nullptr && !buildControlsOf(*form)) {
    return Hwnd{};
  }
  return fromHwnd(GetDlgItem(toHwnd(control.form), control.id));
}

bool Win32Desktop::checked(FormControl control) {
  if (const FormWindow* form = unbuiltForm(control.form)) {
    return *currentState(*form, control.id).checked;
  }
  return send(controlWindow(control), BM_GETCHECK) == BST_CHECKED;
}

void Win32Desktop::setChecked(FormControl control, bool checked) {
  if (FormWindow* form = unbuiltForm(control.form)) {
    form->pending[control.id].checked = checked;
    return;
  }
  send(controlWindow(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool Win32Desktop::enabled(FormControl control) {
  if (const FormWindow* form = unbuiltForm(control.form)) {
    return *currentState(*form, control.id).enabled;
  }
  return IsWindowEnabled(toHwnd(controlWindow(control))) != FALSE;
}

void Win32Desktop::setEnabled(FormControl control, bool enabled) {
  if (FormWindow* form = unbuiltForm(control.form)) {
    form->pending[control.id].enabled = enabled;
    return;
  }
  EnableWindow(toHwnd(controlWindow(control)), enabled ? TRUE : FALSE);
}

std::string Win32Desktop::text(FormControl control) {
  if (const FormWindow* form = unbuiltForm(control.form)) {
    return *currentState(*form, control.id).text;
  }
  return windowTextOf(toHwnd(controlWindow(control)));
}

void Win32Desktop::setText(FormControl control, const std::string& text) {
  if (FormWindow* form = unbuiltForm(control.form)) {
    form->pending[control.id].text = text;
    return;
  }
  SetWindowTextA(toHwnd(controlWindow(control)), text.c_str());
}

int Win32Desktop::trackPosition(FormControl trackBar) {
  if (const FormWindow* form = unbuiltForm(trackBar.form)) {
    return *currentState(*form, trackBar.id).trackPosition;
  }
  return static_cast<int>(send(controlWindow(trackBar), TBM_GETPOS));
}

void Win32Desktop::setTrackPosition(FormControl trackBar, int position) {
  if (FormWindow* form = unbuiltForm(trackBar.form)) {
    form->pending[trackBar.id].trackPosition = position;
    return;
  }
  send(controlWindow(trackBar), TBM_SETPOS, TRUE, position);
}

// List boxes are not kept as pending state: they make their form's controls.
void Win32Desktop::setListSorted(FormControl list, bool sorted) {
  const auto found = forms_.find(list.form);
  const HWND old = toHwnd(controlWindow(list));
  if (found == forms_.end() || old == nullptr) {
    return;
  }
  const HWND window = toHwnd(list.form);
  DWORD style = GetWindowLongA(old, GWL_STYLE);
  style = sorted ? (style | LBS_SORT) : (style & ~static_cast<DWORD>(LBS_SORT));
  const DWORD exStyle = GetWindowLongA(old, GWL_EXSTYLE);
  RECT rect{};
  GetWindowRect(old, &rect);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
  // The new list takes the old one's place in the tab order.
  const HWND previous = GetWindow(old, GW_HWNDPREV);
  const bool hadFocus = GetFocus() == old;
  DestroyWindow(old);
  const HWND created = CreateWindowExA(exStyle, "ListBox", "", style, rect.left, rect.top,
                                       rect.right - rect.left, rect.bottom - rect.top, window,
                                       toHandle<HMENU>(static_cast<std::uint32_t>(list.id)),
                                       moduleInstance(), nullptr);
  if (created == nullptr) {
    return;
  }
  SetWindowPos(created, previous != nullptr ? previous : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  prepareControl(*found->second, created, list.id);
  if (hadFocus) {
    SetFocus(created);
  }
}

int Win32Desktop::listAdd(FormControl list, const std::string& text) {
  return static_cast<int>(
      send(controlWindow(list), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

void Win32Desktop::listDelete(FormControl list, int index) {
  send(controlWindow(list), LB_DELETESTRING, index);
}

int Win32Desktop::listFindExact(FormControl list, const std::string& text) {
  return static_cast<int>(send(controlWindow(list), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(text.c_str())));
}

int Win32Desktop::listSelected(FormControl list) {
  return static_cast<int>(send(controlWindow(list), LB_GETCURSEL));
}

std::string Win32Desktop::listItem(FormControl list, int index) {
  const Hwnd window = controlWindow(list);
  const LRESULT length = send(window, LB_GETTEXTLEN, index);
  if (length == LB_ERR) {
    return {};
  }
  std::string item(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT copied = send(window, LB_GETTEXT, index, reinterpret_cast<LPARAM>(item.data()));
  item.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
  return item;
}

int Win32Desktop::listCount(FormControl list) {
  return static_cast<int>(send(controlWindow(list), LB_GETCOUNT));
}

void Win32Desktop::listClear(FormControl list) { send(controlWindow(list), LB_RESETCONTENT); }

void Win32Desktop::setTimer(Hwnd form, std::uint32_t timerId, std::uint32_t intervalMs) {
  SetTimer(toHwnd(form), timerId, intervalMs, nullptr);
}

void Win32Desktop::killTimer(Hwnd form, std::uint32_t timerId) { KillTimer(toHwnd(form), timerId); }

IconHandle Win32Desktop::loadIcon(int resourceId) {
  const auto found = icons_.find(resourceId);
  if (found != icons_.end()) {
    return found->second.get();
  }
  // At the icon's own size: the 16 x 14 button icons are not stretched.
  const HANDLE icon =
      LoadImageA(moduleInstance(), MAKEINTRESOURCEA(resourceId), IMAGE_ICON, 0, 0, 0);
  if (icon == nullptr) {
    return IconHandle{};
  }
  const auto handle = fromRaw<IconHandle>(icon);
  icons_.emplace(resourceId, UniqueHandle<LoadedIconTraits>(*this, handle));
  return handle;
}

std::uint32_t Win32Desktop::registerWindowMessage(const std::string& name) {
  return RegisterWindowMessageA(name.c_str());
}

FormWindow* Win32Desktop::formOf(Hwnd window) {
  // The top-level window above it, as GetAncestor(GA_ROOT) would find it;
  // that function is missing on Windows 95 and NT 4.
  HWND root = toHwnd(window);
  while ((GetWindowLongA(root, GWL_STYLE) & WS_CHILD) != 0 && GetParent(root) != nullptr) {
    root = GetParent(root);
  }
  const auto found = forms_.find(fromHwnd(root));
  return found != forms_.end() ? found->second.get() : nullptr;
}

void Win32Desktop::runMessageLoop() {
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    const FormWindow* form = message.hwnd != nullptr ? formOf(fromHwnd(message.hwnd)) : nullptr;
    const HWND formHandle = form != nullptr ? form->handle : nullptr;
    // Tab and arrow keys move between the controls as in a dialog.
    if (form == nullptr || IsDialogMessageA(formHandle, &message) == FALSE) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (message.message != WM_KEYUP || formHandle == nullptr) {
      continue;
    }
    // Looked up again: the message may have destroyed the form.
    form = formOf(fromHwnd(formHandle));
    if (form != nullptr && form->events != nullptr) {
      const int controlId =
          message.hwnd == formHandle ? 0 : GetDlgCtrlID(controlOf(formHandle, message.hwnd));
      form->events->onKeyUp(controlId, static_cast<int>(message.wParam));
    }
  }
  rethrowEscapedException();
}

void Win32Desktop::quitMessageLoop() { PostQuitMessage(0); }

void Win32Desktop::keepEscapedException(std::exception_ptr error) {
  if (!escapedException_) {
    escapedException_ = std::move(error);
  }
  PostQuitMessage(1);
}

void Win32Desktop::rethrowEscapedException() {
  if (escapedException_) {
    std::rethrow_exception(std::exchange(escapedException_, nullptr));
  }
}

}  // namespace strennix::win32
