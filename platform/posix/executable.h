// The running program's own executable on Linux.
#pragma once

#include <string>

namespace platform {

// The full path of the running executable (/proc/self/exe), however long; empty when the system
// cannot give it.
[[nodiscard]] std::string ownExecutablePath();

// The folder that holds it, with its closing '/'; empty when the system cannot give it.
[[nodiscard]] std::string ownFolder();

}  // namespace platform
