// A trace of one run, for the bench's breakdown of a key press: off unless asked for.
#pragma once

#include "companion/run_system.h"

namespace companion {

// Appends "<nanoseconds since 1970> <process id> <step>" a line to the file kTraceVariable names,
// the first line the time this process was created; traceNothing when it names none or the file
// cannot be opened. Needs no other binding first: it is the first thing the program does.
[[nodiscard]] TraceStep traceFromEnvironment();

}  // namespace companion
