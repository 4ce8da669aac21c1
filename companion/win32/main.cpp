// websearch.exe: searches the web for the editor's selection that the launcher passes on. The
// start-up order: the system functions bound, the director client started, then the run.
#include "companion/win32/bindings.h"
#include "companion/win32/system.h"

int main() {
  if (!companion::bindSystemFunctions()) {
    return static_cast<int>(companion::ExitCode::SystemUnavailable);
  }
  (void)companion::startDirectorClient();
  return companion::runBound();
}
