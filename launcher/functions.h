// The program's own executable and the directory it lies in.
#pragma once

#include <string>

namespace launcher {

// Full path of the running executable, however long; empty if the system cannot give it.
[[nodiscard]] std::string getAppFilename();

// Directory part of getAppFilename, without a trailing separator ("C:" for a drive root).
[[nodiscard]] std::string CurrentDir();

}  // namespace launcher
