// The launcher's texts and module state, and how paths and selections are put into them.
#include "launcher/flow.h"

#include "director/escapes.h"
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
  line += director::outputEscaped(companionPath);
  line += "\"!";
  return line;
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

}  // namespace launcher
