// Quoting for the Microsoft C run time's split of a command line.
#include "companion/win32/program_line.h"

namespace companion {

std::string windowsProgramLine(std::string_view programPath,
                               const std::vector<std::string>& arguments) {
  std::string line(1, '"');
  line.append(programPath).push_back('"');
  for (const std::string& argument : arguments) {
    line.push_back(' ');
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
      line.append(argument);
      continue;
    }
    line.push_back('"');
    for (std::size_t at = 0;; ++at) {
      const std::size_t run = argument.find_first_not_of('\\', at);
      const std::size_t backslashes = (run == std::string::npos ? argument.size() : run) - at;
      at += backslashes;
      if (at == argument.size()) {
        line.append(backslashes * 2, '\\');  // doubled: the closing quote follows
        break;
      }
      if (argument[at] == '"') {
        line.append(backslashes * 2 + 1, '\\');
      } else {
        line.append(backslashes, '\\');
      }
      line.push_back(argument[at]);
    }
    line.push_back('"');
  }
  return line;
}

}  // namespace companion
