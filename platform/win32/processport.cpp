#include "platform/win32/processport.h"

#include <windows.h>

#include "platform/win32/win32handles.h"

namespace strennix::win32 {

namespace {

using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, BOOL*);
using GetProcessTimesFunction = BOOL(WINAPI*)(HANDLE, FILETIME*, FILETIME*, FILETIME*, FILETIME*);
using ProcessIdToSessionIdFunction = BOOL(WINAPI*)(DWORD, DWORD*);
using GetTickCount64Function = ULONGLONG(WINAPI*)();

// PROCESS_QUERY_LIMITED_INFORMATION (Vista) reads the times of more
// processes; older systems know only PROCESS_QUERY_INFORMATION.
constexpr DWORD kQueryLimitedInformation = 0x1000;
constexpr std::uint64_t kTicksPerSecond = 10000000;
constexpr std::uint64_t kMsPerSecond = 1000;

std::uint64_t ticksOf(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32U) | time.dwLowDateTime;
}

HANDLE processOf(const ChildProcess& child) { return toHandle<HANDLE>(child.get().process); }

// The end signal as the started program inherits it, closed once that
// program has its copy.
struct InheritedEventTraits {
  using Value = HANDLE;
  using Owner = Win32ProcessPort;
  static bool valid(const Value& value) { return value != nullptr; }
  static void release(Owner& /*owner*/, const Value& value) noexcept { CloseHandle(value); }
};

// The program keeps a copy that no later child inherits.
HANDLE keptCopy(HANDLE inherited) {
  HANDLE kept = nullptr;
  const HANDLE self = GetCurrentProcess();
  if (DuplicateHandle(self, inherited, self, &kept, 0, FALSE, DUPLICATE_SAME_ACCESS) == FALSE) {
    return nullptr;
  }
  return kept;
}

}  // namespace

bool Win32ProcessPort::runsUnderWow64() {
  // Missing before Windows XP SP2, which runs only on 32-bit systems.
  const auto isWow64 = reinterpret_cast<IsWow64ProcessFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
  BOOL wow64 = FALSE;
  return isWow64 != nullptr && isWow64(GetCurrentProcess(), &wow64) != FALSE && wow64 != FALSE;
}

ProcessId Win32ProcessPort::currentProcessId() { return GetCurrentProcessId(); }

std::uint64_t Win32ProcessPort::processStartTime(ProcessId process) {
  // Missing on the 9x family.
  const auto times = kernel32EntryPoint<GetProcessTimesFunction>("GetProcessTimes");
  if (times == nullptr) {
    return 0;
  }
  Process handle = names_.openProcess(kQueryLimitedInformation, process);
  if (!handle) {
    handle = names_.openProcess(PROCESS_QUERY_INFORMATION, process);
  }
  FILETIME created{};
  FILETIME exited{};
  FILETIME kernel{};
  FILETIME user{};
  if (!handle ||
      times(toHandle<HANDLE>(handle.get()), &created, &exited, &kernel, &user) == FALSE) {
    return 0;
  }
  return ticksOf(created);
}

std::uint32_t Win32ProcessPort::sessionId() {
  // Missing before Windows NT 4 with Terminal Server and 2000.
  const auto sessionOf = kernel32EntryPoint<ProcessIdToSessionIdFunction>("ProcessIdToSessionId");
  DWORD session = 0;
  if (sessionOf == nullptr || sessionOf(GetCurrentProcessId(), &session) == FALSE) {
    return 0;
  }
  return session;
}

std::uint64_t Win32ProcessPort::bootTime() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  // GetTickCount wraps after 49 days; its 64-bit twin came with Vista.
  const auto ticks64 = kernel32EntryPoint<GetTickCount64Function>("GetTickCount64");
  const std::uint64_t sinceStartMs = ticks64 != nullptr ? ticks64() : GetTickCount();
  return ticksOf(now) / kTicksPerSecond - sinceStartMs / kMsPerSecond;
}

ChildProcess Win32ProcessPort::startProcess(const std::string& path, const std::string& arguments) {
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const UniqueHandle<InheritedEventTraits> endSignal(
      *this, CreateEventA(&inheritable, TRUE, FALSE, nullptr));
  if (!endSignal) {
    return {};
  }
  std::string commandLine =
      "\"" + path + "\" " + arguments + " " + std::to_string(fromHandle(endSignal.get()));
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  if (CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                     &startup, &started) == FALSE) {
    return {};
  }
  CloseHandle(started.hThread);
  return {*this,
          ChildProcessIds{fromHandle(started.hProcess), fromHandle(keptCopy(endSignal.get()))}};
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

bool Win32ProcessPort::askToEnd(const ChildProcess& child) {
  return child.valid() && child.get().endSignal != 0 &&
         SetEvent(toHandle<HANDLE>(child.get().endSignal)) != FALSE;
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
  if (child.endSignal != 0) {
    CloseHandle(toHandle<HANDLE>(child.endSignal));
  }
}

}  // namespace strennix::win32
