// The real desktop: one object per port on the Win32 API (ANSI functions),
// made in the order in which they need one another, and handed out as Ports.
// This header stays free of <windows.h>.
#pragma once

#include "platform/ports.h"
#include "platform/win32/buttonrowsport.h"
#include "platform/win32/buttonwindowport.h"
#include "platform/win32/clockport.h"
#include "platform/win32/desktopport.h"
#include "platform/win32/drawingport.h"
#include "platform/win32/fileport.h"
#include "platform/win32/formcontrolsport.h"
#include "platform/win32/hookport.h"
#include "platform/win32/listboxport.h"
#include "platform/win32/messageboxport.h"
#include "platform/win32/processnamesport.h"
#include "platform/win32/processport.h"
#include "platform/win32/registryport.h"
#include "platform/win32/runningcopyport.h"
#include "platform/win32/shellport.h"
#include "platform/win32/systemport.h"
#include "platform/win32/uiport.h"
#include "platform/win32/windoweventsport.h"
#include "platform/win32/windowframeport.h"
#include "platform/win32/windowiconsport.h"
#include "platform/win32/windowinfoport.h"
#include "platform/win32/windowplaceport.h"

namespace strennix::win32 {

class Win32Desktop {
 public:
  Win32Desktop() = default;
  // The ports refer to one another.
  Win32Desktop(const Win32Desktop&) = delete;
  Win32Desktop& operator=(const Win32Desktop&) = delete;

  Ports ports();

 private:
  Win32WindowInfoPort windowInfo_;
  Win32WindowPlacePort placement_;
  Win32DesktopPort desktop_;
  Win32RunningCopyPort runningCopy_;
  Win32WindowIconsPort windowIcons_;
  Win32DrawingPort drawing_;
  Win32ShellPort shell_;
  Win32RegistryPort registry_;
  Win32SystemPort system_;
  Win32FilePort files_;
  Win32ClockPort clock_;
  Win32MessageBoxPort messageBoxes_;
  Win32HookPort hooks_;
  Win32WindowFrames frames_;
  Win32ProcessNamesPort processNames_;
  Win32ProcessPort processes_{processNames_};
  // After the ports it uses; its forms go first.
  Win32UiPort ui_{system_, messageBoxes_, frames_};
  Win32ButtonRowsPort buttonRows_;
  Win32WindowEventsPort windowEvents_;
  Win32FormControlsPort formControls_{ui_};
  Win32ListBoxPort listBoxes_{ui_};
  Win32ButtonWindows buttonWindows_;
};

}  // namespace strennix::win32
