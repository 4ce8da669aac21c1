// What a browser is handed, and why it could not be: the same on every platform.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace companion {

struct BrowserFailure {
  std::string reason;  // what the user reads: the system's text, or what the opener's end said
  std::int64_t code;   // the system's error code, or the opener's exit code
  bool operator==(const BrowserFailure&) const = default;
};

// A program the user named for an address, started without a shell.
struct ProgramCommand {
  std::string program;                 // as written, references expanded: found on PATH when bare
  std::vector<std::string> arguments;  // its argv[1...], one element each, the address among them
  bool operator==(const ProgramCommand&) const = default;
};

}  // namespace companion
