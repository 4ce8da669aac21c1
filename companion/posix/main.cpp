// websearch on Linux: the selection the launcher passes as its one argument, the channel to the
// SciTE that runs it, then the same run as on Windows. Nothing is bound by name. The start-up
// order: the trace, broken pipes ignored, the pattern engine, SciTE found, then the run.
#include <string>

#include "companion/posix/director_scite.h"
#include "companion/posix/system.h"
#include "companion/posix/trace.h"
#include "companion/run.h"
#include "director/escapes.h"
#include "director/gtk/channel.h"
#include "director/gtk/client.h"
#include "platform/posix/linked_pcre.h"

int main(int argc, char* argv[]) {
  const companion::TraceStep trace = companion::traceFromEnvironment();
  trace("started");
  director::gtk::ignoreBrokenPipes();
  platform::useLinkedPcre();
  const companion::PipeScite scite(director::gtk::startClient(), trace);
  trace("SciTE found");
  return companion::runSaying(scite, [&] {
    const std::string text = argc > 1 ? director::unescapeReply(argv[1]) : std::string();
    return companion::searchSelection(scite, text, companion::posixSystem(trace));
  });
}
