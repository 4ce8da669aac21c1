// One step of a trace as both platforms write it, and the bench reads it: "<ns> <pid> <step>".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The line for `step`, taken `at` nanoseconds since 1970 in process `pid`, with its line break.
[[nodiscard]] inline std::string traceLine(std::int64_t at, std::string_view pid,
                                           std::string_view step) {
  std::string line = std::to_string(at);
  line += ' ';
  line += pid;
  line += ' ';
  line += step;
  line += '\n';
  return line;
}

}  // namespace platform
