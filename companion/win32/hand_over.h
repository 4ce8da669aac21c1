// The Windows shell's hand-over: an address to the shell, or to a program the user named.
#pragma once

#include <optional>
#include <string>

#include "companion/address/hand_over.h"
#include "companion/run_system.h"

namespace companion {

// Null when the browser was started, else the system's error code and text that say why not.
// Inside a COM apartment, for the shell's protocol handlers that are COM servers. `trace` marks
// the apartment entered and the shell's call and return.
[[nodiscard]] std::optional<BrowserFailure> openInBrowser(const std::string& url,
                                                          const TraceStep& trace = traceNothing);

// Starts `command`'s program, found by its full path (an absolute path as written, or a bare
// name in PATH's absolute folders, never the current one, which is the document's), with a
// command line the C run time splits into exactly its arguments; detached, and left to run. A
// .bat or .cmd file is not started (runsThroughCmd). Why it did not start, or nothing.
[[nodiscard]] std::optional<BrowserFailure> startProgram(const ProgramCommand& command);

}  // namespace companion
