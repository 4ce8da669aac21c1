// Running a command line as a child process and waiting for it.
#pragma once

#include <cstdint>
#include <string_view>

namespace launcher {

// Starts the command line (its first token names the program), waits for the child without a
// time limit and returns its exit code read as a signed 32-bit value, or -1 if waiting failed.
// The child shares the caller's console, environment and current directory. Raises OSError
// when the child cannot be started.
[[nodiscard]] std::int64_t execCmd(std::string_view commandLine);

}  // namespace launcher
