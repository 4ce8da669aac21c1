// POSIX paths, joined and cut: '/' is the only separator and "/" the only root.
#pragma once

#include <string>
#include <string_view>

namespace launcher {

// Joins with one '/' between the parts (a leading '/' on the tail reads as that separator) and
// normalises: runs of '/' read as one, "." is dropped, ".." takes back the last component, and
// at the root it stays the root, as the system reads "/.." (a relative path keeps its leading
// ".."). A trailing '/' on the part that ends the path is kept as one. An empty result from
// non-empty parts is "."; two empty parts give "".
[[nodiscard]] std::string joinPath(std::string_view head, std::string_view tail);

// The part of `path` before its last '/', without it; the root keeps its '/', as POSIX has no
// drive to stand for it. Empty when `path` holds no '/'.
[[nodiscard]] std::string folderOf(std::string_view path);

}  // namespace launcher
