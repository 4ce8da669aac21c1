// Selection to URL: command-line reading, unescaping, white-space folding, URI encoding, the
// template setting and the cut that keeps a search address within the browsers' limit.
#include "companion/websearch.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <utility>

#include "director/escapes.h"
#include "platform/ascii.h"

namespace companion {

namespace {

using director::unescapeReply;
using platform::equalsIgnoringCase;
using platform::isAsciiAlphanumeric;
using platform::startsWithIgnoringCase;

constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUrlKey = "url";
constexpr std::string_view kExtensionKeyPrefix = "url.";
constexpr std::string_view kOpenLabel = "+> Open: ";
constexpr std::string_view kSearchLabel = "+> Search: ";

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

// `text` with every byte that `keep` refuses written as %XX.
[[nodiscard]] std::string encodedExcept(std::string_view text, bool (*keep)(char) noexcept) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (keep(c)) {
      out.push_back(c);
    } else {
      const auto byte = static_cast<unsigned char>(c);
      out.push_back('%');
      out.push_back(platform::highHexDigit(byte));
      out.push_back(platform::lowHexDigit(byte));
    }
  }
  return out;
}

[[nodiscard]] std::string_view trim(std::string_view text) {
  const auto first = text.find_first_not_of(kWhiteSpace);
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(kWhiteSpace);
  return text.substr(first, last - first + 1);
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

struct IniEntry {
  std::string_view key;    // trimmed, as written
  std::string_view value;  // trimmed, quotes around it removed
  std::size_t line = 0;    // 1-based
};

// Calls `visit` with each key=value line of an ini text, in order, until it returns true.
template <typename Visit>
void visitIniEntries(std::string_view iniText, Visit visit) {
  if (iniText.starts_with(kByteOrderMark)) {
    iniText.remove_prefix(kByteOrderMark.size());
  }
  for (std::size_t number = 1; !iniText.empty(); ++number) {
    const auto end = iniText.find('\n');
    const std::string_view line = trim(iniText.substr(0, end));
    iniText = end == std::string_view::npos ? std::string_view() : iniText.substr(end + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#' || line.front() == '[') {
      continue;
    }
    const auto equals = line.find('=');
    if (equals != std::string_view::npos &&
        visit(IniEntry{trim(line.substr(0, equals)), withoutQuotes(trim(line.substr(equals + 1))),
                       number})) {
      return;
    }
  }
}

[[nodiscard]] TemplateSetting settingOf(const IniEntry& entry) {
  return {std::string(entry.key), std::string(entry.value), entry.line};
}

[[nodiscard]] TemplateSetting builtInSetting() {
  return {std::string(kUrlKey), std::string(kDefaultTemplate), 0};
}

// "!> <ini path>, line <N>: <key>=" or "!> SciTE property <key>", the start of every message
// about a setting.
[[nodiscard]] std::string settingPlace(std::string_view iniPath, const TemplateSetting& setting) {
  if (setting.fromScite) {
    return "!> SciTE property " + setting.key;
  }
  return "!> " + std::string(iniPath) + ", line " + std::to_string(setting.line) + ": " +
         setting.key + "=";
}

[[nodiscard]] constexpr bool isContinuationByte(char c) noexcept {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

[[nodiscard]] std::size_t characterCount(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return !isContinuationByte(c); }));
}

[[nodiscard]] constexpr std::size_t encodedSize(char c) noexcept {
  return isUnreserved(c) ? 1 : 3;
}

[[nodiscard]] std::size_t placeholderCount(std::string_view urlTemplate) {
  std::size_t count = 0;
  for (auto at = urlTemplate.find(kQueryPlaceholder); at != std::string_view::npos;
       at = urlTemplate.find(kQueryPlaceholder, at + kQueryPlaceholder.size())) {
    ++count;
  }
  return count;
}

// How many bytes of `text` to search for when its encoding may take `budget` characters: all of
// it if it fits, else up to the last blank that fits, else up to the last whole character that
// fits. Cutting the raw text keeps every percent escape whole. One pass: the encoded size of
// each prefix grows by a byte's own share.
[[nodiscard]] std::size_t fittingLength(std::string_view text, std::size_t budget) {
  std::size_t used = 0;
  std::size_t lastBlank = 0;
  std::size_t lastCharacterEnd = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!isContinuationByte(text[i])) {
      lastCharacterEnd = i;
      if (text[i] == ' ') {
        lastBlank = i;
      }
    }
    used += encodedSize(text[i]);
    if (used > budget) {
      return lastBlank > 0 ? lastBlank : lastCharacterEnd;
    }
  }
  return text.size();
}

// 2048 as "2,048", the way the user's lines write numbers.
[[nodiscard]] std::string withThousandsSeparators(std::size_t number) {
  std::string digits = std::to_string(number);
  for (auto at = digits.size(); at > 3; at -= 3) {
    digits.insert(at - 3, 1, ',');
  }
  return digits;
}

// The leading decimal number of `text`, and the text after it; nothing when it starts with none
// or the number does not fit.
[[nodiscard]] std::optional<std::pair<unsigned, std::string_view>> leadingNumber(
    std::string_view text) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc()) {
    return std::nullopt;
  }
  return std::pair{value, text.substr(static_cast<std::size_t>(end - text.data()))};
}

// Wine's shell overflows long command lines before this version.
constexpr std::pair<unsigned, unsigned> kFirstSoundWine{8, 17};

// Major and minor number compared as numbers: "8.2" is older than "8.17".
[[nodiscard]] bool isOldWine(std::string_view version) {
  const auto major = leadingNumber(version);
  if (!major || !major->second.starts_with('.')) {
    return true;
  }
  const auto minor = leadingNumber(major->second.substr(1));
  return !minor || std::pair{major->first, minor->first} < kFirstSoundWine;
}

