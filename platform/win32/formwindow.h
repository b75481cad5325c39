// Inside the Win32 back end only: what the back end keeps for each form
// window, and the building of a form from its layout.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogtemplate.h"
#include "platform/ui.h"
#include "platform/win32/uiport.h"
#include "platform/win32/win32handles.h"

namespace strennix::win32 {

// A control's state without its window; in `pending`, only what it was given.
struct ControlState {
  std::optional<std::string> text;
  std::optional<bool> checked;
  std::optional<bool> enabled;
  std::optional<int> trackPosition;
};

struct FormWindow {
  FormWindow(Win32UiPort& owner, FormEvents& formEvents) : ui(owner), events(&formEvents) {}

  Win32UiPort& ui;
  // Cleared before the window is destroyed: its last messages get the
  // default handling only.
  FormEvents* events;
  HWND handle = nullptr;
  Font font;
  // The link label: underlined in blue, with a hand cursor.
  Font linkFont;
  HWND link = nullptr;
  HWND tooltip = nullptr;
  // The control that had the keyboard focus when the form was last left.
  HWND focus = nullptr;
  // Controls laid out as large as the form: they fill its client area.
  std::vector<int> fillingControls;
  // The controls' windows are made when the form is first shown or a list
  // of it is used: making them is most of the program's start, and a tray
  // program's forms are seldom opened. Until then the layout describes them
  // and `pending` keeps what they were given.
  std::optional<DialogLayout> unbuilt;
  std::map<int, ControlState> pending;
};

// A message to a control, answered at once.
inline LRESULT send(Hwnd control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return SendMessageA(toHwnd(control), message, wParam, lParam);
}

// The window procedure of every form class.
LRESULT CALLBACK formProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the hidden form window, whose controls are made later by
// buildControls; null when the layout names a class that no control has.
HWND buildForm(DialogLayout layout, const std::string& className, FormWindow& form);

// Makes the controls of a form that has none yet, in template order, and
// gives them the state they were given before; false when one of them cannot
// be made (nothing is left behind then, and the form stays unbuilt).
bool buildControls(FormWindow& form);

// What a control of an unbuilt form answers before its window exists: what
// it was given, else what its layout says.
ControlState currentState(const FormWindow& form, int controlId);

// What a control needs after its creation: the form's font, and the
// settings of the particular control (item height, range, link, hint).
void prepareControl(FormWindow& form, HWND control, int controlId);

// Gives every filling control the whole client area of the form.
void fillClientArea(HWND form, const std::vector<int>& controlIds);

}  // namespace strennix::win32
