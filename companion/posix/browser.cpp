// xdg-open started through posix_spawnp(3), detached from the tool's output, and briefly awaited.
#include "companion/posix/browser.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "platform/posix/executable.h"

extern char** environ;  // NOLINT(readability-redundant-declaration): unistd.h may not declare it

namespace companion {

namespace {

constexpr std::chrono::milliseconds kPollInterval{5};

// The child's standard files on /dev/null and every other file closed, so nothing of the tool's
// output reaches the browser. A failed step is kept and said by start().
class FileActions {
public:
  FileActions() noexcept {
    error_ = ::posix_spawn_file_actions_init(&actions_);
    initialised_ = error_ == 0;
    add(::posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0));
    add(::posix_spawn_file_actions_addopen(&actions_, STDOUT_FILENO, "/dev/null", O_WRONLY, 0));
    add(::posix_spawn_file_actions_adddup2(&actions_, STDOUT_FILENO, STDERR_FILENO));
    add(::posix_spawn_file_actions_addclosefrom_np(&actions_, STDERR_FILENO + 1));
  }
  ~FileActions() {
    if (initialised_) {
      ::posix_spawn_file_actions_destroy(&actions_);
    }
  }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;

  [[nodiscard]] int error() const noexcept { return error_; }
  [[nodiscard]] const ::posix_spawn_file_actions_t* get() const noexcept { return &actions_; }

private:
  void add(int result) noexcept {
    if (error_ == 0) {
      error_ = result;
    }
  }

  ::posix_spawn_file_actions_t actions_{};
  bool initialised_ = false;
  int error_ = 0;
};

// A session of its own (no terminal, no signal of the tool's process group), with a clear signal
// mask: the browser must not start with this process's blocked signals.
class SpawnAttributes {
public:
  SpawnAttributes() noexcept {
    error_ = ::posix_spawnattr_init(&attributes_);
    initialised_ = error_ == 0;
    ::sigset_t none{};
    ::sigemptyset(&none);
    add(::posix_spawnattr_setsigmask(&attributes_, &none));
    add(::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK));
  }
  ~SpawnAttributes() {
    if (initialised_) {
      ::posix_spawnattr_destroy(&attributes_);
    }
  }
  SpawnAttributes(const SpawnAttributes&) = delete;
  SpawnAttributes& operator=(const SpawnAttributes&) = delete;

  [[nodiscard]] int error() const noexcept { return error_; }
  [[nodiscard]] const ::posix_spawnattr_t* get() const noexcept { return &attributes_; }

private:
  void add(int result) noexcept {
    if (error_ == 0) {
      error_ = result;
    }
  }

  ::posix_spawnattr_t attributes_{};
  bool initialised_ = false;
  int error_ = 0;
};

[[nodiscard]] BrowserFailure systemFailure(int code) {
  return {.reason = std::strerror(code), .code = code};
}

// Waits up to kBrowserWait; the exit status, or nothing while the child still runs.
[[nodiscard]] std::optional<int> awaitStatus(::pid_t child) {
  const auto deadline = std::chrono::steady_clock::now() + kBrowserWait;
  while (true) {
    int status = 0;
    const ::pid_t ended = ::waitpid(child, &status, WNOHANG);
    if (ended == child) {
      return status;
    }
    if (ended < 0 && errno != EINTR) {
      return std::nullopt;  // not ours to wait for any more: nothing says it failed
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      return std::nullopt;
    }
    std::this_thread::sleep_for(kPollInterval);
  }
}

}  // namespace

std::optional<BrowserFailure> openInBrowser(const std::string& url) {
  if (url.find('\0') != std::string::npos) {
    return systemFailure(EINVAL);  // the system would hand over only the part before the NUL
  }
  const FileActions actions;
  if (actions.error() != 0) {
    return systemFailure(actions.error());
  }
  const SpawnAttributes attributes;
  if (attributes.error() != 0) {
    return systemFailure(attributes.error());
  }
  std::string program = "xdg-open";
  std::string argument = url;
  char* argv[] = {program.data(), argument.data(), nullptr};
  ::pid_t child = 0;
  const int started =
      ::posix_spawnp(&child, program.c_str(), actions.get(), attributes.get(), argv, environ);
  if (started != 0) {
    return systemFailure(started);
  }
  const std::optional<int> status = awaitStatus(child);
  if (!status || (WIFEXITED(*status) && WEXITSTATUS(*status) == 0)) {
    return std::nullopt;
  }
  if (WIFSIGNALED(*status)) {
    const int signal = WTERMSIG(*status);
    return BrowserFailure{.reason = "xdg-open ended by signal " + std::to_string(signal),
                          .code = 128 + signal};
  }
  const int code = WEXITSTATUS(*status);
  return BrowserFailure{.reason = "xdg-open ended with exit code " + std::to_string(code),
                        .code = code};
}

std::string ownFolder() {
  std::string path = platform::ownExecutablePath();
  path.resize(path.rfind('/') + 1);  // the link always holds an absolute path; empty stays empty
  return path;
}

}  // namespace companion
