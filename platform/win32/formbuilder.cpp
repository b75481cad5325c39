// Builds a form window from a DIALOGEX layout whose coordinates are pixels,
// and its controls when they are first needed.
#include <windows.h>
// After <windows.h>, which it needs.
#include <commctrl.h>

#include <utility>

#include "platform/win32/formwindow.h"
#include "resources/resource.h"

namespace strennix::win32 {

namespace {

// The layouts are drawn for kDefaultDpi: 8 point is 11 pixels. As the
// program declares itself aware of the DPI, the system no longer enlarges
// its forms: they are scaled to the system's DPI here.
constexpr int kPointsPerInch = 72;
constexpr DWORD kDialogStyleBits = 0x0000FFFF;
constexpr int kListItemHeight = 13;
constexpr int kPriorityMaximum = 9;
constexpr int kHintCapacity = 256;

// The class names of the predefined control atoms of a template.
const char* predefinedClass(std::uint16_t atom) {
  switch (atom) {
    case kButtonAtom:
      return "Button";
    case kEditAtom:
      return "Edit";
    case kStaticAtom:
      return "Static";
    case kListBoxAtom:
      return "ListBox";
    case kScrollBarAtom:
      return "ScrollBar";
    case kComboBoxAtom:
      return "ComboBox";
    default:
      return nullptr;
  }
}

std::string controlClass(const TemplateName& name) {
  if (name.ordinal) {
    const char* predefined = predefinedClass(*name.ordinal);
    return predefined != nullptr ? predefined : std::string();
  }
  return ansiText(name.text);
}

int scaled(int length, Win32UiPort& ui) {
  return MulDiv(length, static_cast<int>(ui.systemDpi()), static_cast<int>(kDefaultDpi));
}

template <class Box>
void scaleBox(Box& box, Win32UiPort& ui) {
  for (std::int16_t* length : {&box.x, &box.y, &box.cx, &box.cy}) {
    *length = static_cast<std::int16_t>(scaled(*length, ui));
  }
}

Font createFont(Win32UiPort& ui, const DialogFont& font) {
  const int height = -MulDiv(font.pointSize, static_cast<int>(ui.systemDpi()), kPointsPerInch);
  const int weight = font.weight != 0 ? font.weight : FW_NORMAL;
  return {ui, CreateFontA(height, 0, 0, 0, weight, font.italic ? TRUE : FALSE, FALSE, FALSE,
                          font.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_DONTCARE, ansiText(font.face).c_str())};
}

Font underlined(Win32UiPort& ui, HFONT font) {
  LOGFONTA description{};
  if (font == nullptr || GetObjectA(font, sizeof(description), &description) == 0) {
    return {};
  }
  description.lfUnderline = TRUE;
  return {ui, CreateFontIndirectA(&description)};
}

// A fixed form's layout gives its client area; a sizeable one's, which the
// user may change anyway, its outer size.
SIZE outerSize(const DialogLayout& layout, DWORD style, DWORD exStyle) {
  if ((style & WS_THICKFRAME) != 0) {
    return {layout.cx, layout.cy};
  }
  RECT rect{0, 0, layout.cx, layout.cy};
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

// The hint of a control is the string resource of its ID.
std::string hintOf(int controlId) {
  char hint[kHintCapacity] = {};
  const int length =
      LoadStringA(moduleInstance(), static_cast<UINT>(controlId), hint, kHintCapacity);
  return {hint, length > 0 ? static_cast<std::size_t>(length) : 0};
}

void addHint(FormWindow& form, HWND control, const std::string& hint) {
  if (form.tooltip == nullptr) {
    // Owned by the form, so it goes with it.
    form.tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form.handle,
                                   nullptr, moduleInstance(), nullptr);
  }
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V1_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = form.handle;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  std::string text = hint;
  tool.lpszText = text.data();
  SendMessageA(form.tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

// A numbered text (an image resource) is not shown by these forms.
std::string itemText(const DialogItem& item) {
  return item.text.ordinal ? std::string() : ansiText(item.text.text);
}

void applyState(HWND control, const ControlState& state) {
  if (state.text) {
    SetWindowTextA(control, state.text->c_str());
  }
  if (state.checked) {
    SendMessageA(control, BM_SETCHECK, *state.checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  if (state.enabled) {
    EnableWindow(control, *state.enabled ? TRUE : FALSE);
  }
  if (state.trackPosition) {
    SendMessageA(control, TBM_SETPOS, TRUE, *state.trackPosition);
  }
}

HWND createControl(FormWindow& form, const DialogItem& item) {
  const std::string windowClass = controlClass(item.windowClass);
  const std::string text = itemText(item);
  const HWND control = CreateWindowExA(
      item.exStyle, windowClass.c_str(), text.c_str(), item.style | WS_CHILD, item.x, item.y,
      item.cx, item.cy, form.handle, toHandle<HMENU>(item.id), moduleInstance(), nullptr);
  if (control == nullptr) {
    return nullptr;
  }
  const int id = static_cast<int>(item.id);
  prepareControl(form, control, id);
  const auto given = form.pending.find(id);
  if (given != form.pending.end()) {
    applyState(control, given->second);
  }
  return control;
}

void destroyControls(FormWindow& form) {
  for (HWND child = GetWindow(form.handle, GW_CHILD); child != nullptr;) {
    const HWND next = GetWindow(child, GW_HWNDNEXT);
    DestroyWindow(child);
    child = next;
  }
  if (form.tooltip != nullptr) {
    DestroyWindow(std::exchange(form.tooltip, nullptr));
  }
  form.link = nullptr;
  form.fillingControls.clear();
  form.linkFont.reset();
  form.font.reset();
}

bool fillsForm(const DialogLayout& layout, const DialogItem& item) {
  return item.x == 0 && item.y == 0 && item.cx == layout.cx && item.cy == layout.cy;
}

}  // namespace

void fillClientArea(HWND form, const std::vector<int>& controlIds) {
  RECT client{};
  GetClientRect(form, &client);
  for (const int id : controlIds) {
    MoveWindow(GetDlgItem(form, id), 0, 0, client.right, client.bottom, TRUE);
  }
}

void prepareControl(FormWindow& form, HWND control, int controlId) {
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(form.font.get()), FALSE);
  switch (controlId) {
    case IDC_LISTBOX1:
      // After the font, which sets an item height of its own.
      SendMessageA(control, LB_SETITEMHEIGHT, 0, scaled(kListItemHeight, form.ui));
      break;
    case IDC_TRACKPRIORITY:
      SendMessageA(control, TBM_SETRANGE, FALSE, MAKELPARAM(0, kPriorityMaximum));
      SendMessageA(control, TBM_SETTICFREQ, 1, 0);
      SendMessageA(control, TBM_SETPOS, TRUE, 0);
      break;
    case IDC_LABEL1:
      form.linkFont = underlined(form.ui, form.font.get());
      SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(form.linkFont.get()), FALSE);
      form.link = control;
      break;
    default:
      break;
  }
  const std::string hint = hintOf(controlId);
  if (!hint.empty()) {
    addHint(form, control, hint);
  }
}

ControlState currentState(const FormWindow& form, int controlId) {
  // As for a control that does not exist.
  ControlState state{.text = std::string(), .checked = false, .enabled = false, .trackPosition = 0};
  for (const DialogItem& item : form.unbuilt->items) {
    if (static_cast<int>(item.id) == controlId) {
      state.text = itemText(item);
      state.enabled = (item.style & WS_DISABLED) == 0;
      break;
    }
  }
  const auto given = form.pending.find(controlId);
  if (given == form.pending.end()) {
    return state;
  }
  const ControlState& set = given->second;
  return {.text = set.text ? set.text : state.text,
          .checked = set.checked ? set.checked : state.checked,
          .enabled = set.enabled ? set.enabled : state.enabled,
          .trackPosition = set.trackPosition ? set.trackPosition : state.trackPosition};
}

HWND buildForm(DialogLayout layout, const std::string& className, FormWindow& form) {
  for (const DialogItem& item : layout.items) {
    if (controlClass(item.windowClass).empty()) {
      return nullptr;
    }
  }
  scaleBox(layout, form.ui);
  for (DialogItem& item : layout.items) {
    scaleBox(item, form.ui);
  }
  const DWORD style = (layout.style & ~kDialogStyleBits) & ~static_cast<DWORD>(WS_VISIBLE);
  const SIZE size = outerSize(layout, style, layout.exStyle);
  const std::string caption = ansiText(layout.caption);
  // The window procedure learns `form` from the creation parameter.
  const HWND window =
      CreateWindowExA(layout.exStyle, className.c_str(), caption.c_str(), style, layout.x, layout.y,
                      size.cx, size.cy, nullptr, nullptr, moduleInstance(), &form);
  if (window != nullptr) {
    form.unbuilt = std::move(layout);
  }
  return window;
}

bool buildControls(FormWindow& form) {
  if (!form.unbuilt) {
    return true;
  }
  const DialogLayout& layout = *form.unbuilt;
  if (layout.font) {
    form.font = createFont(form.ui, *layout.font);
    SendMessageA(form.handle, WM_SETFONT, reinterpret_cast<WPARAM>(form.font.get()), FALSE);
  }
  // In template order: the order of creation is the tab order.
  for (const DialogItem& item : layout.items) {
    if (createControl(form, item) == nullptr) {
      destroyControls(form);
      return false;
    }
    if (fillsForm(layout, item)) {
      form.fillingControls.push_back(static_cast<int>(item.id));
    }
  }
  form.unbuilt.reset();
  form.pending.clear();
  fillClientArea(form.handle, form.fillingControls);
  return true;
}

}  // namespace strennix::win32
