// A browser setting's value to the program and arguments an address opens with.
#include "companion/address/browser_command.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <variant>

#include "companion/settings/properties.h"
#include "companion/settings/texts.h"
#include "platform/ascii.h"

namespace companion {

namespace {

constexpr std::string_view kUnclosedQuote = "a quote is not closed";
constexpr std::string_view kNoProgram = "it names no program";
constexpr std::string_view kAddressInProgram = "%s stands in the program's own name";

// The words of a value, or why it does not split.
struct Split {
  std::vector<std::string> words;
  std::string_view refusal;  // empty when it split
};

[[nodiscard]] constexpr bool isWindowsBlank(char c) noexcept {
  return c == ' ' || c == '\t';
}

[[nodiscard]] constexpr bool isContinuationByte(char c) noexcept {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// A program's path: quotes group blanks into it, and nothing is escaped, as backslashes are the
// path's own. Reads from `at` to the blank after the word.
[[nodiscard]] std::optional<std::string> windowsProgramWord(std::string_view text,
                                                            std::size_t& at) {
  std::string word;
  bool quoted = false;
  for (; at < text.size() && (quoted || !isWindowsBlank(text[at])); ++at) {
    if (text[at] == '"') {
      quoted = !quoted;
    } else {
      word.push_back(text[at]);
    }
  }
  if (quoted) {
    return std::nullopt;
  }
  return word;
}

// One argument as the C run time reads it: 2n backslashes before a quote are n and the quote
// groups, 2n+1 are n and a literal quote; "" inside quotes is a quote; other backslashes stay.
[[nodiscard]] std::optional<std::string> windowsArgument(std::string_view text, std::size_t& at) {
  std::string word;
  bool quoted = false;
  while (at < text.size() && (quoted || !isWindowsBlank(text[at]))) {
    if (text[at] == '\\') {
      const std::size_t run = text.find_first_not_of('\\', at);
      const std::size_t count = (run == std::string_view::npos ? text.size() : run) - at;
      at += count;
      const bool beforeQuote = at < text.size() && text[at] == '"';
      word.append(beforeQuote ? count / 2 : count, '\\');
      if (beforeQuote && count % 2 == 1) {
        word.push_back('"');
        ++at;
      }
    } else if (text[at] == '"') {
      if (quoted && at + 1 < text.size() && text[at + 1] == '"') {
        word.push_back('"');
        ++at;
      } else {
        quoted = !quoted;
      }
      ++at;
    } else {
      word.push_back(text[at++]);
    }
  }
  if (quoted) {
    return std::nullopt;
  }
  return word;
}

[[nodiscard]] Split windowsWords(std::string_view text) {
  Split split;
  for (std::size_t at = 0;;) {
    while (at < text.size() && isWindowsBlank(text[at])) {
      ++at;
    }
    if (at == text.size()) {
      return split;
    }
    auto word = split.words.empty() ? windowsProgramWord(text, at) : windowsArgument(text, at);
    if (!word) {
      return {.refusal = kUnclosedQuote};
    }
    split.words.push_back(std::move(*word));
  }
}

// In "...": a backslash escapes only these, as in a POSIX shell.
[[nodiscard]] constexpr bool escapesInDoubleQuotes(char c) noexcept {
  return c == '\\' || c == '"' || c == '$' || c == '`';
}

[[nodiscard]] Split posixWords(std::string_view text) {
  Split split;
  std::string word;
  bool inWord = false;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    if (platform::isAsciiWhiteSpace(c)) {
      if (inWord) {
        split.words.push_back(std::exchange(word, {}));
      }
      inWord = false;
      continue;
    }
    inWord = true;
    if (c == '\'' || c == '"') {
      for (++at; at < text.size() && text[at] != c; ++at) {
        if (c == '"' && text[at] == '\\' && at + 1 < text.size() &&
            escapesInDoubleQuotes(text[at + 1])) {
          ++at;
        }
        word.push_back(text[at]);
      }
      if (at == text.size()) {
        return {.refusal = kUnclosedQuote};
      }
    } else if (c == '\\' && at + 1 < text.size()) {
      word.push_back(text[++at]);
    } else {
      word.push_back(c);
    }
  }
  if (inWord) {
    split.words.push_back(std::move(word));
  }
  return split;
}

// One word after the % pass, or why it is refused.
struct Filled {
  std::string word;
  bool tookAddress = false;
  std::string refusal;
};

// %s becomes `address` and %% a percent sign, in one pass, so that a % of the address is never
// read again; a % before any other character is refused, a % that ends the word kept.
[[nodiscard]] Filled filled(std::string_view word, std::string_view address) {
  Filled out;
  for (std::size_t at = 0; at < word.size(); ++at) {
    if (word[at] != '%' || at + 1 == word.size()) {
      out.word.push_back(word[at]);
      continue;
    }
    const char next = word[++at];
    if (next == 's') {
      out.word.append(address);
      out.tookAddress = true;
    } else if (next == '%') {
      out.word.push_back('%');
    } else {
      std::size_t end = at + 1;
      while (end < word.size() && isContinuationByte(word[end])) {
        ++end;
      }
      out.refusal.assign(1, '%').append(word.substr(at, end - at));
      out.refusal.append(" stands for nothing: %s is the address, %% a percent sign");
      return out;
    }
  }
  return out;
}

}  // namespace

namespace {

// The command `opening` opens with, or the line saying why its browser setting cannot give one.
[[nodiscard]] std::variant<ProgramCommand, std::string> programFor(const Opening& opening,
                                                                   ProgramLineRules rules,
                                                                   const PropertyLookup& lookup) {
  const BrowserSetting& browser = opening.browser;
  const Split split =
      rules == ProgramLineRules::Windows ? windowsWords(browser.value) : posixWords(browser.value);
  if (!split.refusal.empty()) {
    return notACommandLineLine(browser.key, split.refusal);
  }
  ProgramCommand command;
  bool tookAddress = false;
  for (const std::string& raw : split.words) {
    const auto expanded = expandReferences(browser.key, raw, lookup);
    if (!expanded) {
      const TemplateSetting place{.key = browser.key, .source = SettingSource::Scite};
      return selfReferenceLine(place);
    }
    Filled word = filled(*expanded, opening.url);
    if (!word.refusal.empty()) {
      return notACommandLineLine(browser.key, word.refusal);
    }
    const bool isProgram = &raw == &split.words.front();
    if (isProgram && word.tookAddress) {
      return notACommandLineLine(browser.key, kAddressInProgram);
    }
    tookAddress = tookAddress || word.tookAddress;
    if (isProgram) {
      command.program = std::move(word.word);
    } else {
      command.arguments.push_back(std::move(word.word));
    }
  }
  if (command.program.empty()) {
    return notACommandLineLine(browser.key, kNoProgram);
  }
  if (const auto cmd = runsThroughCmd(command.program); cmd && rules == ProgramLineRules::Windows) {
    return notACommandLineLine(browser.key, *cmd);
  }
  if (!tookAddress) {
    command.arguments.push_back(opening.url);
  }
  return command;
}

}  // namespace

Outcome withBrowserCommand(Outcome outcome, ProgramLineRules rules, const PropertyLookup& lookup) {
  const bool opens = outcome.code == ExitCode::Opened || outcome.code == ExitCode::PartlyOpened;
  if (!opens || !lookup) {
    return outcome;
  }
  std::vector<Opening> kept;
  for (Opening& opening : outcome.openings) {
    if (!opening.browser.namesProgram()) {
      kept.push_back(std::move(opening));
      continue;
    }
    auto program = programFor(opening, rules, lookup);
    if (auto* command = std::get_if<ProgramCommand>(&program)) {
      opening.command = std::move(*command);
      kept.push_back(std::move(opening));
    } else {
      // In place of the address, which does not open.
      outcome.lines[opening.line] = std::move(std::get<std::string>(program));
    }
  }
  if (kept.empty()) {
    outcome.code = ExitCode::BadTemplate;
  } else if (kept.size() < outcome.openings.size()) {
    outcome.code = ExitCode::PartlyOpened;
  }
  outcome.openings = std::move(kept);
  return outcome;
}

std::optional<std::string> runsThroughCmd(std::string_view program) {
  const auto end = program.find_last_not_of(". ");
  const std::string_view name = program.substr(0, end == std::string_view::npos ? 0 : end + 1);
  for (const std::string_view extension : {std::string_view(".bat"), std::string_view(".cmd")}) {
    if (name.size() > extension.size() &&
        platform::equalsIgnoringCase(name.substr(name.size() - extension.size()), extension)) {
      return "Windows runs a " + std::string(extension) +
             " file through cmd.exe, where & % and ! in an address act whatever the quoting";
    }
  }
  return std::nullopt;
}

}  // namespace companion
