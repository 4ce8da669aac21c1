// Splitting and joining paths. One header, one contract per platform: the Windows twin
// (win32/paths.cpp) writes backslashes, and its result appears in the missing-companion line; the
// POSIX twin (posix/paths.cpp) knows only '/'.
#pragma once

#include <string>
#include <string_view>

namespace launcher {

struct PathParts {
  std::string head;  // directory part
  std::string tail;  // last component
  bool operator==(const PathParts&) const = default;
};

// Windows: splits at the last separator ('\' or '/'). Without one the head is empty; a path whose
// only separator is its first character keeps that separator as head.
[[nodiscard]] PathParts splitPath(std::string_view path);

// Windows: the backslash is written, the forward slash read as well. Joins and normalises: runs
// of separators read as one, "." dropped, ".." takes back the last component, a trailing
// separator on the part that ends the path is kept as one backslash. A leading backslash, a
// network prefix (two separators and a name) and a drive ("C:") are roots that ".." never
// removes. An empty result from non-empty parts is ".".
//
// POSIX: '/' is the only separator and "/" the only root. Joins with one '/' between the parts
// (a leading '/' on the tail reads as that separator) and normalises: runs of '/' read as one,
// "." is dropped, ".." takes back the last component, and at the root it stays the root, as the
// system reads "/.." (a relative path keeps its leading ".."). A trailing '/' on the part that
// ends the path is kept as one. An empty result from non-empty parts is "."; two empty parts
// give "".
[[nodiscard]] std::string joinPath(std::string_view head, std::string_view tail);

// POSIX: the part of `path` before its last '/', without it; the root keeps its '/', as POSIX has
// no drive to stand for it. Empty when `path` holds no '/'. (Windows cuts with splitPath.)
[[nodiscard]] std::string folderOf(std::string_view path);

}  // namespace launcher
