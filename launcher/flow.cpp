// The launcher flow.
#include "launcher/flow.h"

#include <cstdlib>

#include "director/channel.h"
#include "director/snippets.h"
#include "launcher/files.h"
#include "launcher/functions.h"
#include "launcher/paths.h"
#include "launcher/process.h"
#include "launcher/times.h"

namespace launcher {

std::string websearch;
std::string app;
std::string time;
director::LuaSelection sel;
std::string cmd;

std::string bannerText(std::string_view version, std::string_view stamp,
                       std::string_view shownApp) {
  std::string banner = ">> Velk-SciTE-Interface [v";
  banner += version;
  banner += "] by @Zorvik\\n-> ";
  banner += stamp;
  banner += " Running: ";
  banner += shownApp;
  return banner;
}

std::string selectionLine(std::string_view selection) {
  return "+> Selection: " + std::string(selection);
}

std::string missingCompanionLine(std::string_view companionPath) {
  // The path is shown escaped, as the banner shows the program's own path: SciTE would otherwise
  // read "\t", "\b" or "\n" inside it as escapes and mangle it.
  std::string line = "!> ERROR: Can't find file \"";
  line += director::OutputEscaped(companionPath);
  line += "\"!";
  return line;
}

std::string companionCommandLine(std::string_view companionPath, std::string_view selection) {
  std::string line;
  line.reserve(companionPath.size() + selection.size() + 3);
  line += '"';
  line += companionPath;
  line += "\" ";
  line += selection;
  return line;
}

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
