// A text from SciTE's output pane made a search: what a compiler or an interpreter writes before
// its message only to locate it (the file, the line) is of no use in a search.
#pragma once

#include <string>
#include <string_view>

namespace companion {

// `text` with each line's location taken off, its message kept whole, the lines joined with a
// space: SciTE's own markers (">", "+>", "!>"), then "path:line[:column]: " (gcc, clang, Python's
// warnings) or "path(line[,column]): " (MSVC) at the line's start. A path never holds ": ", so a
// message's own colon or bracket stays. Empty lines are left out, and so are the lines of a
// Python traceback that only name a place (File "<path>", line <N>, in <name>).
[[nodiscard]] std::string paneMessage(std::string_view text);

}  // namespace companion
