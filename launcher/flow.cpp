// The launcher's texts and module state, and how paths and selections are put into them.
#include "launcher/flow.h"

#include <algorithm>
#include <optional>

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

namespace {

// The bytes of the whole escape or character `rest` starts with; at least one, so that a stray
// continuation byte (a Latin-1 text) moves on.
[[nodiscard]] std::size_t wholeStep(std::string_view rest) {
  const auto escape = rest.front() == '\\' ? director::readEscape(rest.substr(1)) : std::nullopt;
  return escape
             ? 1 + escape->length
             : std::clamp<std::size_t>(platform::utf8SequenceLength(rest.front()), 1, rest.size());
}

}  // namespace

std::string_view selectionWithin(std::string_view selection, std::size_t room) {
  // No byte becomes more than one UTF-16 unit: what fits in bytes fits.
  if (selection.size() <= room) {
    return selection;
  }
  std::size_t kept = 0;
  while (kept < selection.size()) {
    const std::string_view rest = selection.substr(kept);
    const std::size_t step = wholeStep(rest);
    const std::size_t units = platform::toUtf16(rest.substr(0, step)).size();
    if (units > room) {
      break;
    }
    room -= units;
    kept += step;
  }
  return selection.substr(0, kept);
}

std::vector<std::string_view> piecesWithin(std::string_view text, std::size_t room) {
  std::vector<std::string_view> pieces;
  while (!text.empty()) {
    std::size_t size = 0;
    while (size < text.size()) {
      const std::size_t step = wholeStep(text.substr(size));
      if (size + step > room && size > 0) {
        break;
      }
      size += step;  // a first step longer than the room still goes: nothing is lost
    }
    pieces.push_back(text.substr(0, size));
    text.remove_prefix(size);
  }
  return pieces;
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
