// Inside the Win32 back end only: what the back end keeps for each form
// window, and the building of a form from its layout.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/dialogtemplate.h"
#include "platform/ui.h"
#include "platform/win32/win32handles.h"

namespace strennix::win32 {

struct FormWindow {
  FormWindow(Win32Desktop& owner, FormEvents& formEvents) : desktop(owner), events(&formEvents) {}

  Win32Desktop& desktop;
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
};

// The window procedure of every form class.
LRESULT CALLBACK formProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the hidden form window and its controls; null when any of them
// cannot be created (nothing is left behind then).
HWND buildForm(const DialogLayout& layout, const std::string& className, FormWindow& form);

// What a control needs after its creation: the form's font, and the
// settings of the particular control (item height, range, link, hint).
void prepareControl(FormWindow& form, HWND control, int controlId);

// Gives every filling control the whole client area of the form.
void fillClientArea(HWND form, const std::vector<int>& controlIds);

}  // namespace strennix::win32
