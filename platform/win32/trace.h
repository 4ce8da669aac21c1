// A trace of one run for the bench's breakdown of a key press, off unless asked for: the same
// lines as the GTK companion's, so that one reader takes both.
#pragma once

#include <functional>
#include <string_view>

namespace platform {

// Marks one step of a run.
using TraceMark = std::function<void(std::string_view step)>;

// Appends "<nanoseconds since 1970> <process id> <step>" a line to the file the environment
// variable `variable` names, first "process created" at the time the system created this
// process (the loader's and the run time's start-up come before the first step the program
// itself can mark). A mark that does nothing when the variable names no file or the file cannot
// be opened. It binds its own few kernel32 functions, so it may come before any other binding.
// A mark leaves the thread's last error as it found it.
[[nodiscard]] TraceMark traceNamedBy(std::string_view variable);

}  // namespace platform
