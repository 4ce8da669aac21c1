// The trace's file opened once, a step a line.
#include "companion/posix/trace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include "platform/posix/owners.h"
#include "platform/trace_line.h"

namespace companion {

TraceStep traceFromEnvironment() {
  const char* path = std::getenv(kTraceVariable);
  if (path == nullptr || *path == '\0') {
    return traceNothing;
  }
  auto file =
      std::make_shared<platform::Fd>(::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600));
  if (!*file) {
    return traceNothing;
  }
  return [file, pid = std::to_string(::getpid())](std::string_view step) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const long long nanoseconds = static_cast<long long>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
    const std::string line = platform::traceLine(nanoseconds, pid, step);
    (void)!::write(file->get(), line.data(), line.size());
  };
}

}  // namespace companion
