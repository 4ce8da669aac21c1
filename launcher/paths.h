// Splitting and joining paths. The backslash is written; the forward slash is read as well.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace launcher {

struct PathParts {
  std::string head;  // directory part
  std::string tail;  // last component
};

// Splits at the last separator. Without one the head is empty; a path whose only separator is
// its first character keeps that separator as head.
[[nodiscard]] PathParts splitPath(std::string_view path);

// Joins and normalises: runs of separators read as one, "." dropped, ".." takes back the last
// component, a trailing separator on the part that ends the path is kept as one backslash. A
// leading backslash, a network prefix (two separators and a name) and a drive ("C:") are roots
// that ".." never removes. An empty result from non-empty parts is ".".
[[nodiscard]] std::string joinPath(std::string_view head, std::string_view tail);

}  // namespace launcher
