// The launcher's one run: clear SciTE's output pane, check for the companion, write the banner,
// fetch and echo the selection, and start the companion with it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "director/escapes.h"
#include "director/operations.h"

namespace launcher {

inline constexpr std::string_view kCompanionName = "websearch.exe";

// Written once during the run.
extern std::string websearch;
extern std::string app;
extern std::string time;
extern director::LuaSelection sel;
extern std::string cmd;

[[nodiscard]] std::string bannerText(std::string_view version, std::string_view stamp,
                                     std::string_view shownApp);
[[nodiscard]] std::string selectionLine(std::string_view selection);
[[nodiscard]] std::string missingCompanionLine(std::string_view companionPath);

// The system's command-line limit and the cuts of escaped text, shared with the companion.
using director::kMaxCommandLineUnits;
using director::piecesWithin;
using director::selectionWithin;

// The companion's path quoted, then one blank and the selection as it is: blanks in the
// selection split it into arguments. A selection too long for the system's limit is cut by
// selectionWithin; the companion cuts every search to far less anyway.
[[nodiscard]] std::string companionCommandLine(std::string_view companionPath,
                                               std::string_view selection);

// The run's steps up to the selection: clears SciTE's pane, checks for the companion beside the
// program (ending the process with exit code 1 when it is missing), writes the banner and
// fetches the selection into `sel`. The file, path and time functions are the platform twin's.
void fetchSelection(std::string_view companionName);

// Runs the flow, defined once per platform (run.cpp, posix/run.cpp); ends the process with exit
// code 1 when the companion is missing.
void runLauncher();

}  // namespace launcher
