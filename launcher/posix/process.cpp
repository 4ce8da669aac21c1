// Child processes through posix_spawn(3) and waitpid(2).
#include "launcher/posix/process.h"

#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/errors.h"

extern char** environ;  // NOLINT(readability-redundant-declaration): unistd.h may not declare it

namespace launcher {

namespace {

[[noreturn]] void raiseCannotStart(const std::string& program, int code) {
  throw platform::OSError("cannot start " + program + ": " + std::strerror(code), code);
}

[[nodiscard]] bool holdsNul(std::string_view text) noexcept {
  return text.find('\0') != std::string_view::npos;
}

}  // namespace

std::int64_t runProgram(const std::string& program, const std::vector<std::string>& arguments) {
  // The system reads each element only up to a NUL, so it would run something other than asked.
  bool nul = holdsNul(program);
  for (const std::string& argument : arguments) {
    nul = nul || holdsNul(argument);
  }
  if (nul) {
    raiseCannotStart(program, EINVAL);
  }
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

  ::pid_t child = 0;
  const int started =
      ::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ);
  if (started != 0) {
    raiseCannotStart(program, started);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      return -1;
    }
  }
  if (WIFSIGNALED(status)) {
    return 128 + WTERMSIG(status);
  }
  return WEXITSTATUS(status);
}

}  // namespace launcher
