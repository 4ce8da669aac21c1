// Running a program as a child process and waiting for it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace launcher {

// Starts `program` (a path, not looked up on PATH) with `arguments` as its argv[1...], each one
// element exactly as given, with no shell in between. The child inherits standard input, output
// and error, the environment and the current directory. Waits without a time limit and returns
// the exit status; a child ended by a signal gives 128 + the signal's number, as a shell says
// it; -1 if waiting failed. Raises OSError (with errno's code) when the child cannot be started,
// an argument holding a NUL included (EINVAL).
[[nodiscard]] std::int64_t runProgram(const std::string& program,
                                      const std::vector<std::string>& arguments);

}  // namespace launcher
