// The locations a tool writes before its messages, read by hand: one pass a line, no patterns.
#include "companion/query/pane_message.h"

#include <algorithm>
#include <array>

#include "platform/ascii.h"

namespace companion {

namespace {

// The markers SciTE puts before its own lines in the output pane.
constexpr auto kSciteMarkers = std::to_array<std::string_view>({"+>", "!>", ">"});

[[nodiscard]] std::string_view trimmedStart(std::string_view text) {
  while (!text.empty() && platform::isAsciiWhiteSpace(text.front())) {
    text.remove_prefix(1);
  }
  return text;
}

// The digits at `at` and after, and where they end; `at` itself when there are none.
[[nodiscard]] std::size_t afterDigits(std::string_view line, std::size_t at) {
  while (at < line.size() && platform::isAsciiDigit(line[at])) {
    ++at;
  }
  return at;
}

// Where the number at `at` ends, with a second one behind `separator`; npos without a first.
[[nodiscard]] std::size_t afterLineAndColumn(std::string_view line, std::size_t at,
                                             char separator) {
  const std::size_t end = afterDigits(line, at);
  if (end == at) {
    return std::string_view::npos;
  }
  if (end < line.size() && line[end] == separator) {
    const std::size_t column = afterDigits(line, end + 1);
    if (column > end + 1) {
      return column;
    }
  }
  return end;
}

// Where the message starts behind the location the line starts with: after "path:N[:M]: " or
// "path(N[,M]): "; 0 without one.
[[nodiscard]] std::size_t messageStart(std::string_view line) {
  const std::size_t pathEnd = line.find(": ");
  for (std::size_t at = 1; at < line.size() && at < pathEnd; ++at) {
    const bool gcc = line[at] == ':';
    if (!gcc && line[at] != '(') {
      continue;
    }
    const std::size_t numbers = afterLineAndColumn(line, at + 1, gcc ? ':' : ',');
    if (numbers == std::string_view::npos) {
      continue;
    }
    // The line may end with the location: its last space was trimmed.
    const std::string_view end = gcc ? ": " : "): ";
    const std::string_view rest = line.substr(numbers);
    if (rest.starts_with(end) || rest == end.substr(0, end.size() - 1)) {
      return std::min(numbers + end.size(), line.size());
    }
  }
  return 0;
}

// Python's traceback names the place in a line of its own: File "<path>", line <N>[, in <name>].
[[nodiscard]] bool isTracebackPlace(std::string_view line) {
  constexpr std::string_view kFile = "File \"";
  constexpr std::string_view kLine = "\", line ";
  const std::size_t at = line.find(kLine);
  return line.starts_with(kFile) && at != std::string_view::npos &&
         afterDigits(line, at + kLine.size()) > at + kLine.size();
}

[[nodiscard]] std::string_view messageOfLine(std::string_view line) {
  while (!line.empty() && platform::isAsciiWhiteSpace(line.back())) {
    line.remove_suffix(1);  // a line break's '\r'
  }
  line = trimmedStart(line);
  for (const std::string_view marker : kSciteMarkers) {
    if (line.starts_with(marker)) {
      line = trimmedStart(line.substr(marker.size()));
      break;
    }
  }
  if (isTracebackPlace(line)) {
    return {};
  }
  return trimmedStart(line.substr(messageStart(line)));
}

}  // namespace

std::string paneMessage(std::string_view text) {
  std::string joined;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view message = messageOfLine(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (message.empty()) {
      continue;
    }
    if (!joined.empty()) {
      joined += ' ';
    }
    joined += message;
  }
  return joined;
}

}  // namespace companion
