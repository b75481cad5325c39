#include "platform/win32/windowiconsport.h"

#include "platform/win32/win32handles.h"

namespace strennix::win32 {

namespace {

// A window that does not answer within the time-out has no icon; one whose
// program has stopped answering is not waited for at all.
IconHandle answeredIcon(Hwnd window, UINT message, WPARAM wParam, std::uint32_t timeoutMs) {
  DWORD_PTR result = 0;
  if (SendMessageTimeoutA(toHwnd(window), message, wParam, 0, SMTO_ABORTIFHUNG, timeoutMs,
                          &result) == 0) {
    return IconHandle{};
  }
  return handleOfBits<IconHandle>(static_cast<std::uint32_t>(result));
}

}  // namespace

IconHandle Win32WindowIconsPort::askedIcon(Hwnd window, IconSize size, std::uint32_t timeoutMs) {
  return answeredIcon(window, WM_GETICON, size == IconSize::Small ? ICON_SMALL : ICON_BIG,
                      timeoutMs);
}

IconHandle Win32WindowIconsPort::dragIcon(Hwnd window, std::uint32_t timeoutMs) {
  return answeredIcon(window, WM_QUERYDRAGICON, 0, timeoutMs);
}

IconHandle Win32WindowIconsPort::classIcon(Hwnd window, IconSize size) {
  const int index = size == IconSize::Small ? GCLP_HICONSM : GCLP_HICON;
  return handleOfBits<IconHandle>(
      static_cast<std::uint32_t>(GetClassLongPtrA(toHwnd(window), index)));
}

}  // namespace strennix::win32
