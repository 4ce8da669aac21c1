// A trace of one run, for the bench's breakdown of a key press: off unless asked for.
#pragma once

#include "companion/run_system.h"

namespace companion {

// Appends "<nanoseconds since 1970> <process id> <step>" a line to the file kTraceVariable names,
// the clock the bench stamps the key press with; traceNothing when it names none or the file
// cannot be opened. One write a step, so that a run killed midway keeps what it did.
[[nodiscard]] TraceStep traceFromEnvironment();

}  // namespace companion
