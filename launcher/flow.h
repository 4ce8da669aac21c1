// The launcher's one run: clear SciTE's output pane, check for the companion, write the banner,
// fetch and echo the selection, and start the companion with it.
#pragma once

#include <string>
#include <string_view>

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

// The companion's path quoted, then one blank and the selection as it is: blanks in the
// selection split it into arguments.
[[nodiscard]] std::string companionCommandLine(std::string_view companionPath,
                                               std::string_view selection);

// Runs the flow; ends the process with exit code 1 when the companion is missing.
void runLauncher();

}  // namespace launcher
