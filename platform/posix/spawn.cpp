// Child processes through posix_spawn(3), with its file actions and attributes each in an owner.
#include "platform/posix/spawn.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/errors.h"

extern char** environ;  // NOLINT(readability-redundant-declaration): unistd.h may not declare it

namespace platform {

namespace {

[[noreturn]] void raiseCannotStart(const std::string& program, int code) {
  throw OSError("cannot start " + program + ": " + std::strerror(code), code);
}

// The spawn functions return their error instead of setting errno.
void check(int result, const std::string& program) {
  if (result != 0) {
    raiseCannotStart(program, result);
  }
}

[[nodiscard]] bool holdsNul(std::string_view text) noexcept {
  return text.find('\0') != std::string_view::npos;
}

// posix_spawn's file actions or attributes, initialised for as long as the owner lives.
template <typename Object, auto& Init, auto& Destroy>
class SpawnObject {
public:
  explicit SpawnObject(const std::string& program) { check(Init(&object_), program); }
  ~SpawnObject() { (void)Destroy(&object_); }
  SpawnObject(const SpawnObject&) = delete;
  SpawnObject& operator=(const SpawnObject&) = delete;

  [[nodiscard]] Object* get() noexcept { return &object_; }

private:
  Object object_{};
};

using FileActions = SpawnObject<::posix_spawn_file_actions_t, ::posix_spawn_file_actions_init,
                                ::posix_spawn_file_actions_destroy>;
using Attributes =
    SpawnObject<::posix_spawnattr_t, ::posix_spawnattr_init, ::posix_spawnattr_destroy>;

void putStreamsOnNull(FileActions& actions, const std::string& program) {
  check(::posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0),
        program);
  check(::posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, "/dev/null", O_WRONLY, 0),
        program);
  check(::posix_spawn_file_actions_adddup2(actions.get(), STDOUT_FILENO, STDERR_FILENO), program);
  check(::posix_spawn_file_actions_addclosefrom_np(actions.get(), STDERR_FILENO + 1), program);
}

void setAttributes(Attributes& attributes, const SpawnOptions& options,
                   const std::string& program) {
  // The programs of this project ignore SIGPIPE (a reader gone is a failed write to them), and an
  // ignored signal is inherited: every child gets the default back, so that a pipeline in it
  // (xdg-open is a shell script) ends quietly instead of failing with EPIPE.
  ::sigset_t defaults{};
  ::sigemptyset(&defaults);
  ::sigaddset(&defaults, SIGPIPE);
  check(::posix_spawnattr_setsigdefault(attributes.get(), &defaults), program);
  int flags = POSIX_SPAWN_SETSIGDEF;
  if (options.newSession) {
    flags |= POSIX_SPAWN_SETSID;
  }
  if (options.clearSignalMask) {
    ::sigset_t none{};
    ::sigemptyset(&none);
    check(::posix_spawnattr_setsigmask(attributes.get(), &none), program);
    flags |= POSIX_SPAWN_SETSIGMASK;
  }
  check(::posix_spawnattr_setflags(attributes.get(), static_cast<short>(flags)), program);
}

}  // namespace

::pid_t spawn(const std::string& program, const std::vector<std::string>& arguments,
              const SpawnOptions& options) {
  bool nul = holdsNul(program);
  for (const std::string& argument : arguments) {
    nul = nul || holdsNul(argument);
  }
  if (nul) {
    raiseCannotStart(program, EINVAL);
  }
  FileActions actions(program);
  if (options.nullStreams) {
    putStreamsOnNull(actions, program);
  }
  Attributes attributes(program);
  setAttributes(attributes, options, program);

  // posix_spawn takes char* const[] but writes nothing through it.
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 2);
  argv.push_back(
      const_cast<char*>(program.c_str()));  // NOLINT(cppcoreguidelines-pro-type-const-cast)
  for (const std::string& argument : arguments) {
    argv.push_back(
        const_cast<char*>(argument.c_str()));  // NOLINT(cppcoreguidelines-pro-type-const-cast)
  }
  argv.push_back(nullptr);

  const auto start = options.lookUpOnPath ? ::posix_spawnp : ::posix_spawn;
  ::pid_t child = 0;
  check(start(&child, program.c_str(), actions.get(), attributes.get(), argv.data(), environ),
        program);
  return child;
}

std::int64_t shellExitCode(int status) noexcept {
  if (WIFSIGNALED(status)) {
    return 128 + WTERMSIG(status);
  }
  return WEXITSTATUS(status);
}

}  // namespace platform
