// The launcher's one run on Linux: the Windows run's steps, texts and exit codes, over the GTK
// SciTE's director pipes. The companion gets the selection as one argument, never through a
// shell.
#include "director/gtk/client.h"
#include "director/operations.h"
#include "launcher/flow.h"
#include "launcher/posix/process.h"

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
  fetchSelection(kCompanionProgram);
  if (director::gtk::lastReplyCut()) {
    // A cut reply leaves the selection in extender.result: empty it as a whole reply's parse does.
    (void)director::SetProperty(director::kResultProperty, "");
    (void)director::OutputConsole(selectionTooLongLine(), true);
    return;
  }
  outputLine(selectionLine(sel.text));
  cmd = sel.text;
  (void)runProgram(websearch, {cmd});
}

}  // namespace launcher
