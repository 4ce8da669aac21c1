// The launcher's one run on Windows.
#include "director/operations.h"
#include "launcher/flow.h"
#include "launcher/win32/process.h"

namespace launcher {

void runLauncher() {
  fetchSelection(kCompanionName);
  (void)director::OutputConsole(selectionLine(sel.text), true);
  cmd = companionCommandLine(websearch, sel.text);
  (void)execCmd(cmd);
}

}  // namespace launcher
