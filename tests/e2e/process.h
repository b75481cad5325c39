// Child processes of the end-to-end tests: Wine programs, Xvfb and the X tools.
// Every child is started by fork and exec with an explicit environment and
// working directory, and is only ever signalled by its own process id.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/handle.h"

namespace strennix::e2e {

// POSIX file descriptors.
struct PosixFiles {};
struct FileDescriptorTraits {
  using Value = int;
  using Owner = const PosixFiles;
  static bool valid(const int& fd) { return fd >= 0; }
  static void release(Owner& files, const int& fd) noexcept;
};
using FileDescriptor = UniqueHandle<FileDescriptorTraits>;

// Takes ownership of a descriptor (-1 gives an invalid handle).
FileDescriptor adopt(int fd);

using Environment = std::map<std::string, std::string>;

struct SpawnOptions {
  std::vector<std::string> argv;           // argv[0] is looked up in PATH
  Environment environment;                 // added to (or replacing) the test's own environment
  std::filesystem::path workingDirectory;  // empty: the test's own
  std::filesystem::path outputFile;        // stdout and stderr; empty: /dev/null
  std::optional<int> inheritedFd;          // handed to the child under the same number
};

// A running or finished child. Destroying a running one kills it.
class ChildProcess {
 public:
  explicit ChildProcess(const SpawnOptions& options);
  ~ChildProcess();
  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&&) = delete;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  [[nodiscard]] pid_t pid() const { return pid_; }
  [[nodiscard]] bool running();
  // The exit status once the child has ended: its exit code, or 128 plus the
  // signal that ended it.
  [[nodiscard]] std::optional<int> exitCode();
  std::optional<int> waitForExit(std::chrono::milliseconds timeout);
  // Sends the signal when the child still runs, then waits up to the grace
  // time before killing it outright.
  void stop(int signal, std::chrono::milliseconds grace);

 private:
  void reap(int options);

  pid_t pid_ = -1;
  std::optional<int> exitCode_;
};

struct CommandResult {
  int exitCode = -1;
  std::string output;  // stdout
  std::string errors;  // stderr
  bool timedOut = false;
};

// Runs a command to its end (killed after the time-out) and collects its
// output. Only the output written until the command ends is kept: programs it
// leaves behind (a wineserver) may hold the pipes open.
CommandResult runCommand(const std::vector<std::string>& argv, const Environment& environment,
                         const std::filesystem::path& workingDirectory,
                         std::chrono::milliseconds timeout);

// A command line as text, for messages.
std::string describe(const std::vector<std::string>& argv);

}  // namespace strennix::e2e
