// The launcher's one run on Linux: the Windows run's steps, texts and exit codes, over the GTK
// SciTE's director pipes. The companion gets the selection as one argument, never through a
// shell.
#include <cstdlib>

#include "director/escapes.h"
#include "director/gtk/client.h"
#include "director/replies.h"
#include "director/snippets.h"
#include "launcher/files.h"
#include "launcher/flow.h"
#include "launcher/functions.h"
#include "launcher/posix/paths.h"
#include "launcher/posix/process.h"
#include "launcher/times.h"

namespace launcher {

namespace {

constexpr std::string_view kCompanionProgram = "websearch";

[[nodiscard]] std::string selectionTooLongLine() {
  return "!> The selection is too long for SciTE's director pipe: select less and try again.";
}

// One request carries a limited size: a longer line goes out in pieces, the line end last.
void outputLine(std::string_view text) {
  const auto room = director::gtk::outputRoom();
  for (const std::string_view piece : piecesWithin(text, room)) {
    (void)director::OutputConsole(piece, false);
  }
  (void)director::OutputConsole("", true);
}

}  // namespace

void runLauncher() {
  (void)director::ClearOutput();
  websearch = joinPath(CurrentDir(), kCompanionProgram);
  if (!existsFile(websearch)) {
    (void)director::OutputConsole(missingCompanionLine(websearch), true);
    std::exit(1);
  }
  app = director::OutputEscaped(getAppFilename());
  time = format(now(), "[HH:mm:ss]");
  (void)director::OutputConsole(bannerText(director::interfaceVersion, time, app), true);
  director::LuaFuncGet(director::LuaGetSelection, director::ParseLuaSelection, "", sel);
  if (director::gtk::lastReplyCut()) {
    (void)director::OutputConsole(selectionTooLongLine(), true);
    return;
  }
  outputLine(selectionLine(sel.text));
  cmd = sel.text;
  (void)runProgram(websearch, {cmd});
}

}  // namespace launcher
