// What the launcher hands over: the selection on the raw command line, still in SciTE's escapes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace companion {

// The text after the program's own name on a raw command line and the one blank or tab after it.
// The name ends at the first blank or tab outside double quotes, the way the C run time reads it.
[[nodiscard]] std::string selectionFromCommandLine(std::string_view commandLine);

// Runs of blanks, tabs and line breaks become one blank; none is left at either end.
[[nodiscard]] std::string collapseWhiteSpace(std::string_view text);

// The UTF-16 units the system's limit leaves for the selection after the program's name and its
// blank on this command line: what the launcher had for it.
[[nodiscard]] std::size_t selectionRoom(std::string_view commandLine);

// The command line's selection, unescaped: the bytes SciTE gave, not yet folded.
[[nodiscard]] std::string unescapedSelection(std::string_view commandLine);

// The command line's selection, unescaped, white space folded: the text a plain run searches.
[[nodiscard]] std::string foldedSelection(std::string_view commandLine);

}  // namespace companion
