// Numeric constants of the Win32 API that portable modules and the simulated
// desktop use. Kept here so that module code never includes <windows.h>; the
// Windows build checks every value against it (tests/win32/winconstcheck.cpp).
#pragma once

#include <cstdint>

#include "platform/hookprotocol.h"

namespace strennix::win {

// Window longs and styles.
inline constexpr std::uint32_t kWsMaximize = 0x01000000;
inline constexpr std::uint32_t kWsMinimize = 0x20000000;
inline constexpr std::uint32_t kWsVisible = 0x10000000;
inline constexpr std::uint32_t kWsClipChildren = 0x02000000;
inline constexpr std::uint32_t kWsClipSiblings = 0x04000000;
inline constexpr std::uint32_t kWsSysMenu = 0x00080000;
inline constexpr std::uint32_t kWsPopup = 0x80000000;
inline constexpr std::uint32_t kWsChild = 0x40000000;
inline constexpr std::uint32_t kWsExTopmost = 0x00000008;
inline constexpr std::uint32_t kWsExToolWindow = 0x00000080;
inline constexpr std::uint32_t kWsExDlgModalFrame = 0x00000001;
inline constexpr std::uint32_t kWsExTransparent = 0x00000020;

// ShowWindow commands.
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwMaximize = 3;
inline constexpr int kSwRestore = 9;

// Accessibility events (SetWinEventHook) and the object they are about.
inline constexpr std::uint32_t kEventObjectHide = 0x8003;
inline constexpr std::uint32_t kEventObjectLocationChange = 0x800B;
inline constexpr std::uint32_t kEventObjectNameChange = 0x800C;
inline constexpr std::int32_t kObjIdWindow = 0;
inline constexpr std::int32_t kChildIdSelf = 0;

// Messages.
inline constexpr std::uint32_t kWmApp = hookprotocol::kWmApp;
inline constexpr std::uint32_t kStrnxDestroy = hookprotocol::kStrnxDestroy;
inline constexpr std::uint32_t kStrnxNcLButtonUp = hookprotocol::kStrnxNcLButtonUp;
inline constexpr std::uint32_t kStrnxCaptionChange = hookprotocol::kStrnxCaptionChange;
inline constexpr std::uint32_t kStrnxButtonDown = hookprotocol::kStrnxButtonDown;
inline constexpr std::uint32_t kStrnxButtonUp = hookprotocol::kStrnxButtonUp;
inline constexpr std::uint32_t kStrnxUncovered = hookprotocol::kStrnxUncovered;
inline constexpr std::uint32_t kWmAsTray = kWmApp + 0x67;
inline constexpr std::uint32_t kWmTray = kWmApp + 0x68;
inline constexpr std::uint32_t kWmNcLButtonDblClk = 0x00A3;
inline constexpr std::uint32_t kWmQueryEndSession = 0x0011;
inline constexpr std::uint32_t kWmEndSession = 0x0016;
inline constexpr std::uint32_t kWmLButtonDown = 0x0201;
inline constexpr std::uint32_t kWmLButtonUp = 0x0202;
inline constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
inline constexpr std::uint32_t kWmRButtonUp = 0x0205;
inline constexpr int kHtCaption = 2;
inline constexpr int kVkEscape = 27;

// Notification icons.
inline constexpr std::uint32_t kNimAdd = 0;
inline constexpr std::uint32_t kNimModify = 1;
inline constexpr std::uint32_t kNimDelete = 2;
inline constexpr std::uint32_t kNifMessage = 1;
inline constexpr std::uint32_t kNifIcon = 2;
inline constexpr std::uint32_t kNifTip = 4;

// Message boxes.
inline constexpr std::uint32_t kMbOk = 0x0000;
inline constexpr std::uint32_t kMbIconStop = 0x0010;
inline constexpr std::uint32_t kMbIconWarning = 0x0030;
inline constexpr std::uint32_t kMbIconInformation = 0x0040;
inline constexpr std::uint32_t kMbSetForeground = 0x00010000;
inline constexpr std::uint32_t kMbTopmost = 0x00040000;

// Drawing.
inline constexpr std::uint32_t kDiNormal = 3;
inline constexpr std::uint32_t kClBtnFace = 0x8000000F;

// Hooks.
inline constexpr int kWhCbt = 5;
inline constexpr int kWhMouse = 7;

// The primary language of a language id (PRIMARYLANGID).
inline constexpr std::uint16_t kPrimaryLangIdMask = 0x3FF;

// Platform ids of GetVersionEx.
inline constexpr std::uint32_t kPlatformWin32Windows = 1;
inline constexpr std::uint32_t kPlatformWin32Nt = 2;

// Process access.
inline constexpr std::uint32_t kProcessQueryInformation = 0x0400;
inline constexpr std::uint32_t kProcessVmRead = 0x0010;
// Vista and later; granted across bitness and for most elevated processes.
inline constexpr std::uint32_t kProcessQueryLimitedInformation = 0x1000;

// Registry.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;
inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::int32_t kErrorFileNotFound = 2;
inline constexpr std::int32_t kErrorInvalidHandle = 6;
inline constexpr std::int32_t kErrorMoreData = 234;

}  // namespace strennix::win
