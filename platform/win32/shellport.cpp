#include <windows.h>
// After <windows.h>, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "platform/win32/shellport.h"
#include "platform/win32/win32handles.h"

namespace strennix::win32 {

namespace {

// The Windows 95 record: the shell reads no further than the 64-byte tip.
// Its size is 88 bytes for the 32-bit program; the 64-bit record's wider
// handles make it larger.
constexpr std::size_t kTipCapacity = 64;
// The builtin, as the offsetof macro of the MinGW headers does not parse with
// clang, which lints this file.
constexpr DWORD kNotifyIconDataSize = __builtin_offsetof(NOTIFYICONDATAA, szTip) + kTipCapacity;

static_assert(sizeof(void*) == 8 || kNotifyIconDataSize == 88);

const char* optionalText(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

}  // namespace

bool Win32ShellPort::notifyIcon(std::uint32_t operation, const NotifyIconData& data) {
  NOTIFYICONDATAA record{};
  record.cbSize = kNotifyIconDataSize;
  record.hWnd = toHwnd(data.owner);
  record.uID = data.id;
  record.uFlags = data.flags;
  record.uCallbackMessage = data.callbackMessage;
  record.hIcon = toRaw<HICON>(data.icon);
  const std::size_t length = std::min(data.tip.size(), kTipCapacity - 1);
  std::memcpy(record.szTip, data.tip.data(), length);
  record.szTip[length] = '\0';
  return Shell_NotifyIconA(operation, &record) != FALSE;
}

void Win32ShellPort::shellExecute(Hwnd owner, const std::string& verb, const std::string& file,
                                  const std::string& parameters, const std::string& directory,
                                  int show) {
  ShellExecuteA(toHwnd(owner), optionalText(verb), file.c_str(), parameters.c_str(),
                directory.c_str(), show);
}

}  // namespace strennix::win32
