// The launcher's one run on Windows.
#include <cstdlib>

#include "director/channel.h"
#include "director/escapes.h"
#include "director/snippets.h"
#include "launcher/files.h"
#include "launcher/flow.h"
#include "launcher/functions.h"
#include "launcher/paths.h"
#include "launcher/process.h"
#include "launcher/times.h"

namespace launcher {

void runLauncher() {
  (void)director::ClearOutput();
  websearch = joinPath(CurrentDir(), kCompanionName);
  if (!existsFile(websearch)) {
    (void)director::OutputConsole(missingCompanionLine(websearch), true);
    std::exit(1);
  }
  app = director::OutputEscaped(getAppFilename());
  time = format(now(), "[HH:mm:ss]");
  (void)director::OutputConsole(bannerText(director::interfaceVersion, time, app), true);
  director::LuaFuncGet(director::LuaGetSelection, director::ParseLuaSelection, "", sel);
  (void)director::OutputConsole(selectionLine(sel.text), true);
  cmd = companionCommandLine(websearch, sel.text);
  (void)execCmd(cmd);
}

}  // namespace launcher
