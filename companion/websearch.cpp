// Selection to URL: command-line reading, unescaping, white-space folding and URI encoding.
#include "companion/websearch.h"

#include <algorithm>
#include <cstddef>

#include "platform/ascii.h"

namespace companion {

namespace {

using platform::equalsIgnoringCase;
using platform::isAsciiAlphanumeric;
using platform::isOctalDigit;
using platform::startsWithIgnoringCase;

constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

[[nodiscard]] constexpr bool isWhiteSpace(char c) noexcept {
  return kWhiteSpace.find(c) != std::string_view::npos;
}

[[nodiscard]] constexpr bool isUnreserved(char c) noexcept {
  return isAsciiAlphanumeric(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

// Unreserved, reserved (gen-delims and sub-delims) and the percent sign of existing escapes.
[[nodiscard]] constexpr bool isUriCharacter(char c) noexcept {
  constexpr std::string_view kReservedOrPercent = ":/?#[]@!$&'()*+,;=%";
  return isUnreserved(c) || kReservedOrPercent.find(c) != std::string_view::npos;
}

void appendPercentEscape(std::string& out, char c) {
  const auto byte = static_cast<unsigned char>(c);
  out.push_back('%');
  out.push_back(platform::highHexDigit(byte));
  out.push_back(platform::lowHexDigit(byte));
}

[[nodiscard]] std::string_view trim(std::string_view text) {
  const auto first = text.find_first_not_of(kWhiteSpace);
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(kWhiteSpace);
  return text.substr(first, last - first + 1);
}

// The one-letter escapes; a NUL result means the letter names none.
[[nodiscard]] constexpr char namedEscape(char letter) noexcept {
  switch (letter) {
    case 'a':
      return '\a';
    case 'b':
      return '\b';
    case 'f':
      return '\f';
    case 'n':
      return '\n';
    case 'r':
      return '\r';
    case 't':
      return '\t';
    case 'v':
      return '\v';
    case '\\':
      return '\\';
    default:
      return '\0';
  }
}

// Three octal digits that fit a byte; \400 and above name no byte and are left alone.
[[nodiscard]] std::optional<char> octalEscape(std::string_view digits) noexcept {
  if (digits.size() < 3 || !std::all_of(digits.begin(), digits.begin() + 3, isOctalDigit)) {
    return std::nullopt;
  }
  const int value = (digits[0] - '0') * 64 + (digits[1] - '0') * 8 + (digits[2] - '0');
  if (value > 0xFF) {
    return std::nullopt;
  }
  return static_cast<char>(static_cast<unsigned char>(value));
}

struct Escape {
  char byte = '\0';
  std::size_t length = 0;  // characters after the backslash
};

// The escape `rest`, the text after a backslash, starts with. A backslash that starts none, or
// ends the text, stands for itself.
[[nodiscard]] std::optional<Escape> readEscape(std::string_view rest) noexcept {
  if (rest.empty()) {
    return std::nullopt;
  }
  if (const char named = namedEscape(rest[0]); named != '\0') {
    return Escape{named, 1};
  }
  if (const auto byte = octalEscape(rest.substr(0, 3))) {
    return Escape{*byte, 3};
  }
  return std::nullopt;
}

[[nodiscard]] std::string fillTemplate(std::string_view urlTemplate, std::string_view query) {
  std::string out;
  std::size_t from = 0;
  for (auto at = urlTemplate.find(kQueryPlaceholder); at != std::string_view::npos;
       at = urlTemplate.find(kQueryPlaceholder, from)) {
    out.append(urlTemplate.substr(from, at - from));
    out.append(query);
    from = at + kQueryPlaceholder.size();
  }
  out.append(urlTemplate.substr(from));
  return out;
}

[[nodiscard]] std::string_view withoutQuotes(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

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

std::string unescapeReply(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto escape = text[i] == '\\' ? readEscape(text.substr(i + 1)) : std::nullopt;
    if (escape) {
      out.push_back(escape->byte);
      i += escape->length;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::string collapseWhiteSpace(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool pendingBlank = false;
  for (const char c : text) {
    if (isWhiteSpace(c)) {
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

std::string percentEncode(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (const char c : text) {
    if (isUnreserved(c)) {
      out.push_back(c);
    } else {
      appendPercentEscape(out, c);
    }
  }
  return out;
}

std::string toUriCharacters(std::string_view url) {
  std::string out;
  out.reserve(url.size());
  for (const char c : url) {
    if (isUriCharacter(c)) {
      out.push_back(c);
    } else {
      appendPercentEscape(out, c);
    }
  }
  return out;
}

bool hasWebScheme(std::string_view text) {
  for (const std::string_view scheme :
       {std::string_view("http://"), std::string_view("https://")}) {
    if (text.size() > scheme.size() && startsWithIgnoringCase(text, scheme)) {
      return true;
    }
  }
  return false;
}

bool isWebUrl(std::string_view text) {
  return hasWebScheme(text) && std::none_of(text.begin(), text.end(), isWhiteSpace);
}

bool isValidTemplate(std::string_view urlTemplate) {
  return hasWebScheme(urlTemplate) && urlTemplate.find(kQueryPlaceholder) != std::string_view::npos;
}

std::optional<std::string> templateFromIni(std::string_view iniText) {
  if (iniText.starts_with(kByteOrderMark)) {
    iniText.remove_prefix(kByteOrderMark.size());
  }
  while (!iniText.empty()) {
    const auto end = iniText.find('\n');
    const std::string_view line = trim(iniText.substr(0, end));
    iniText = end == std::string_view::npos ? std::string_view() : iniText.substr(end + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#' || line.front() == '[') {
      continue;
    }
    const auto equals = line.find('=');
    if (equals != std::string_view::npos &&
        equalsIgnoringCase(trim(line.substr(0, equals)), "url")) {
      return std::string(withoutQuotes(trim(line.substr(equals + 1))));
    }
  }
  return std::nullopt;
}

UrlChoice chooseUrl(std::string_view escapedSelection, std::string_view urlTemplate) {
  const std::string text = collapseWhiteSpace(unescapeReply(escapedSelection));
  if (text.empty()) {
    return {ExitCode::NothingToSearch, {}};
  }
  // Checked before a URL selection too, so that a broken setting shows on every run.
  if (!isValidTemplate(urlTemplate)) {
    return {ExitCode::BadTemplate, {}};
  }
  if (isWebUrl(text)) {
    return {ExitCode::Opened, toUriCharacters(text)};
  }
  return {ExitCode::Opened, toUriCharacters(fillTemplate(urlTemplate, percentEncode(text)))};
}

}  // namespace companion
