// The Linux launcher's start-up: broken pipes ignored, the engine linked in, the channel to the
// SciTE that runs it, then the launcher flow. Nothing is bound by name and no window is made.
#include <exception>

#include "director/gtk/channel.h"
#include "director/gtk/client.h"
#include "launcher/flow.h"
#include "platform/fatal.h"
#include "platform/posix/linked_pcre.h"

int main() {
  try {
    director::gtk::ignoreBrokenPipes();
    platform::useLinkedPcre();
    // Without SciTE (run by hand, a stale pipe) the run goes on as the Windows one does without
    // SciTE in front: nothing reaches a pane, and the companion speaks on standard error.
    (void)director::gtk::startClient();
    launcher::runLauncher();
  } catch (...) {
    platform::reportUnhandledError(std::current_exception());
  }
  return 0;
}
