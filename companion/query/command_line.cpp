// The selection on the command line, unescaped and folded.
#include "companion/query/command_line.h"

#include "director/escapes.h"
#include "platform/ascii.h"
#include "platform/text.h"

namespace companion {

std::string selectionFromCommandLine(std::string_view commandLine) {
  bool quoted = false;
  std::size_t i = 0;
  for (; i < commandLine.size(); ++i) {
    const char c = commandLine[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && (c == ' ' || c == '\t')) {
      ++i;  // the one separator the launcher puts after the name belongs to neither side
      break;
    }
  }
  return std::string(commandLine.substr(i));
}

std::string collapseWhiteSpace(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool pendingBlank = false;
  for (const char c : text) {
    if (platform::isAsciiWhiteSpace(c)) {
      pendingBlank = !out.empty();
      continue;
    }
    if (pendingBlank) {
      out.push_back(' ');
      pendingBlank = false;
    }
    out.push_back(c);
  }
  return out;
}

std::size_t selectionRoom(std::string_view commandLine) {
  const std::size_t selection = selectionFromCommandLine(commandLine).size();
  const std::size_t used =
      platform::toUtf16(commandLine.substr(0, commandLine.size() - selection)).size() +
      1;  // and the terminating NUL
  return used < director::kMaxCommandLineUnits ? director::kMaxCommandLineUnits - used : 0;
}

std::string unescapedSelection(std::string_view commandLine) {
  return director::unescapeReply(selectionFromCommandLine(commandLine));
}

std::string foldedSelection(std::string_view commandLine) {
  return collapseWhiteSpace(unescapedSelection(commandLine));
}

}  // namespace companion