[[nodiscard]] Outcome refused(Outcome outcome, ExitCode code, std::string line) {
  outcome.code = code;
  outcome.lines.push_back(std::move(line));
  return outcome;
}

[[nodiscard]] Outcome opened(Outcome outcome, std::string_view label, std::string url) {
  outcome.code = ExitCode::Opened;
  outcome.lines.push_back(std::string(label) + url);
  outcome.url = std::move(url);
  return outcome;
}

// The search address for `text`, the words cut so that it stays within the request's limit.
[[nodiscard]] Outcome search(Outcome outcome, const SearchRequest& request,
                             const TemplateSetting& setting) {
  const std::size_t limit = request.maxUrlLength;
  // The template's own characters are fixed; every placeholder takes the same encoded words.
  const std::size_t fixedSize = toUriCharacters(fillTemplate(setting.value, "")).size();
  const std::size_t budget =
      fixedSize < limit ? (limit - fixedSize) / placeholderCount(setting.value) : 0;
  const std::string_view text = request.text;
  const std::size_t kept = fittingLength(text, budget);
  if (kept == 0) {
    return refused(std::move(outcome), ExitCode::BadTemplate,
                   noRoomForWordsLine(request.iniPath, setting, limit));
  }
  const std::string_view words = text.substr(0, kept);
  if (kept < text.size()) {
    outcome.lines.push_back(cutLine(characterCount(words)));
  }
  return opened(std::move(outcome), kSearchLabel,
                toUriCharacters(fillTemplate(setting.value, percentEncode(words))));
}

}  // namespace

std::size_t maxUrlLengthFor(std::optional<std::string_view> wineVersion) {
  return wineVersion && isOldWine(*wineVersion) ? kOldWineMaxUrlLength : kMaxUrlLength;
}

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
  return encodedExcept(text, isUnreserved);
}

std::string toUriCharacters(std::string_view url) {
  return encodedExcept(url, isUriCharacter);
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

TemplateSetting templateFor(std::string_view iniText, std::string_view fileExt) {
  std::optional<TemplateSetting> forExtension;
  std::optional<TemplateSetting> general;
  visitIniEntries(iniText.substr(0, kMaxIniBytes), [&](const IniEntry& entry) {
    if (!fileExt.empty() && startsWithIgnoringCase(entry.key, kExtensionKeyPrefix) &&
        equalsIgnoringCase(entry.key.substr(kExtensionKeyPrefix.size()), fileExt)) {
      forExtension = settingOf(entry);
    } else if (!general && equalsIgnoringCase(entry.key, kUrlKey)) {
      general = settingOf(entry);
    }
    return forExtension.has_value();
  });
  return forExtension.value_or(general.value_or(builtInSetting()));
}

std::string searchText(std::string_view commandLine) {
  return collapseWhiteSpace(unescapeReply(selectionFromCommandLine(commandLine)));
}

Outcome decide(const SearchRequest& request) {
  Outcome outcome;
  if (request.text.empty()) {
    return refused(std::move(outcome), ExitCode::NothingToSearch, nothingToSearchLine());
  }
  if (request.fromCaret) {
    outcome.lines.push_back(wordAtCaretLine(request.text));
  }
  const TemplateSetting builtIn = builtInSetting();
  const TemplateSetting& setting = request.setting != nullptr ? *request.setting : builtIn;
  // Checked before a URL selection too, so that a broken setting shows on every run.
  if (setting.refersToItself) {
    return refused(std::move(outcome), ExitCode::BadTemplate, selfReferenceLine(setting));
  }
  if (!isValidTemplate(setting.value)) {
    return refused(std::move(outcome), ExitCode::BadTemplate,
                   badTemplateLine(request.iniPath, setting));
  }
  if (isWebUrl(request.text)) {
    std::string url = toUriCharacters(request.text);
    if (url.size() <= request.maxUrlLength) {
      return opened(std::move(outcome), kOpenLabel, std::move(url));
    }
  }
  return search(std::move(outcome), request, setting);
}

std::string nothingToSearchLine() {
  return "!> Nothing to search: select some text, or put the caret in a word.";
}

std::string wordAtCaretLine(std::string_view word) {
  return "+> Word at caret: " + std::string(word);
}

std::string cutLine(std::size_t characters) {
  return "+> Cut to " + std::to_string(characters) +
         " characters: the selection is too long for a search address.";
}

std::string badTemplateLine(std::string_view iniPath, const TemplateSetting& setting) {
  return settingPlace(iniPath, setting) +
         " must begin with http:// or https:// and contain {query}.";
}

std::string selfReferenceLine(const TemplateSetting& setting) {
  return settingPlace({}, setting) + " refers to itself or nests more than " +
         std::to_string(kMaxReferenceNesting) + " levels.";
}

std::string noRoomForWordsLine(std::string_view iniPath, const TemplateSetting& setting,
                               std::size_t maxUrlLength) {
  return settingPlace(iniPath, setting) + " leaves no room for the search words within " +
         withThousandsSeparators(maxUrlLength) + " characters.";
}

std::string browserFailedLine(std::string_view systemMessage, std::int64_t code) {
  const auto end = systemMessage.find_last_not_of(" \r\n.");
  const std::string_view message =
      end == std::string_view::npos ? std::string_view() : systemMessage.substr(0, end + 1);
  return "!> The browser could not be started: " + std::string(message) + " (" +
         std::to_string(code) + ").";
}

}  // namespace companion
