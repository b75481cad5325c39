// The window procedure of the forms: every message goes to the form's
// events first; what they leave is routed to the form's event methods or
// gets the default handling.
#include <exception>

#include "platform/win32/formwindow.h"

namespace strennix::win32 {

namespace {

constexpr COLORREF kLinkColor = RGB(0, 0, 255);

FormWindow* formOfWindow(HWND window) {
  return fromInteger<FormWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void attach(HWND window, LPARAM createParameters) {
  auto* form =
      static_cast<FormWindow*>(fromInteger<const CREATESTRUCTA*>(createParameters)->lpCreateParams);
  form->handle = window;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
}

// Like a dialog, the form gives the keyboard focus back to the control that
// had it, or to its first tab stop, when it is activated.
bool restoreFocus(FormWindow& form, WPARAM wParam) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    const HWND focus = GetFocus();
    if (focus != nullptr && IsChild(form.handle, focus) != FALSE) {
      form.focus = focus;
    }
    return false;
  }
  if (HIWORD(wParam) != 0) {
    return false;
  }
  HWND target = form.focus;
  if (target == nullptr || IsChild(form.handle, target) == FALSE ||
      IsWindowEnabled(target) == FALSE || IsWindowVisible(target) == FALSE) {
    target = GetNextDlgTabItem(form.handle, nullptr, FALSE);
  }
  if (target == nullptr) {
    return false;
  }
  SetFocus(target);
  return true;
}

// The form's own handling of what its events left; false for the default.
bool handleRouted(FormWindow& form, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND:
      // Only from controls: the dialog manager's IDOK and IDCANCEL for Enter
      // and Escape name no control.
      if (lParam == 0) {
        return false;
      }
      form.events->onCommand(LOWORD(wParam), HIWORD(wParam));
      return true;
    case WM_TIMER:
      form.events->onTimer(static_cast<std::uint32_t>(wParam));
      return true;
    case WM_CLOSE:
      // The form decides what closing means; the window stays.
      form.events->onClose();
      return true;
    case WM_SIZE:
      fillClientArea(form.handle, form.fillingControls);
      return false;
    case WM_ACTIVATE:
      return restoreFocus(form, wParam);
    case WM_CTLCOLORSTATIC:
      if (form.link == nullptr || fromInteger<HWND>(lParam) != form.link) {
        return false;
      }
      SetTextColor(fromInteger<HDC>(wParam), kLinkColor);
      SetBkColor(fromInteger<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      return true;
    case WM_SETCURSOR:
      if (form.link == nullptr || fromInteger<HWND>(wParam) != form.link) {
        return false;
      }
      SetCursor(LoadCursorA(nullptr, IDC_HAND));
      result = TRUE;
      return true;
    default:
      return false;
  }
}

// A form that is about to be shown for the first time gets its controls;
// when they cannot be made it stays hidden.
void buildBeforeShowing(FormWindow& form, LPARAM lParam) {
  auto* position = fromInteger<WINDOWPOS*>(lParam);
  if (!form.unbuilt || (position->flags & SWP_SHOWWINDOW) == 0) {
    return;
  }
  if (!form.ui.buildControlsOf(form)) {
    position->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
  }
}

LRESULT dispatchToForm(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  FormWindow* form = formOfWindow(window);
  if (form == nullptr || form->events == nullptr) {
    return DefWindowProcA(window, message, wParam, lParam);
  }
  if (message == WM_WINDOWPOSCHANGING) {
    buildBeforeShowing(*form, lParam);
  }
  std::int32_t answer = 0;
  if (form->events->onMessage(message, static_cast<std::uint32_t>(wParam),
                              static_cast<std::int32_t>(lParam), answer)) {
    return answer;
  }
  // The events may have destroyed the form.
  form = formOfWindow(window);
  LRESULT result = 0;
  if (form != nullptr && form->events != nullptr &&
      handleRouted(*form, message, wParam, lParam, result)) {
    return result;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK formProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    attach(window, lParam);
  }
  try {
    return dispatchToForm(window, message, wParam, lParam);
  } catch (...) {
    // An exception must not unwind through the system's frames.
    if (FormWindow* form = formOfWindow(window)) {
      form->ui.keepEscapedException(std::current_exception());
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace strennix::win32
