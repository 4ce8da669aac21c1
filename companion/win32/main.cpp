// websearch.exe: searches the web for the editor's selection that the launcher passes on. The
// start-up order: the trace (off unless asked for), the system functions bound, the director
// client started, then the run.
#include "companion/win32/bindings.h"
#include "companion/win32/system.h"
#include "companion/win32/trace.h"

int main() {
  const companion::TraceStep trace = companion::traceFromEnvironment();
  trace("started");
  if (!companion::bindSystemFunctions(trace)) {
    return static_cast<int>(companion::ExitCode::SystemUnavailable);
  }
  // Kept to the end: SciTE's replies come to its window.
  const auto receiver = companion::startDirectorClient(trace);
  return companion::runBound(trace);
}
