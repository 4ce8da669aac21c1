// Marks of the launcher's start-up and run, for the bench's breakdown of a key press. The shipped
// launcher links trace_off.cpp, where every mark does nothing, and so reads no environment; the
// bench's build launcher_trace links trace_file.cpp, which writes the companion's trace lines to
// the file WEBSEARCH_TRACE names.
#pragma once

#include <string_view>

namespace launcher {

// One step of the start-up or the run.
void markStep(std::string_view step) noexcept;

// A library's group bound.
void markBound(std::string_view library) noexcept;

// Once everything is bound: from here each frame to SciTE, and the companion's start and end,
// are marked as the system calls that carry them go and return.
void markSystemCalls() noexcept;

}  // namespace launcher
