// What a browser is handed, why it could not be, and how a platform's users write the program
// line of a program they name: the same on every platform.
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

// How a platform's users write a program line: the program they name and its arguments.
enum class ProgramLineRules {
  // The program's word as CommandLineToArgvW takes it (quotes group, nothing escapes), the
  // arguments as the Microsoft C run time splits them (backslashes escape only quotes, "" inside
  // quotes is a quote). A .bat or .cmd program is refused: cmd.exe would read the address.
  Windows,
  // Words as a POSIX shell splits them: '...' literal, "..." with \ escaping \ " $ and `, a
  // backslash outside quotes escaping any character.
  Posix,
};

}  // namespace companion
