// Child processes through the platform's spawn helper and waitpid(2).
#include "launcher/posix/process.h"

#include <sys/types.h>
#include <sys/wait.h>

#include <cerrno>

#include "platform/posix/spawn.h"

namespace launcher {

std::int64_t runProgram(const std::string& program, const std::vector<std::string>& arguments) {
  // Shares everything with the tool: its process group, its streams, its signal mask.
  const ::pid_t child = platform::spawn(program, arguments, {});
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      return -1;
    }
  }
  return platform::shellExitCode(status);
}

}  // namespace launcher
