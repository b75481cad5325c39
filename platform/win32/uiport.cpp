#include "platform/win32/uiport.h"

#include <windows.h>
// After <windows.h>, which it needs.
#include <commctrl.h>

#include "platform/forms.h"
#include "platform/win32/formwindow.h"
#include "platform/win32/windowframeport.h"
#include "resources/resource.h"

namespace strennix::win32 {

namespace {

constexpr int kSmallIconSize = 16;

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

Win32UiPort::Win32UiPort(SystemPort& system, MessageBoxPort& boxes, Win32WindowFrames& frames)
    : system_(system), boxes_(boxes), frames_(frames) {}

Win32UiPort::~Win32UiPort() {
  for (auto& [handle, form] : forms_) {
    form->events = nullptr;
    DestroyWindow(toHwnd(handle));
  }
}

std::uint32_t Win32UiPort::systemDpi() { return frames_.systemDpi(); }

std::uint16_t Win32UiPort::registerFormClass(const std::string& className) {
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

Hwnd Win32UiPort::createForm(int layoutId, FormEvents& events) {
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

void Win32UiPort::destroyForm(Hwnd form) {
  const auto found = forms_.find(form);
  if (found == forms_.end()) {
    return;
  }
  found->second->events = nullptr;
  DestroyWindow(toHwnd(form));
  forms_.erase(found);
}

FormWindow* Win32UiPort::formWindow(Hwnd form) {
  const auto found = forms_.find(form);
  return found != forms_.end() ? found->second.get() : nullptr;
}

FormWindow* Win32UiPort::unbuiltForm(Hwnd form) {
  const auto found = forms_.find(form);
  return found != forms_.end() && found->second->unbuilt ? found->second.get() : nullptr;
}

bool Win32UiPort::loadCommonControls() {
  if (commonControls_.valid()) {
    return true;
  }
  using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  Module library = system_.loadLibrary("comctl32.dll");
  const auto initialise = toRaw<InitFunction>(system_.procAddress(library, "InitCommonControlsEx"));
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_BAR_CLASSES;
  if (initialise == nullptr || initialise(&controls) == FALSE) {
    return false;
  }
  commonControls_ = std::move(library);
  return true;
}

bool Win32UiPort::buildControlsOf(FormWindow& form) {
  if (loadCommonControls() && buildControls(form)) {
    return true;
  }
  showErrorBox(boxes_, "Could not create the window");
  return false;
}

Hwnd Win32UiPort::controlWindow(FormControl control) {
  if (FormWindow* form = unbuiltForm(control.form); form != nullptr && !buildControlsOf(*form)) {
    return Hwnd{};
  }
  return fromHwnd(GetDlgItem(toHwnd(control.form), control.id));
}

void Win32UiPort::setTimer(Hwnd form, std::uint32_t timerId, std::uint32_t intervalMs) {
  SetTimer(toHwnd(form), timerId, intervalMs, nullptr);
}

void Win32UiPort::killTimer(Hwnd form, std::uint32_t timerId) { KillTimer(toHwnd(form), timerId); }

IconHandle Win32UiPort::loadIcon(int resourceId) {
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

std::uint32_t Win32UiPort::registerWindowMessage(const std::string& name) {
  return RegisterWindowMessageA(name.c_str());
}

FormWindow* Win32UiPort::formOf(Hwnd window) {
  // The top-level window above it, as GetAncestor(GA_ROOT) would find it;
  // that function is missing on Windows 95 and NT 4.
  HWND root = toHwnd(window);
  while ((GetWindowLongA(root, GWL_STYLE) & WS_CHILD) != 0 && GetParent(root) != nullptr) {
    root = GetParent(root);
  }
  const auto found = forms_.find(fromHwnd(root));
  return found != forms_.end() ? found->second.get() : nullptr;
}

void Win32UiPort::runMessageLoop() {
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

void Win32UiPort::quitMessageLoop() { PostQuitMessage(0); }

void Win32UiPort::keepEscapedException(std::exception_ptr error) {
  if (!escapedException_) {
    escapedException_ = std::move(error);
  }
  PostQuitMessage(1);
}

void Win32UiPort::rethrowEscapedException() {
  if (escapedException_) {
    std::rethrow_exception(std::exchange(escapedException_, nullptr));
  }
}

}  // namespace strennix::win32
