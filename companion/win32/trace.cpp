// The companion's trace, in the platform's trace file.
#include "companion/win32/trace.h"

#include "platform/win32/trace.h"

namespace companion {

TraceStep traceFromEnvironment() {
  return platform::traceNamedBy(kTraceVariable);
}

}  // namespace companion
