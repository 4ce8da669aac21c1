// The companion's Linux shell: the system a run rests on over the GTK SciTE.
#pragma once

#include "companion/run_system.h"

namespace companion {

// The system under a run on Linux; `trace` marks the steps of the run that happen here.
[[nodiscard]] RunSystem posixSystem(const TraceStep& trace);

}  // namespace companion
