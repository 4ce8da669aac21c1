// Testing whether a path names a file.
#pragma once

#include <string_view>

namespace launcher {

// True when the path names an existing object that is not a directory. Never fails: whatever
// the system cannot answer reads as absent.
[[nodiscard]] bool existsFile(std::string_view path);

}  // namespace launcher
