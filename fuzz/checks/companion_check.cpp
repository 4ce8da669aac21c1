// The companion's decisions over any command line, websearch.ini and file extension: whatever is
// opened is a web address of URI characters within the length limit, a search asks for a prefix
// of the selection cut where the rules cut it, and every refusal says why.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "companion/address/decision.h"
#include "companion/query/command_line.h"
#include "companion/query/uri.h"
#include "companion/scite/lua_literal.h"
#include "companion/settings/engines.h"
#include "companion/settings/ini.h"
#include "companion/settings/properties.h"
#include "companion/settings/settings.h"
#include "companion/settings/texts.h"
#include "fuzz/checks/check.h"
#include "platform/ascii.h"
#include "tests/scite_standin/escapes.h"

namespace fuzz {

namespace {

using companion::ExitCode;
using companion::kMaxUrlLength;
using companion::kQueryPlaceholder;
using companion::SettingSource;

constexpr std::string_view kIniPath = R"(C:\Tools\websearch.ini)";
constexpr std::uint8_t kFromCaret = 1;
constexpr std::uint8_t kSciteInReach = 2;

struct Run {
  bool fromCaret = false;
  bool sciteInReach = false;  // the ini text is also SciTE's properties, asked first
  std::string_view fileExt;
  std::string_view commandLine;
  std::string_view iniText;  // may hold NULs of its own
};

// The model of websearch.ini's url= setting, written apart from the product's reader: lines
// split at LF, a byte-order mark skipped, white space trimmed, comments and sections skipped,
// the first key "url" in any case wins, a value in a pair of quotes loses them.
[[nodiscard]] std::optional<std::string> firstUrlSetting(std::string_view iniText) {
  constexpr std::string_view kBlank = " \t\n\v\f\r";
  const auto trimmed = [kBlank](std::string_view text) {
    const auto first = text.find_first_not_of(kBlank);
    return first == std::string_view::npos
               ? std::string_view()
               : text.substr(first, text.find_last_not_of(kBlank) - first + 1);
  };
  if (iniText.starts_with("\xEF\xBB\xBF")) {
    iniText.remove_prefix(3);
  }
  while (!iniText.empty()) {
    const auto end = std::min(iniText.find('\n'), iniText.size());
    const std::string_view line = trimmed(iniText.substr(0, end));
    iniText.remove_prefix(std::min(end + 1, iniText.size()));
    const auto equals = line.find('=');
    if (line.empty() || std::string_view(";#[").find(line.front()) != std::string_view::npos ||
        equals == std::string_view::npos ||
        !platform::equalsIgnoringCase(trimmed(line.substr(0, equals)), "url")) {
      continue;
    }
    std::string_view value = trimmed(line.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
  }
  return std::nullopt;
}

// Header: a flags byte (1: the word at the caret, 2: SciTE in reach). Then the extension, a NUL,
// the command line, a NUL and the ini text.
[[nodiscard]] Run runFrom(std::string_view input) {
  Run run;
  if (input.empty()) {
    return run;
  }
  run.fromCaret = (static_cast<std::uint8_t>(input[0]) & kFromCaret) != 0;
  run.sciteInReach = (static_cast<std::uint8_t>(input[0]) & kSciteInReach) != 0;
  std::string_view rest = input.substr(1);
  const auto takeField = [&rest]() {
    const std::size_t nul = rest.find('\0');
    const std::string_view field = rest.substr(0, nul);
    rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
    return field;
  };
  run.fileExt = takeField();
  run.commandLine = takeField();
  run.iniText = rest;
  return run;
}

[[nodiscard]] bool isUnreserved(char c) {
  return platform::isAsciiAlphanumeric(c) ||
         std::string_view("-._~").find(c) != std::string_view::npos;
}

[[nodiscard]] bool isUriCharacter(char c) {
  return isUnreserved(c) ||
         std::string_view(":/?#[]@!$&'()*+,;=%").find(c) != std::string_view::npos;
}

[[nodiscard]] bool startsWithWebScheme(std::string_view url) {
  return platform::startsWithIgnoringCase(url, "http://") ||
         platform::startsWithIgnoringCase(url, "https://");
}

[[nodiscard]] bool isContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

[[nodiscard]] int hexValue(char c) {
  const auto at = std::string_view("0123456789abcdef").find(platform::lowerAscii(c));
  return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

// The bytes a percent-encoded query stands for; nothing when it is not one.
[[nodiscard]] std::optional<std::string> percentDecoded(std::string_view query) {
  std::string out;
  for (std::size_t i = 0; i < query.size(); ++i) {
    if (isUnreserved(query[i])) {
      out.push_back(query[i]);
      continue;
    }
    if (query[i] != '%' || i + 2 >= query.size() || hexValue(query[i + 1]) < 0 ||
        hexValue(query[i + 2]) < 0) {
      return std::nullopt;
    }
    out.push_back(static_cast<char>(hexValue(query[i + 1]) * 16 + hexValue(query[i + 2])));
    i += 2;
  }
  return out;
}

// The template with `fill` in place of every placeholder, its own text in URI characters.
[[nodiscard]] std::string filled(std::string_view urlTemplate, std::string_view fill) {
  std::string out;
  for (auto at = urlTemplate.find(kQueryPlaceholder); at != std::string_view::npos;
       at = urlTemplate.find(kQueryPlaceholder)) {
    out += companion::toUriCharacters(urlTemplate.substr(0, at));
    out += fill;
    urlTemplate.remove_prefix(at + kQueryPlaceholder.size());
  }
  return out + companion::toUriCharacters(urlTemplate);
}

void checkFolded(std::string_view text) {
  expect(
      !text.starts_with(' ') && !text.ends_with(' ') && text.find("  ") == std::string_view::npos,
      "folded text has single blanks between words only");
  expect(text.find_first_of("\t\n\v\f\r") == std::string_view::npos,
         "folded text has no white space but blanks");
}

void checkIniSetting(const Run& run, const companion::TemplateSetting& setting) {
  if (setting.source == SettingSource::BuiltIn) {
    expect(setting.key == "url" && setting.value == companion::kDefaultTemplate,
           "without a setting the built-in default is used");
  } else {
    const std::string_view key = setting.key;
    expect(platform::equalsIgnoringCase(key, "url") ||
               (!run.fileExt.empty() && platform::startsWithIgnoringCase(key, "url.") &&
                platform::equalsIgnoringCase(key.substr(4), run.fileExt)),
           "a setting is url= or url.<the file's extension>=");
    expect(
        setting.line <=
            static_cast<std::size_t>(std::count(run.iniText.begin(), run.iniText.end(), '\n')) + 1,
        "the line number lies within the ini text");
  }
  // Where no extension line is chosen, the model's reader of url= agrees.
  if (run.iniText.size() <= companion::kMaxIniBytes &&
      !platform::startsWithIgnoringCase(setting.key, "url.")) {
    const auto general = firstUrlSetting(run.iniText);
    expect(
        setting.source == SettingSource::BuiltIn ? !general.has_value() : general == setting.value,
        "the url= setting is the first one a plain reader finds");
  }
}

// The search address of `words` fits within the limit for this template.
[[nodiscard]] bool fits(std::string_view urlTemplate, std::string_view words) {
  return filled(urlTemplate, companion::percentEncode(words)).size() <= kMaxUrlLength;
}

void checkCut(std::string_view text, std::string_view urlTemplate, std::size_t kept) {
  const bool atBlank = text[kept] == ' ';
  expect(atBlank || !isContinuationByte(text[kept]), "a cut never splits a character");
  if (atBlank) {
    const std::size_t nextBlank = text.find(' ', kept + 1);
    expect(nextBlank == std::string_view::npos || !fits(urlTemplate, text.substr(0, nextBlank)),
           "a cut at a blank is at the last blank that fits");
    return;
  }
  expect(text.find(' ', 1) > kept, "a cut inside a word only when no blank fits");
  std::size_t next = kept + 1;
  while (next < text.size() && isContinuationByte(text[next])) {
    ++next;
  }
  expect(!fits(urlTemplate, text.substr(0, next)),
         "a cut inside a word keeps every character that fits");
}

void checkSearch(std::string_view text, const companion::TemplateSetting& setting,
                 const companion::Outcome& outcome, std::size_t caretLines) {
  const std::string& url = outcome.openings.front().url;
  const std::string& urlTemplate = setting.value;
  const std::string fixed = filled(urlTemplate, "");
  // Each placeholder filled with one character makes the address one longer.
  const std::size_t placeholders = filled(urlTemplate, "x").size() - fixed.size();
  expect(placeholders > 0 && url.size() >= fixed.size() &&
             (url.size() - fixed.size()) % placeholders == 0,
         "a search address is the template with the same query in every placeholder");
  const std::string before =
      companion::toUriCharacters(urlTemplate.substr(0, urlTemplate.find(kQueryPlaceholder)));
  expect(url.starts_with(before), "a search address starts with the template's own text");
  const std::string query = url.substr(before.size(), (url.size() - fixed.size()) / placeholders);
  expect(url == filled(urlTemplate, query), "a search address is the filled template");
  const auto words = percentDecoded(query);
  expect(words.has_value() && !words->empty() && text.starts_with(*words),
         "the query percent-decodes to a prefix of the folded text");
  expect(!(companion::isWebUrl(text) && companion::toUriCharacters(text).size() <= kMaxUrlLength),
         "a web address that fits is opened, not searched for");
  if (words->size() == text.size()) {
    expect(outcome.lines.size() == caretLines + 1, "an uncut search has no cut line");
    return;
  }
  checkCut(text, urlTemplate, words->size());
  const auto characters = static_cast<std::size_t>(
      std::count_if(words->begin(), words->end(), [](char c) { return !isContinuationByte(c); }));
  expect(outcome.lines.size() == caretLines + 2 &&
             outcome.lines[caretLines] == companion::cutLine(characters),
         "a cut search says how many characters it kept");
}

void checkOpened(std::string_view text, const companion::TemplateSetting& setting,
                 const companion::Outcome& outcome, std::size_t caretLines) {
  const std::string& url = outcome.openings.front().url;
  expect(startsWithWebScheme(url), "an opened address starts with http:// or https://");
  expect(std::all_of(url.begin(), url.end(), isUriCharacter),
         "an opened address has URI characters only");
  expect(url.size() <= kMaxUrlLength, "an opened address is at most kMaxUrlLength long");
  if (outcome.lines.back() == "+> Open: " + url) {
    expect(companion::isWebUrl(text) && url == companion::toUriCharacters(text),
           "only a web address is opened as it is");
    expect(outcome.lines.size() == caretLines + 1, "an opened address has no cut line");
    return;
  }
  expect(outcome.lines.back() == "+> Search: " + url, "the last line names the address");
  checkSearch(text, setting, outcome, caretLines);
}

void checkRefused(std::string_view text, const companion::TemplateSetting& setting,
                  const companion::Outcome& outcome) {
  expect(outcome.openings.empty(), "a refusal opens nothing");
  expect(outcome.lines.back().starts_with("!> "), "a refusal ends with an error line");
  if (outcome.code == ExitCode::NothingToSearch) {
    expect(text.empty() && outcome.lines.back() == companion::nothingToSearchLine(),
           "only empty text has nothing to search");
    return;
  }
  expect(outcome.code == ExitCode::BadTemplate && !text.empty(),
         "decide refuses only for nothing to search or the template");
  if (setting.refersToItself) {
    expect(outcome.lines.back() == companion::selfReferenceLine(setting),
           "a setting that refers to itself is named");
    return;
  }
  // decide is asked with no browser named, so the default browser's schemes count.
  if (!companion::isValidTemplate(setting.value, {})) {
    expect(outcome.lines.back() == companion::badTemplateLine(setting, {}),
           "a bad template is named with its place");
    return;
  }
  std::size_t firstEnd = 1;
  while (firstEnd < text.size() && isContinuationByte(text[firstEnd])) {
    ++firstEnd;
  }
  expect(!fits(setting.value, text.substr(0, firstEnd)) &&
             outcome.lines.back() == companion::noRoomForWordsLine(setting, kMaxUrlLength),
         "a good template is refused only when not one character fits");
}

using Properties = std::map<std::string, std::string, std::less<>>;

// The ini text read as SciTE's properties: each line "name=value", the first one of a name counts.
[[nodiscard]] Properties propertiesOf(std::string_view text) {
  Properties properties;
  for (std::string_view rest = text; !rest.empty();) {
    const std::string_view line = rest.substr(0, rest.find('\n'));
    rest.remove_prefix(std::min(line.size() + 1, rest.size()));
    const auto equals = line.find('=');
    if (equals != std::string_view::npos) {
      properties.emplace(line.substr(0, equals), line.substr(equals + 1));
    }
  }
  return properties;
}

// Whatever the references, the expansion ends, asks for each name once and for no more names
// than its cap allows, and a refusal is for the key it names.
void checkSciteProperties(const Run& run, const Properties& properties) {
  std::map<std::string, int> asked;
  const auto setting =
      companion::templateFromScite(run.fileExt, [&](const std::string& name) -> std::string {
        ++asked[name];
        const auto found = properties.find(name);
        return found == properties.end() ? std::string() : found->second;
      });
  expect(
      std::all_of(asked.begin(), asked.end(), [](const auto& entry) { return entry.second == 1; }),
      "each property is asked for once");
  expect(asked.size() <= 2 + static_cast<std::size_t>(companion::kMaxExpansions),
         "no more names are asked for than the expansions allow");
  if (setting) {
    const auto keys = companion::sciteKeys(run.fileExt);
    expect(setting->source == SettingSource::Scite &&
               std::find(keys.begin(), keys.end(), setting->key) != keys.end(),
           "a SciTE setting is one of the keys asked for");
    expect(!setting->refersToItself || setting->value.empty(), "a refused setting has no value");
  }
}

// SciTE's keys decide when SciTE is in reach and one is set; websearch.ini is read otherwise.
[[nodiscard]] companion::Settings chosenSettings(const Run& run, const Properties& properties) {
  int iniReads = 0;
  const auto lookup = [&properties](const std::string& name) -> std::string {
    const auto found = properties.find(name);
    return found == properties.end() ? std::string() : found->second;
  };
  const auto settings = companion::chooseSettings(
      run.fileExt, run.sciteInReach ? companion::PropertyLookup(lookup) : nullptr, [&] {
        ++iniReads;
        return companion::IniFile{.path = std::string(kIniPath), .text = std::string(run.iniText)};
      });
  const auto keys = companion::sciteKeys(run.fileExt);
  const bool sciteKeySet = std::any_of(
      keys.begin(), keys.end(), [&](const std::string& key) { return !lookup(key).empty(); });
  const bool fromScite =
      !settings.engineListKey.empty() || settings.setting.source == SettingSource::Scite;
  expect(fromScite == (run.sciteInReach && sciteKeySet),
         "a SciTE key decides exactly when SciTE is in reach and one is set");
  expect(iniReads == (fromScite ? 0 : 1), "websearch.ini is read only when no SciTE key decides");
  if (!fromScite) {
    checkIniSetting(run, settings.setting);
  }
  for (const companion::Choice& choice : settings.choices) {
    expect(companion::isEngineName(choice.name) && !choice.engines.empty() &&
               choice.engines.size() <= companion::kMaxGroupMembers,
           "a name offered is a good one, with at least one engine and no more than a group's");
    for (const companion::Engine& engine : choice.engines) {
      expect(companion::isEngineName(engine.name) &&
                 companion::isValidTemplate(engine.setting.value, engine.browser),
             "an engine offered has a good name and a usable template");
    }
  }
  return settings;
}

// Lua's reading of a short string between single quotes, written apart from the product: \ddd
// of one to three decimal digits, the escapes of one letter, \z, \x and \u; nothing when the
// text is no such string or an escape Lua refuses.
[[nodiscard]] std::optional<std::string> luaShortString(std::string_view lua) {
  if (lua.size() < 2 || lua.front() != '\'' || lua.back() != '\'') {
    return std::nullopt;
  }
  lua = lua.substr(1, lua.size() - 2);
  std::string out;
  for (std::size_t i = 0; i < lua.size(); ++i) {
    const char c = lua[i];
    if (c == '\'' || c == '\n' || c == '\r') {
      return std::nullopt;  // the string would end there
    }
    if (c != '\\') {
      out.push_back(c);
      continue;
    }
    if (++i == lua.size()) {
      return std::nullopt;
    }
    const auto letter = std::string_view("abfnrtv\\\"'").find(lua[i]);
    if (letter != std::string_view::npos) {
      out.push_back("\a\b\f\n\r\t\v\\\"'"[letter]);
      continue;
    }
    if (!platform::isAsciiDigit(lua[i])) {
      return std::nullopt;  // \z, \x and \u are never written: refused here
    }
    int value = 0;
    for (int digits = 0; digits < 3 && i < lua.size() && platform::isAsciiDigit(lua[i]);
         ++digits, ++i) {
      value = value * 10 + (lua[i] - '0');
    }
    --i;
    if (value > 255) {
      return std::nullopt;
    }
    out.push_back(static_cast<char>(value));
  }
  return out;
}

// Any text the user types reaches SciTE as one line of printable ASCII, no more than five times
// its size, which SciTE's unescaping turns into the Lua string of exactly that text.
void checkLuaLiteral(std::string_view text) {
  const std::string literal = companion::luaLiteral(text);
  expect(std::all_of(literal.begin(), literal.end(), [](char c) { return c >= 0x20 && c < 0x7F; }),
         "a literal is printable ASCII");
  expect(literal.size() <= companion::kLuaLiteralGrowth * text.size() + 2,
         "a literal grows five times the text at most");
  expect(luaShortString(standin::unslash(literal)) == std::string(text),
         "SciTE's unescaping of a literal gives Lua the text exactly");
}

}  // namespace

void checkCompanion(Bytes input) {
  const Run run = runFrom(asText(input));
  checkLuaLiteral(run.commandLine);
  const std::string text = companion::foldedSelection(run.commandLine);
  checkFolded(text);
  const Properties properties = propertiesOf(run.iniText);
  checkSciteProperties(run, properties);
  const companion::Settings settings = chosenSettings(run, properties);
  if (!settings.engineListKey.empty()) {
    return;  // the list's rules are the core table's
  }
  const companion::TemplateSetting& setting = settings.setting;

  const companion::Outcome outcome = companion::decide(
      {.text = text,
       .fromCaret = run.fromCaret ? companion::CaretText::word : companion::CaretText::none,
       .setting = setting});
  expect(!outcome.lines.empty(), "every run says something");
  const bool caretLine = run.fromCaret && !text.empty();
  expect(!caretLine || outcome.lines.front() == companion::wordAtCaretLine(text),
         "the word at the caret comes first");
  if (outcome.code == ExitCode::Opened) {
    expect(outcome.openings.size() == 1, "one template opens one address");
    checkOpened(text, setting, outcome, caretLine ? 1 : 0);
  } else {
    checkRefused(text, setting, outcome);
  }
}

}  // namespace fuzz
