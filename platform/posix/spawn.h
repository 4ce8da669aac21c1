// Starting a child process through posix_spawn(3), each caller choosing what the child shares.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// What the child does not share with the caller; by default it shares everything.
struct SpawnOptions {
  bool lookUpOnPath = false;     // a bare program name is looked up on PATH (posix_spawnp)
  bool newSession = false;       // no terminal, no signal sent to the caller's process group
  bool nullStreams = false;      // standard files on /dev/null, every other file closed
  bool clearSignalMask = false;  // starts with no signal blocked, whatever the caller blocks
};

// Starts `program` with `arguments` as its argv[1...], each one element exactly as given, with
// no shell in between, in the caller's environment and current directory, with SIGPIPE at its
// default whatever the caller does with it; returns the child's
// process id for the caller to wait for. Raises OSError "cannot start <program>: <system's
// text>" with errno's code when nothing starts, a program or argument holding a NUL included
// (EINVAL: the system would read only the part before it).
[[nodiscard]] ::pid_t spawn(const std::string& program, const std::vector<std::string>& arguments,
                            const SpawnOptions& options);

// A wait status as a shell says it: the exit code, or 128 + the signal's number that ended it.
[[nodiscard]] std::int64_t shellExitCode(int status) noexcept;

}  // namespace platform
