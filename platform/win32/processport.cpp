#include "platform/win32/processport.h"

#include <windows.h>

#include "platform/win32/win32handles.h"

namespace strennix::win32 {

namespace {

using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, BOOL*);

HANDLE processOf(const ChildProcess& child) { return toHandle<HANDLE>(child.get().process); }

}  // namespace

bool Win32ProcessPort::runsUnderWow64() {
  // Missing before Windows XP SP2, which runs only on 32-bit systems.
  const auto isWow64 = reinterpret_cast<IsWow64ProcessFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
  BOOL wow64 = FALSE;
  return isWow64 != nullptr && isWow64(GetCurrentProcess(), &wow64) != FALSE && wow64 != FALSE;
}

ProcessId Win32ProcessPort::currentProcessId() { return GetCurrentProcessId(); }

ChildProcess Win32ProcessPort::startProcess(const std::string& path, const std::string& arguments) {
  std::string commandLine = "\"" + path + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  if (CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &startup, &started) == FALSE) {
    return {};
  }
  CloseHandle(started.hThread);
  return {*this, ChildProcessIds{fromHandle(started.hProcess), started.dwThreadId}};
}

void Win32ProcessPort::waitUntilIdle(const ChildProcess& child, std::uint32_t timeoutMs) {
  if (child.valid()) {
    WaitForInputIdle(processOf(child), timeoutMs);
  }
}

std::optional<std::uint32_t> Win32ProcessPort::exitCode(const ChildProcess& child) {
  DWORD code = 0;
  // STILL_ACTIVE could also be a real exit code; waiting tells them apart.
  if (!child.valid() || WaitForSingleObject(processOf(child), 0) != WAIT_OBJECT_0 ||
      GetExitCodeProcess(processOf(child), &code) == FALSE) {
    return std::nullopt;
  }
  return code;
}

bool Win32ProcessPort::postQuit(const ChildProcess& child) {
  return child.valid() && PostThreadMessageA(child.get().thread, WM_QUIT, 0, 0) != FALSE;
}

bool Win32ProcessPort::waitForExit(const ChildProcess& child, std::uint32_t timeoutMs) {
  return child.valid() && WaitForSingleObject(processOf(child), timeoutMs) == WAIT_OBJECT_0;
}

void Win32ProcessPort::terminate(const ChildProcess& child, std::uint32_t exitCode) {
  if (child.valid()) {
    TerminateProcess(processOf(child), exitCode);
  }
}

void Win32ProcessPort::closeChild(const ChildProcessIds& child) noexcept {
  CloseHandle(toHandle<HANDLE>(child.process));
}

}  // namespace strennix::win32
