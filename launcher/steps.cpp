// The launcher's steps up to the selection, the same on every platform; each platform's run
// (run.cpp, posix/run.cpp) goes on from there with the functions of its own twin.
#include <cstdlib>

#include "director/escapes.h"
#include "director/replies.h"
#include "director/snippets.h"
#include "launcher/files.h"
#include "launcher/flow.h"
#include "launcher/functions.h"
#include "launcher/paths.h"
#include "launcher/times.h"

namespace launcher {

void fetchSelection(std::string_view companionName) {
  (void)director::ClearOutput();
  websearch = joinPath(CurrentDir(), companionName);
  if (!existsFile(websearch)) {
    (void)director::OutputConsole(missingCompanionLine(websearch), true);
    std::exit(1);
  }
  app = director::outputEscaped(getAppFilename());
  time = format(now(), "[HH:mm:ss]");
  (void)director::OutputConsole(bannerText(director::interfaceVersion, time, app), true);
  director::LuaFuncGet(director::LuaGetSelection, director::ParseLuaSelection, "", sel);
}

}  // namespace launcher
