// xdg-open started through the platform's spawn helper, detached from the tool's output, and
// briefly awaited; a program the user named started the same way and left to run.
#include "companion/posix/hand_over.h"

#include <sys/types.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "platform/errors.h"
#include "platform/posix/executable.h"
#include "platform/posix/spawn.h"

namespace companion {

namespace {

constexpr std::chrono::milliseconds kPollInterval{5};

// A session of its own (no terminal, no signal of the tool's process group), nothing of the
// tool's output, and none of this process's blocked signals.
constexpr platform::SpawnOptions kDetached{
    .lookUpOnPath = true, .newSession = true, .nullStreams = true, .clearSignalMask = true};

// Waits until `deadline`; the exit status, or nothing while the child still runs.
[[nodiscard]] std::optional<int> awaitStatus(::pid_t child,
                                             std::chrono::steady_clock::time_point deadline) {
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

[[nodiscard]] BrowserFailure notStarted(const platform::OSError& error) {
  return {.reason = std::strerror(error.errorCode()), .code = error.errorCode()};
}

}  // namespace

std::optional<BrowserFailure> openInBrowser(const std::string& url) {
  return handOver(url)();
}

BrowserVerdict handOver(const std::string& url) {
  ::pid_t child = 0;
  try {
    child = platform::spawn("xdg-open", {url}, kDetached);
  } catch (const platform::OSError& error) {
    return [failure = notStarted(error)] { return failure; };
  }
  const auto deadline = std::chrono::steady_clock::now() + kBrowserWait;
  return [child, deadline]() -> std::optional<BrowserFailure> {
    const std::optional<int> status = awaitStatus(child, deadline);
    if (!status) {
      return std::nullopt;
    }
    const std::int64_t code = platform::shellExitCode(*status);
    if (code == 0) {
      return std::nullopt;
    }
    const std::string end = WIFSIGNALED(*status) ? "by signal " + std::to_string(WTERMSIG(*status))
                                                 : "with exit code " + std::to_string(code);
    return BrowserFailure{.reason = "xdg-open ended " + end, .code = code};
  };
}

std::optional<BrowserFailure> startProgram(const ProgramCommand& command) {
  try {
    // Not waited for: the companion ends right after, and init reaps the program in the end.
    (void)platform::spawn(command.program, command.arguments, kDetached);
  } catch (const platform::OSError& error) {
    return notStarted(error);
  }
  return std::nullopt;
}

}  // namespace companion
