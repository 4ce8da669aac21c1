// The launcher flow.
#include "launcher/flow.h"

#include <algorithm>
#include <cstdlib>

#include "director/channel.h"
#include "director/escapes.h"
#include "director/snippets.h"
#include "launcher/files.h"
#include "launcher/functions.h"
#include "launcher/paths.h"
#include "launcher/process.h"
#include "launcher/times.h"
#include "platform/text.h"

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

std::string_view selectionWithin(std::string_view selection, std::size_t room) {
  // No byte becomes more than one UTF-16 unit: what fits in bytes fits.
  if (selection.size() <= room) {
    return selection;
  }
  std::size_t kept = 0;
  while (kept < selection.size()) {
    const std::string_view rest = selection.substr(kept);
    const auto escape = rest.front() == '\\' ? director::readEscape(rest.substr(1)) : std::nullopt;
    const std::size_t step =
        escape
            ? 1 + escape->length
            : std::clamp<std::size_t>(platform::utf8SequenceLength(rest.front()), 1, rest.size());
    const std::size_t units = platform::toUtf16(rest.substr(0, step)).size();
    if (units > room) {
      break;
    }
    room -= units;
    kept += step;
  }
  return selection.substr(0, kept);
}

std::string companionCommandLine(std::string_view companionPath, std::string_view selection) {
  std::string line;
  line.reserve(companionPath.size() + selection.size() + 3);
  line += '"';
  line += companionPath;
  line += "\" ";
  const std::size_t used = platform::toUtf16(line).size() + 1;  // and the terminating NUL
  line += selectionWithin(selection, used < kMaxCommandLineUnits ? kMaxCommandLineUnits - used : 0);
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
