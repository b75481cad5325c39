#include "tests/e2e/process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>

namespace strennix::e2e {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(20);

[[noreturn]] void throwErrno(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

FileDescriptor openOrThrow(const std::filesystem::path& path, int flags) {
  FileDescriptor fd = adopt(::open(path.c_str(), flags | O_CLOEXEC, 0644));
  if (!fd) {
    throwErrno("cannot open " + path.string());
  }
  return fd;
}

std::vector<std::string> environmentWith(const Environment& overrides) {
  Environment merged;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const auto equals = text.find('=');
    if (equals != std::string::npos) {
      merged[text.substr(0, equals)] = text.substr(equals + 1);
    }
  }
  for (const auto& [name, value] : overrides) {
    merged[name] = value;
  }
  std::vector<std::string> result;
  result.reserve(merged.size());
  for (const auto& [name, value] : merged) {
    std::string entry = name;
    entry += '=';
    entry += value;
    result.push_back(std::move(entry));
  }
  return result;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  pointers.reserve(texts.size() + 1);
  for (auto& text : texts) {
    pointers.push_back(text.data());
  }
  pointers.push_back(nullptr);
  return pointers;
}

struct ChildFds {
  int output = -1;
  int errors = -1;
  std::optional<int> inherited;
};

// Everything the child needs is prepared before the fork: between fork and
// exec it only calls async-signal-safe functions.
pid_t spawn(const std::vector<std::string>& argv, const Environment& environment,
            const std::filesystem::path& workingDirectory, const ChildFds& fds) {
  if (argv.empty()) {
    throw std::invalid_argument("empty command line");
  }
  std::vector<std::string> arguments = argv;
  std::vector<std::string> variables = environmentWith(environment);
  std::vector<char*> argp = pointersTo(arguments);
  std::vector<char*> envp = pointersTo(variables);
  const std::string directory = workingDirectory.string();
  FileDescriptor nullInput = openOrThrow("/dev/null", O_RDONLY);

  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid < 0) {
    throwErrno("fork");
  }
  if (pid > 0) {
    return pid;
  }

  // A test killed from outside (a ctest time-out) takes its children with it.
  ::prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (::getppid() != parent) {
    ::_exit(127);
  }

  if (!directory.empty() && ::chdir(directory.c_str()) != 0) {
    ::_exit(127);
  }
  ::dup2(nullInput.get(), STDIN_FILENO);
  ::dup2(fds.output, STDOUT_FILENO);
  ::dup2(fds.errors, STDERR_FILENO);
  if (fds.inherited) {
    ::fcntl(*fds.inherited, F_SETFD, 0);
  }
  ::execvpe(argp[0], argp.data(), envp.data());
  ::_exit(127);
}

void appendAvailable(int fd, std::string& text) {
  std::array<char, 4096> buffer{};
  for (;;) {
    const ssize_t count = ::read(fd, buffer.data(), buffer.size());
    if (count <= 0) {
      return;
    }
    text.append(buffer.data(), static_cast<size_t>(count));
  }
}

int statusToExitCode(int status) {
  if (WIFEXITED(status)) {
    return WEXITSTATUS(status);
  }
  if (WIFSIGNALED(status)) {
    return 128 + WTERMSIG(status);
  }
  return -1;
}

}  // namespace

void FileDescriptorTraits::release(Owner& /*files*/, const int& fd) noexcept { ::close(fd); }

FileDescriptor adopt(int fd) {
  static constexpr PosixFiles kFiles{};
  return {kFiles, fd};
}

ChildProcess::ChildProcess(const SpawnOptions& options) {
  const std::filesystem::path output =
      options.outputFile.empty() ? std::filesystem::path("/dev/null") : options.outputFile;
  FileDescriptor fd = openOrThrow(output, O_WRONLY | O_CREAT | O_APPEND);
  pid_ = spawn(options.argv, options.environment, options.workingDirectory,
               {fd.get(), fd.get(), options.inheritedFd});
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && !exitCode_) {
    stop(SIGKILL, std::chrono::seconds(5));
  }
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(other.pid_), exitCode_(other.exitCode_) {
  other.pid_ = -1;
}

void ChildProcess::reap(int options) {
  if (pid_ <= 0 || exitCode_) {
    return;
  }
  int status = 0;
  const pid_t result = ::waitpid(pid_, &status, options);
  if (result == pid_) {
    exitCode_ = statusToExitCode(status);
  }
  if (result < 0 && errno == ECHILD) {
    exitCode_ = -1;
  }
}

bool ChildProcess::running() {
  reap(WNOHANG);
  return pid_ > 0 && !exitCode_;
}

std::optional<int> ChildProcess::exitCode() {
  reap(WNOHANG);
  return exitCode_;
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (running() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(kPollInterval);
  }
  return exitCode();
}

void ChildProcess::stop(int signal, std::chrono::milliseconds grace) {
  if (!running()) {
    return;
  }
  ::kill(pid_, signal);
  if (waitForExit(grace)) {
    return;
  }
  ::kill(pid_, SIGKILL);
  reap(0);
}

CommandResult runCommand(const std::vector<std::string>& argv, const Environment& environment,
                         const std::filesystem::path& workingDirectory,
                         std::chrono::milliseconds timeout) {
  std::array<int, 2> outPipe{};
  std::array<int, 2> errPipe{};
  if (::pipe2(outPipe.data(), O_CLOEXEC) != 0) {
    throwErrno("pipe");
  }
  FileDescriptor outRead = adopt(outPipe[0]);
  FileDescriptor outWrite = adopt(outPipe[1]);
  if (::pipe2(errPipe.data(), O_CLOEXEC) != 0) {
    throwErrno("pipe");
  }
  FileDescriptor errRead = adopt(errPipe[0]);
  FileDescriptor errWrite = adopt(errPipe[1]);

  const pid_t pid =
      spawn(argv, environment, workingDirectory, {outWrite.get(), errWrite.get(), {}});
  outWrite.reset();
  errWrite.reset();
  ::fcntl(outRead.get(), F_SETFL, O_NONBLOCK);
  ::fcntl(errRead.get(), F_SETFL, O_NONBLOCK);

  CommandResult result;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    std::array<pollfd, 2> polled{{{outRead.get(), POLLIN, 0}, {errRead.get(), POLLIN, 0}}};
    ::poll(polled.data(), polled.size(), static_cast<int>(kPollInterval.count()));
    appendAvailable(outRead.get(), result.output);
    appendAvailable(errRead.get(), result.errors);
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) {
      result.exitCode = statusToExitCode(status);
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      result.timedOut = true;
      break;
    }
  }
  appendAvailable(outRead.get(), result.output);
  appendAvailable(errRead.get(), result.errors);
  return result;
}

std::string describe(const std::vector<std::string>& argv) {
  std::string text;
  for (const auto& argument : argv) {
    if (!text.empty()) {
      text += ' ';
    }
    text += argument.find(' ') == std::string::npos ? argument : "'" + argument + "'";
  }
  return text;
}

}  // namespace strennix::e2e
