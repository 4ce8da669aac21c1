// The line CreateProcessW is handed for a program the user named: what the C run time of the
// program started splits back into its arguments.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace companion {

// The program line the Microsoft C run time splits into `programPath` (quoted whole, as it takes
// a program's path: a path holds no quote) and exactly `arguments`.
[[nodiscard]] std::string windowsProgramLine(std::string_view programPath,
                                             const std::vector<std::string>& arguments);

}  // namespace companion
