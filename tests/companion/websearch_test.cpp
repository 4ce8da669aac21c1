// Selection to URL: what is searched for, what is opened as it is, and what is refused.
#include "companion/websearch.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <optional>
#include <string>

#include "companion/browser_command.h"
#include "companion/command_line.h"
#include "companion/engines.h"
#include "companion/ini.h"
#include "companion/properties.h"
#include "companion/run.h"
#include "companion/settings.h"
#include "companion/texts.h"
#include "director/escapes.h"
#include "director/operations.h"
#include "tests/support/fake_scite.h"

namespace {

using companion::ExitCode;

constexpr std::string_view kDefault = companion::kDefaultTemplate;
constexpr std::size_t kMaxUrl = companion::kMaxUrlLength;

// The address an outcome opens first; empty for none.
std::string urlOf(const companion::Outcome& outcome) {
  return outcome.openings.empty() ? std::string() : outcome.openings.front().url;
}

struct UrlCase {
  const char* name;
  std::string_view selection;  // as it stands on the command line, still escaped
  std::string_view urlTemplate;
  ExitCode code;
  std::string_view url;
};

TEST(Decide, SearchesForTextAndOpensOnlyWebUrls) {
  const UrlCase cases[] = {
      {"plain words", "foo bar", kDefault, ExitCode::Opened, "https://duckduckgo.com/?q=foo%20bar"},
      {"escaped line breaks", R"(first line\r\nsecond\nthird)", kDefault, ExitCode::Opened,
       "https://duckduckgo.com/?q=first%20line%20second%20third"},
      {"raw line breaks", "one\r\n\r\ntwo", kDefault, ExitCode::Opened,
       "https://duckduckgo.com/?q=one%20two"},
      {"tabs and runs of blanks", R"(  a\t\tb   c \v\f)", kDefault, ExitCode::Opened,
       "https://duckduckgo.com/?q=a%20b%20c"},
      {"quotes", R"("exact phrase" it's)", kDefault, ExitCode::Opened,
       "https://duckduckgo.com/?q=%22exact%20phrase%22%20it%27s"},
      {"escaped backslashes", R"(C:\\Tools\\x)", kDefault, ExitCode::Opened,
       "https://duckduckgo.com/?q=C%3A%5CTools%5Cx"},
      {"a backslash that escapes nothing", R"(a\qb\)", kDefault, ExitCode::Opened,
       "https://duckduckgo.com/?q=a%5Cqb%5C"},
      {"octal control bytes", R"(a\001b\037)", kDefault, ExitCode::Opened,
       "https://duckduckgo.com/?q=a%01b%1F"},
      {"octal white space", R"(a\011b\015\012)", kDefault, ExitCode::Opened,
       "https://duckduckgo.com/?q=a%20b"},
      {"bell and backspace", R"(\ax\b)", kDefault, ExitCode::Opened,
       "https://duckduckgo.com/?q=%07x%08"},
      {"reserved characters", "a+b&c=d/e?f#g%", kDefault, ExitCode::Opened,
       "https://duckduckgo.com/?q=a%2Bb%26c%3Dd%2Fe%3Ff%23g%25"},
      {"unreserved characters kept", "Az09-._~", kDefault, ExitCode::Opened,
       "https://duckduckgo.com/?q=Az09-._~"},
      {"the last letters kept", "Zz", kDefault, ExitCode::Opened, "https://duckduckgo.com/?q=Zz"},
      {"non-ASCII", "caf\xC3\xA9 \xC3\xBC \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80", kDefault,
       ExitCode::Opened,
       "https://duckduckgo.com/?q=caf%C3%A9%20%C3%BC%20%E4%B8%AD%E6%96%87%20%F0%9F%98%80"},
      {"the placeholder is not expanded twice", "{query}", kDefault, ExitCode::Opened,
       "https://duckduckgo.com/?q=%7Bquery%7D"},

      {"empty", "", kDefault, ExitCode::NothingToSearch, ""},
      {"blank only", "   ", kDefault, ExitCode::NothingToSearch, ""},
      {"escaped white space only", R"( \t\r\n\011 )", kDefault, ExitCode::NothingToSearch, ""},
      {"empty beats a bad template", "", "ftp://x/{query}", ExitCode::NothingToSearch, ""},

      {"https URL", "https://example.com/a?b=c&d=%20#frag", kDefault, ExitCode::Opened,
       "https://example.com/a?b=c&d=%20#frag"},
      {"http URL in capitals, white space around", R"(  HTTP://Example.COM/x \r\n)", kDefault,
       ExitCode::Opened, "HTTP://Example.COM/x"},
      {"URL with a quote cannot split a command line", R"(https://example.com/"--x)", kDefault,
       ExitCode::Opened, "https://example.com/%22--x"},
      {"URL with non-ASCII and brackets", "https://de.example.org/K\xC3\xB6ln<b>|{}", kDefault,
       ExitCode::Opened, "https://de.example.org/K%C3%B6ln%3Cb%3E%7C%7B%7D"},
      {"URL with a control byte", R"(https://example.com/a\033b)", kDefault, ExitCode::Opened,
       "https://example.com/a%1Bb"},
      {"URL with an IPv6 host keeps its brackets", "http://[::1]:8080/a", kDefault,
       ExitCode::Opened, "http://[::1]:8080/a"},
      {"URL with an apostrophe", "https://example.com/it's", kDefault, ExitCode::Opened,
       "https://example.com/it's"},
      {"URL and more words is searched for", "https://example.com and more", kDefault,
       ExitCode::Opened, "https://duckduckgo.com/?q=https%3A%2F%2Fexample.com%20and%20more"},
      {"scheme alone is searched for", "https://", kDefault, ExitCode::Opened,
       "https://duckduckgo.com/?q=https%3A%2F%2F"},
      {"host without scheme is searched for", "www.example.com", kDefault, ExitCode::Opened,
       "https://duckduckgo.com/?q=www.example.com"},
      {"javascript is searched for", "javascript:alert(1)", kDefault, ExitCode::Opened,
       "https://duckduckgo.com/?q=javascript%3Aalert%281%29"},
      {"file is searched for", "file:///C:/Windows/System32/calc.exe", kDefault, ExitCode::Opened,
       "https://duckduckgo.com/?q=file%3A%2F%2F%2FC%3A%2FWindows%2FSystem32%2Fcalc.exe"},
      {"other schemes are searched for", R"(ms-settings: \\\\host\\share)", kDefault,
       ExitCode::Opened, "https://duckduckgo.com/?q=ms-settings%3A%20%5C%5Chost%5Cshare"},

      {"own template", "a b", "http://search.example/find?l=en&q={query}", ExitCode::Opened,
       "http://search.example/find?l=en&q=a%20b"},
      {"every placeholder filled", "x", "https://e.example/{query}/?q={query}", ExitCode::Opened,
       "https://e.example/x/?q=x"},
      {"template characters outside URIs encoded", "x",
       "HTTPS://e.example/?q={query}&n=d\xC3\xA9 z", ExitCode::Opened,
       "HTTPS://e.example/?q=x&n=d%C3%A9%20z"},
      {"template without placeholder", "x", "https://e.example/?q=", ExitCode::BadTemplate, ""},
      {"template with another scheme", "x", "ftp://e.example/{query}", ExitCode::BadTemplate, ""},
      {"javascript template", "x", "javascript:{query}", ExitCode::BadTemplate, ""},
      {"template with the scheme later", "x", " https://e.example/{query}", ExitCode::BadTemplate,
       ""},
      {"empty template", "x", "", ExitCode::BadTemplate, ""},
      {"bad template refused for a URL too", "https://example.com", "{query}",
       ExitCode::BadTemplate, ""},
  };
  for (const auto& c : cases) {
    const std::string text = companion::searchText("w.exe " + std::string(c.selection));
    const auto outcome =
        companion::decide({.text = text, .setting = {.value = std::string(c.urlTemplate)}});
    EXPECT_EQ(outcome.code, c.code) << c.name;
    EXPECT_EQ(urlOf(outcome), c.url) << c.name;
  }
}

// What the launcher's command line carries: the selection, and the room it had for it.
struct CommandLineSelection {
  std::string selection;
  std::size_t room = 0;
  bool operator==(const CommandLineSelection&) const = default;
};

struct CommandLineCase {
  const char* name;
  std::string_view commandLine;
  CommandLineSelection expected;
};

TEST(SelectionFromCommandLine, TakesEverythingAfterTheNameAndOneBlank) {
  // The room: the system's limit less the name, its blank and the NUL, in UTF-16 units.
  constexpr std::size_t kMax = director::kMaxCommandLineUnits;
  const CommandLineCase cases[] = {
      {"quoted path with blanks",
       R"("C:\Program Files\Tools\websearch.exe" foo bar)",
       {"foo bar", kMax - 40}},
      {"only the first blank goes",
       R"("C:\Tools\websearch.exe"   two  "x" \\)",
       {R"(  two  "x" \\)", kMax - 26}},
      {"unquoted path", R"(C:\Tools\websearch.exe foo)", {"foo", kMax - 24}},
      {"tab after the name", "websearch.exe\tfoo bar", {"foo bar", kMax - 15}},
      {"no blank after the name", R"("C:\Tools\websearch.exe")", {"", kMax - 25}},
      {"a blank and nothing more", R"("C:\Tools\websearch.exe" )", {"", kMax - 26}},
      {"unquoted name alone", "websearch.exe", {"", kMax - 14}},
      {"empty command line", "", {"", kMax - 1}},
      {"quotes inside the name", R"(C:\"Program Files"\websearch.exe a)", {"a", kMax - 34}},
      {"text right after the closing quote belongs to the name",
       R"("C:\a b\w.exe"x y)",
       {"y", kMax - 17}},
      {"unclosed quote swallows the rest", R"("C:\a b\websearch.exe foo)", {"", kMax - 26}},
      {"a path counted in UTF-16 units",
       "\"C:\\caf\xC3\xA9\\\xF0\x9F\x98\x80\\w.exe\" a",
       {"a", kMax - 20}},
  };
  for (const auto& c : cases) {
    const CommandLineSelection got{companion::selectionFromCommandLine(c.commandLine),
                                   companion::selectionRoom(c.commandLine)};
    EXPECT_EQ(got, c.expected) << c.name;
  }
}

struct IniCase {
  const char* name;
  std::string_view text;
  std::optional<std::string> urlTemplate;
};

TEST(TemplateFor, FindsTheFirstUrlSetting) {
  const IniCase cases[] = {
      {"plain", "url=https://e.example/?q={query}", "https://e.example/?q={query}"},
      {"CRLF, BOM and blanks",
       "\xEF\xBB\xBF ; search engine\r\n  URL = https://e.example/{query} \r\n",
       "https://e.example/{query}"},
      {"quoted value", "url=\"https://e.example/?q={query}\"\n", "https://e.example/?q={query}"},
      {"a pair of quotes alone", "url=\"\"\n", ""},
      {"an unclosed quote kept", "url=\"https://e.example/{query}", "\"https://e.example/{query}"},
      {"BOM right before the key", "\xEF\xBB\xBFurl=http://bom/{query}", "http://bom/{query}"},
      {"url.= is no setting without an extension", "url.=http://x/{query}\n", std::nullopt},
      {"value with equals signs", "url=https://e.example/?a=1&q={query}",
       "https://e.example/?a=1&q={query}"},
      {"sections and comments skipped",
       "[websearch]\n# url=http://no/{query}\nurl=http://yes/{query}", "http://yes/{query}"},
      {"first one wins", "url=http://first/{query}\nurl=http://second/{query}",
       "http://first/{query}"},
      {"empty value is a setting", "url=\n", ""},
      {"other keys only", "urls=http://x/{query}\nquery=1\n", std::nullopt},
      {"line without equals", "url http://x/{query}\n", std::nullopt},
      {"empty file", "", std::nullopt},
  };
  for (const auto& c : cases) {
    const auto setting = companion::templateFor({.text = std::string(c.text)}, "");
    EXPECT_EQ(setting.source == companion::SettingSource::BuiltIn ? std::nullopt
                                                                  : std::optional(setting.value),
              c.urlTemplate)
        << c.name;
  }
}

// A template of exactly `total` characters with `fill` in place of the placeholders when `fill`
// takes `room` characters: "https://e.example/ppp.../<fill>/<fill>".
std::string padded(std::size_t room, std::string_view fill, std::size_t placeholders = 1,
                   std::size_t total = kMaxUrl) {
  const std::string head = "https://e.example/";
  std::string out = head;
  out.append(total - head.size() - placeholders * (room + 1), 'p');
  for (std::size_t i = 0; i < placeholders; ++i) {
    out += '/';
    out += fill;
  }
  return out;
}

struct DecideCase {
  const char* name;
  std::string ini;
  std::string_view fileExt;
  std::string text;  // folded
  companion::CaretText fromCaret;
  ExitCode code;
  std::string lines;  // joined by line breaks
  std::size_t limit = kMaxUrl;
};

constexpr std::string_view kCut = "+> Cut to %: the selection is too long for a search address.\n";

std::string cut(std::string_view characters) {
  const std::size_t at = kCut.find('%');
  std::string line(kCut.substr(0, at));
  line += characters;
  line += kCut.substr(at + 1);
  return line;
}

TEST(Decide, PicksTheTemplateAndKeepsTheAddressWithinTheLimit) {
  const std::string ini =
      "url=https://all.example/{query}\nURL.Py=https://py.example/{query}\n"
      "url.py=https://second.example/{query}";
  const std::string tenLeft = "url=" + padded(10, "{query}");
  const std::string webAddress = "https://e.example/" + std::string(kMaxUrl - 18, 'a');
  // A web address that reaches the limit once its last character is encoded.
  const std::string encodedToLimit = "https://e.example/" + std::string(kMaxUrl - 21, 'a') + "<";
  // A template's fixed part with a blank in it, three characters once encoded.
  const auto blankAt20 = [](std::string text, std::string_view blank = " ") {
    return text.replace(20, 1, blank);
  };
  const std::string mustBe = " must begin with http:// or https:// and contain {query}.";
  constexpr std::size_t kOldWine = companion::kOldWineMaxUrlLength;
  const std::string old10Left = padded(10, "{query}", 1, kOldWine);
  const std::string oldWebAddress = "https://e.example/" + std::string(kOldWine - 18, 'a');
  constexpr auto kSelected = companion::CaretText::none;
  constexpr auto kWord = companion::CaretText::word;
  constexpr auto kAddress = companion::CaretText::address;
  const DecideCase cases[] = {
      {"extension compared without case", ini, "pY", "x", kSelected, ExitCode::Opened,
       "+> Search: https://py.example/x"},
      {"empty extension", ini, "", "x", kSelected, ExitCode::Opened,
       "+> Search: https://all.example/x"},
      {"no line for the extension", ini, "cpp", "x", kSelected, ExitCode::Opened,
       "+> Search: https://all.example/x"},
      {"extension with the last capital", "url.z=https://z.example/{query}", "Z", "x", kSelected,
       ExitCode::Opened, "+> Search: https://z.example/x"},
      {"no setting at all", "[x]\nurls=https://x/{query}", "py", "x", kSelected, ExitCode::Opened,
       "+> Search: https://duckduckgo.com/?q=x"},
      {"bad template with its line and key",
       "\xEF\xBB\xBF; c\r\n\r\n Url.Txt = \"ftp://x/{query}\"", "TXT", "x", kSelected,
       ExitCode::BadTemplate, R"(!> C:\Tools\websearch.ini, line 3: Url.Txt=)" + mustBe},
      {"bad template refused for a web address", "url=https://x/", "", "https://e.example/",
       kSelected, ExitCode::BadTemplate, R"(!> C:\Tools\websearch.ini, line 1: url=)" + mustBe},
      {"only the used template is checked", "url=bad\nurl.py=https://py.example/{query}", "py", "x",
       kSelected, ExitCode::Opened, "+> Search: https://py.example/x"},
      {"nothing to search", ini, "py", "", kWord, ExitCode::NothingToSearch,
       "!> Nothing to search: select some text, or put the caret in a word."},
      {"word at the caret", "", "", "word", kWord, ExitCode::Opened,
       "+> Word at caret: word\n+> Search: https://duckduckgo.com/?q=word"},
      {"address at the caret: opened as a selected one", "", "", "https://e.example/a", kAddress,
       ExitCode::Opened, "+> Address at caret: https://e.example/a\n+> Open: https://e.example/a"},
      {"web address at the limit", "", "", webAddress, kSelected, ExitCode::Opened,
       "+> Open: " + webAddress},
      {"web address at the limit once encoded", "", "", encodedToLimit, kSelected, ExitCode::Opened,
       "+> Open: " + encodedToLimit.substr(0, kMaxUrl - 3) + "%3C"},
      {"web address over the limit once encoded", tenLeft, "",
       "https://e.example/a" + encodedToLimit.substr(18), kSelected, ExitCode::Opened,
       cut("6 characters") + "+> Search: " + padded(10, "https%3A")},

      {"fits exactly", tenLeft, "", "abcd\xC3\xA9", kSelected, ExitCode::Opened,
       "+> Search: " + padded(10, "abcd%C3%A9")},
      {"cut at the last blank that fits", tenLeft, "", "abc def ghij", kSelected, ExitCode::Opened,
       cut("7 characters") + "+> Search: " + padded(10, "abc%20def")},
      {"cut at a blank well before the limit", tenLeft, "", "ab cdefghijkl", kSelected,
       ExitCode::Opened, cut("2 characters") + "+> Search: " + padded(10, "ab")},
      {"the template's own characters counted encoded", "url=" + blankAt20(padded(10, "{query}")),
       "", "abcdefghij", kSelected, ExitCode::Opened,
       cut("8 characters") + "+> Search: " + blankAt20(padded(10, "abcdefgh"), "%20")},
      {"cut without a blank", tenLeft, "", "abcdefghijkl", kSelected, ExitCode::Opened,
       cut("10 characters") + "+> Search: " + padded(10, "abcdefghij")},
      {"a character of two bytes at the limit", tenLeft, "", "abcdefgh\xC3\xA9", kSelected,
       ExitCode::Opened, cut("8 characters") + "+> Search: " + padded(10, "abcdefgh")},
      {"escapes never split", tenLeft, "", "abcdefg&&", kSelected, ExitCode::Opened,
       cut("8 characters") + "+> Search: " + padded(10, "abcdefg%26")},
      {"characters counted, not bytes", tenLeft, "", "\xC3\xA9\xC3\xA9 x", kSelected,
       ExitCode::Opened, cut("1 characters") + "+> Search: " + padded(10, "%C3%A9")},
      {"every placeholder counts", "url=" + padded(5, "{query}", 2), "", "a b c", kSelected,
       ExitCode::Opened, cut("3 characters") + "+> Search: " + padded(5, "a%20b", 2)},
      {"web address over the limit searched for", tenLeft, "", webAddress + "a", kSelected,
       ExitCode::Opened, cut("6 characters") + "+> Search: " + padded(10, "https%3A")},
      {"no room for one character", "\nurl=" + padded(5, "{query}"), "", "\xC3\xA9", kWord,
       ExitCode::BadTemplate,
       "+> Word at caret: \xC3\xA9\n!> C:\\Tools\\websearch.ini, line 2: url= leaves no room for "
       "the search words within 2,048 characters."},

      {"old Wine: fits exactly", "url=" + old10Left, "", "abcdefghij", kSelected, ExitCode::Opened,
       "+> Search: " + padded(10, "abcdefghij", 1, kOldWine), kOldWine},
      {"old Wine: one character over", "url=" + old10Left, "", "abcdefghijk", kSelected,
       ExitCode::Opened,
       cut("10 characters") + "+> Search: " + padded(10, "abcdefghij", 1, kOldWine), kOldWine},
      {"old Wine: web address at its limit", "", "", oldWebAddress, kSelected, ExitCode::Opened,
       "+> Open: " + oldWebAddress, kOldWine},
      {"old Wine: web address over its limit", "url=" + old10Left, "", oldWebAddress + "a",
       kSelected, ExitCode::Opened,
       cut("6 characters") + "+> Search: " + padded(10, "https%3A", 1, kOldWine), kOldWine},
      {"old Wine: no room names its limit", tenLeft, "", "x", kSelected, ExitCode::BadTemplate,
       "!> C:\\Tools\\websearch.ini, line 1: url= leaves no room for the search words within 900 "
       "characters.",
       kOldWine},
  };
  for (const auto& c : cases) {
    const auto outcome =
        companion::decide({.text = c.text,
                           .fromCaret = c.fromCaret,
                           .setting = companion::templateFor(
                               {.path = R"(C:\Tools\websearch.ini)", .text = c.ini}, c.fileExt),
                           .maxUrlLength = c.limit});
    std::string lines;
    for (const auto& line : outcome.lines) {
      lines += (lines.empty() ? "" : "\n") + line;
    }
    EXPECT_EQ(outcome.code, c.code) << c.name;
    EXPECT_EQ(lines, c.lines) << c.name;
    const std::string_view last = std::string_view(c.lines).substr(c.lines.rfind('\n') + 1);
    EXPECT_EQ(urlOf(outcome), c.code == ExitCode::Opened ? last.substr(last.find(": ") + 2) : "")
        << c.name;
  }
  EXPECT_EQ(companion::browserFailedLine("Access is denied. \r\n", 5),
            "!> The browser could not be started: Access is denied (5).");
  EXPECT_EQ(companion::searchText(R"(w.exe  a\tb\n)"), "a b");
}

TEST(UrlLimit, ShorterOnlyUnderWineBefore8_17) {
  const std::pair<std::optional<std::string_view>, std::size_t> cases[] = {
      {std::nullopt, kMaxUrl},
      {"8.0", 900},
      {"8.2", 900},
      {"8.16", 900},
      {"8.17", kMaxUrl},
      {"9.0", kMaxUrl},
      {"10.0-rc2", kMaxUrl},
      {"", 900},
      {"x", 900},
      {"8", 900},
      {"9.x", 900},
  };
  for (const auto& [version, limit] : cases) {
    EXPECT_EQ(companion::maxUrlLengthFor(version), limit) << version.value_or("not Wine");
  }
}

struct SciteCase {
  const char* name;
  std::map<std::string, std::string> properties;  // SciTE's raw values
  std::string_view fileExt;
  std::string said;     // the outcome's lines; with a list, "? <names>" and the lines after it
  bool inReach = true;  // false: SciTE out of reach, its properties not asked
  std::string_view text = "x";
  std::optional<std::string> pick;  // the user's pick from the list; none: closed without one
};

// Two engines every row may name, unless it sets them itself.
const std::map<std::string, std::string> kEngines = {
    {"websearch.engine.A", "https://a.example/?q={query}"},
    {"websearch.engine.B", "https://b.example/?q={query}"}};

std::string joined(const std::vector<std::string>& lines, std::string_view separator = "\n") {
  std::string out;
  for (const auto& line : lines) {
    out += (out.empty() ? "" : std::string(separator)) + line;
  }
  return out;
}

TEST(TemplateFromScite, ComesBeforeTheIniAndExpandsReferences) {
  const std::string ini = "url.py=https://ini-py.example/{query}\nurl=https://ini.example/{query}";
  const std::string mustBe = " must begin with http:// or https:// and contain {query}.";
  const std::string noPick = "+> No engine chosen: nothing opened.";
  std::map<std::string, std::string> tenDeep{{"websearch.url", "$(l1)"}};
  for (int level = 1; level < 10; ++level) {
    tenDeep["l" + std::to_string(level)] = "$(l" + std::to_string(level + 1) + ")";
  }
  tenDeep["l10"] = "https://deep.example/{query}";
  auto elevenDeep = tenDeep;
  elevenDeep["l10"] = "$(l11)";
  elevenDeep["l11"] = "https://deep.example/{query}";
  const auto repeated = [](std::string_view text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
      out += text;
    }
    return out;
  };
  const std::string refs200 = repeated("$(u)", 200);
  // A group of `size` engines E1, E2, ..., each defined, and the lines a search with it says.
  const auto groupOf = [](int size) {
    std::map<std::string, std::string> properties{{"websearch.engines", "G"}};
    std::string members;
    std::string lines;
    for (int at = 1; at <= size; ++at) {
      const std::string name = "E" + std::to_string(at);
      properties["websearch.engine." + name] = "https://" + name + ".example/?q={query}";
      members += " " + name;
      lines += (at == 1 ? "" : "\n") + std::string("+> Search: https://") + name + ".example/?q=x";
    }
    properties["websearch.group.G"] = members;
    return std::pair{properties, lines};
  };
  const auto [groupOf8, searchedBy8] = groupOf(8);
  const auto groupOf9 = groupOf(9).first;
  const std::string searchA = "+> Search: https://a.example/?q=x";
  const std::string searchB = "+> Search: https://b.example/?q=x";
  // A value that is exactly `size` bytes long once $(k) is expanded, $(q) still to come.
  const auto grownTo = [](std::size_t size) {
    const std::string head = "https://e.example/";
    const std::string tail = "$(q)";
    return std::map<std::string, std::string>{
        {"websearch.url", head + "$(k)" + tail},
        {"k", std::string(size - head.size() - tail.size(), 'p')},
        {"q", "{query}"}};
  };
  const SciteCase cases[] = {
      {"SciTE's key for the extension first",
       {{"websearch.url.py", "https://py.example/{query}"},
        {"websearch.url", "https://all.example/{query}"}},
       "py",
       "+> Search: https://py.example/x"},
      {"then SciTE's general key",
       {{"websearch.url", "https://all.example/{query}"}},
       "py",
       "+> Search: https://all.example/x"},
      {"an empty value is no setting",
       {{"websearch.url.py", ""}, {"websearch.url", "https://all.example/{query}"}},
       "py",
       "+> Search: https://all.example/x"},
      {"the extension in lower case",
       {{"websearch.url.py", "https://py.example/{query}"}},
       "PY",
       "+> Search: https://py.example/x"},
      {"then the ini", {}, "py", "+> Search: https://ini-py.example/x"},
      {"SciTE out of reach: the ini",
       {{"websearch.url.py", "https://py.example/{query}"}},
       "py",
       "+> Search: https://ini-py.example/x",
       false},
      {"no key with a dot and no extension",
       {{"websearch.url.", "https://dot.example/{query}"}},
       "",
       "+> Search: https://ini.example/x"},
      {"a reference",
       {{"websearch.url", "$(engine)"}, {"engine", "https://e.example/{query}"}},
       "",
       "+> Search: https://e.example/x"},
      {"nested references",
       {{"websearch.url", "$(a)/{query}"}, {"a", "$(b).example"}, {"b", "https://n"}},
       "",
       "+> Search: https://n.example/x"},
      {"the innermost reference first",
       {{"websearch.url", "$(e$(n))"}, {"n", "1"}, {"e1", "https://one.example/{query}"}},
       "",
       "+> Search: https://one.example/x"},
      {"an undefined name is empty",
       {{"websearch.url", "https://e.example/$(none){query}"}},
       "",
       "+> Search: https://e.example/x"},
      {"expression forms are not asked for",
       {{"websearch.url", "https://e.example/$(= 1+2)$(star x){query}"}, {"= 1+2", "3"}},
       "",
       "+> Search: https://e.example/x"},
      {"a name starting with = is an expression",
       {{"websearch.url", "https://e.example/$(=1+2){query}"}, {"=1+2", "3"}},
       "",
       "+> Search: https://e.example/x"},
      {"growth stops past 64 KiB, the rest left as text",
       {{"websearch.url", "https://e.example/" + repeated("$(k)", 70) + "$(q)"},
        {"k", std::string(1024, 'p')},
        {"q", "{query}"}},
       "",
       "!> SciTE property websearch.url" + mustBe},
      {"grown to 64 KiB: the next reference expanded", grownTo(companion::kMaxExpandedBytes), "",
       "!> SciTE property websearch.url leaves no room for the search words within 2,048 "
       "characters."},
      {"grown a byte past 64 KiB: the next reference left as text",
       grownTo(companion::kMaxExpandedBytes + 1), "", "!> SciTE property websearch.url" + mustBe},
      {"$( without ) is text",
       {{"websearch.url", "https://e.example/{query}$(x"}},
       "",
       "+> Search: https://e.example/x$(x"},
      {"200 references expanded",
       {{"websearch.url", "https://e.example/{query}" + refs200}},
       "",
       "+> Search: https://e.example/x"},
      {"the 201st left as text",
       {{"websearch.url", "https://e.example/{query}" + refs200 + "$(u)"}},
       "",
       "+> Search: https://e.example/x$(u)"},
      {"10 levels", tenDeep, "", "+> Search: https://deep.example/x"},
      {"11 levels", elevenDeep, "",
       "!> SciTE property websearch.url refers to itself or nests more than 10 levels."},
      {"a reference to itself",
       {{"websearch.url.py", "https://e.example/$(websearch.url.py)"}},
       "py",
       "!> SciTE property websearch.url.py refers to itself or nests more than 10 levels."},
      {"a circle",
       {{"websearch.url", "$(a)"}, {"a", "$(b)"}, {"b", "$(a)"}},
       "",
       "!> SciTE property websearch.url refers to itself or nests more than 10 levels."},
      {"a circle found even near the cap",
       {{"websearch.url", "https://e.example/{query}" + refs200.substr(12) + "$(a)"},
        {"a", "$(a)"}},
       "",
       "!> SciTE property websearch.url refers to itself or nests more than 10 levels."},
      {"the same name twice is no circle",
       {{"websearch.url", "$(h)$(h){query}"}, {"h", "https://h"}},
       "",
       "+> Search: https://hhttps://hx"},
      {"a bad template",
       {{"websearch.url.py", "ftp://x/{query}"}},
       "py",
       "!> SciTE property websearch.url.py" + mustBe},
      {"expanded to nothing: no fallback to the ini",
       {{"websearch.url", "$(none)"}},
       "py",
       "!> SciTE property websearch.url" + mustBe},
      {"no room",
       {{"websearch.url", "https://e.example/" + std::string(kMaxUrl, 'p') + "{query}"}},
       "",
       "!> SciTE property websearch.url leaves no room for the search words within 2,048 "
       "characters."},

      {"engines for the extension before its template",
       {{"websearch.engines.py", "A B"}, {"websearch.url.py", "https://py.example/{query}"}},
       "py",
       "? A B\n" + noPick},
      {"the extension's template before the general engines",
       {{"websearch.url.py", "https://py.example/{query}"}, {"websearch.engines", "A B"}},
       "py",
       "+> Search: https://py.example/x"},
      {"the general engines before the general template, a pick",
       {{"websearch.engines", "A B"}, {"websearch.url", "https://all.example/{query}"}},
       "py",
       "? A B\n+> Search: https://b.example/?q=x",
       true,
       "x",
       "B"},
      {"an empty list is no setting",
       {{"websearch.engines.py", ""}, {"websearch.engines", "A\tB"}},
       "py",
       "? A B\n" + noPick},
      {"a name twice, once; references expanded",
       {{"websearch.engines", "$(mine) A"}, {"mine", "B A"}},
       "",
       "? B A\n" + noPick},
      {"a bad name and a missing engine left out",
       {{"websearch.engines", "A b?d C b?d B"}},
       "",
       "!> SciTE property websearch.engines names \"b?d\": an engine name is letters, digits and "
       ". _ + - only.\n!> SciTE property websearch.engine.C" +
           mustBe + "\n? A B\n" + noPick},
      {"one usable engine at once",
       {{"websearch.engines", "A C"}},
       "",
       "!> SciTE property websearch.engine.C" + mustBe + "\n+> Search: https://a.example/?q=x"},
      {"no usable engine",
       {{"websearch.engines", "C"}, {"websearch.engine.C", "$(websearch.engine.C)"}},
       "",
       "!> SciTE property websearch.engine.C refers to itself or nests more than 10 levels."},
      {"no usable engine and nothing to search: both said, in order",
       {{"websearch.engines", "C"}, {"websearch.engine.C", "$(websearch.engine.C)"}},
       "",
       "!> SciTE property websearch.engine.C refers to itself or nests more than 10 levels.\n"
       "!> Nothing to search: select some text, or put the caret in a word.",
       true,
       ""},
      {"+ in an engine name",
       {{"websearch.engines", "C++ A"}, {"websearch.engine.C++", "https://cpp.example/?q={query}"}},
       "",
       "? C++ A\n+> Search: https://cpp.example/?q=x",
       true,
       "x",
       "C++"},
      {"no names",
       {{"websearch.engines", "$(none) "}},
       "",
       "!> SciTE property websearch.engines names no engine."},
      {"no list for a web address",
       {{"websearch.engines", "A B"}},
       "",
       "+> Open: https://e.example/",
       true,
       "https://e.example/"},
      {"no list for nothing to search",
       {{"websearch.engines", "A B"}},
       "",
       "!> Nothing to search: select some text, or put the caret in a word.",
       true,
       ""},

      {"a group picked: each member in the group's order, a name twice once",
       {{"websearch.engines", "A G"}, {"websearch.group.G", "B A B"}},
       "",
       "? A G\n" + searchB + "\n" + searchA,
       true,
       "x",
       "G"},
      {"a group as the only name: at once",
       {{"websearch.engines", "G"}, {"websearch.group.G", "$(both)"}, {"both", "A B"}},
       "",
       searchA + "\n" + searchB},
      {"a member that is no engine left out",
       {{"websearch.engines", "G"}, {"websearch.group.G", "A C b?d B"}},
       "",
       "!> SciTE property websearch.group.G names \"C\", which is no engine: left out.\n"
       "!> SciTE property websearch.group.G names \"b?d\": an engine name is letters, digits and "
       ". _ + - only.\n" +
           searchA + "\n" + searchB},
      {"no usable member: nothing opens",
       {{"websearch.engines", "G"}, {"websearch.group.G", "C"}},
       "",
       "!> SciTE property websearch.group.G names \"C\", which is no engine: left out."},
      {"a group inside a group: refused whole, the rest of the list kept",
       {{"websearch.engines", "A G"}, {"websearch.group.G", "B H"}, {"websearch.group.H", "A"}},
       "",
       "!> SciTE property websearch.group.G names the group \"H\": a group holds engines only. "
       "Nothing of it opens.\n" +
           searchA},
      {"8 members", groupOf8, "", searchedBy8},
      {"9 members: refused whole", groupOf9, "",
       "!> SciTE property websearch.group.G names 9 engines, more than 8. Nothing of it opens."},
      {"a group that is an engine too: the group counts, said once",
       {{"websearch.engines", "G G"},
        {"websearch.group.G", "A B"},
        {"websearch.engine.G", "https://g.example/?q={query}"}},
       "",
       "!> SciTE property websearch.group.G: \"G\" is an engine too; the group counts.\n" +
           searchA + "\n" + searchB},
      {"an address selected opens once, not once a member",
       {{"websearch.engines", "G"}, {"websearch.group.G", "A B"}},
       "",
       "+> Open: https://e.example/",
       true,
       "https://e.example/"},
  };
  for (const auto& c : cases) {
    std::map<std::string, int> asked;
    const auto lookup = [&](const std::string& name) {
      ++asked[name];
      const auto found = c.properties.find(name);
      if (found != c.properties.end()) {
        return found->second;
      }
      const auto engine = kEngines.find(name);
      return engine == kEngines.end() ? std::string() : engine->second;
    };
    int iniReads = 0;
    const auto readIni = [&] {
      ++iniReads;
      return companion::IniFile{.path = R"(C:\w.ini)", .text = ini};
    };
    const auto settings = companion::chooseSettings(
        c.fileExt, c.inReach ? companion::PropertyLookup(lookup) : nullptr, readIni);
    const companion::SearchRequest request{.text = c.text};
    const auto plan = companion::plan(settings, request);
    std::string said = joined(plan.outcome.lines);
    if (!plan.offer.empty()) {
      said += (said.empty() ? "? " : "\n? ") + joined(plan.offer, " ") + "\n" +
              joined(companion::afterList(settings, request, c.pick).lines);
    }
    EXPECT_EQ(said, c.said) << c.name;
    // websearch.ini is read only when no SciTE key decides.
    const bool fromScite = !settings.engineListKey.empty() ||
                           settings.setting.source == companion::SettingSource::Scite;
    EXPECT_EQ(iniReads, fromScite ? 0 : 1) << c.name;
    for (const auto& [name, count] : asked) {
      EXPECT_EQ(count, 1) << c.name << ": " << name;
      EXPECT_FALSE(name.starts_with('=') || name.starts_with("star")) << c.name;
    }
  }
}

// What one run did with its addresses: the lines it said, the programs it started and the
// addresses the default browser got, each in order.
struct OpenedWith {
  ExitCode code = ExitCode::Opened;
  std::vector<std::string> said;
  std::vector<companion::ProgramCommand> started;
  std::vector<std::string> byDefault;
  bool operator==(const OpenedWith&) const = default;
};

void PrintTo(const OpenedWith& run, std::ostream* out) {
  *out << "exit " << static_cast<int>(run.code) << "\n";
  for (const std::string& line : run.said) {
    *out << "  said " << line << "\n";
  }
  for (const companion::ProgramCommand& started : run.started) {
    *out << "  started [" << started.program << "]";
    for (const std::string& argument : started.arguments) {
      *out << " [" << argument << "]";
    }
    *out << "\n";
  }
  for (const std::string& url : run.byDefault) {
    *out << "  default browser got [" << url << "]\n";
  }
}

struct BrowserCase {
  const char* name;
  std::map<std::string, std::string, std::less<>> properties;
  std::string text;  // the selection, folded
  companion::CommandLineRules rules;
  OpenedWith run;
  std::optional<std::string> picked = std::nullopt;  // from SciTE's list
  bool startFails = false;
  std::vector<std::string> failing = {};  // addresses and programs that do not open
};

// The run over a SciTE holding `c.properties`, with a system that records what it starts.
OpenedWith openedWith(const BrowserCase& c) {
  constexpr std::uint32_t kProcessId = 7;  // recordingSystem's
  test_support::FakeScite scite;
  for (const auto& [key, value] : c.properties) {
    scite.answers[key] = {value};
  }
  if (c.picked) {
    scite.answers["websearch.state." + std::to_string(kProcessId)] = {"picked " + *c.picked};
  }
  test_support::Handed handed{.failing = c.failing};
  companion::RunSystem system = test_support::recordingSystem(handed, c.startFails);
  system.commandLineRules = c.rules;
  OpenedWith run;
  run.code = companion::searchSelection(scite, c.text, system);
  run.started = handed.started;
  run.byDefault = handed.byDefault;
  for (const test_support::SentCommand& sent : scite.sent) {
    if (sent.command.starts_with("output:")) {
      run.said.push_back(sent.command);
    }
  }
  return run;
}

// The lines as the run sends them to SciTE's pane.
std::vector<std::string> said(const std::vector<std::string>& lines) {
  std::vector<std::string> commands;
  for (const std::string& line : lines) {
    commands.push_back(director::OutputCommand(director::outputEscaped(line), true));
  }
  return commands;
}

TEST(BrowserCommand, TheKeyThatCountsSplitIntoOneProgramAndItsArguments) {
  using companion::CommandLineRules;
  using companion::ProgramCommand;
  constexpr auto kWindows = CommandLineRules::Windows;
  constexpr auto kPosix = CommandLineRules::Posix;
  const std::string ddg = "https://duckduckgo.com/?q=a%20b";
  const std::string search = "+> Search: " + ddg;
  const std::string firefox = R"(C:\Program Files\Mozilla Firefox\firefox.exe)";
  const std::string firefoxLine = "\"" + firefox + "\" -private-window";
  const std::string mdn = "https://developer.mozilla.org/search?q=a%20b";
  const std::map<std::string, std::string, std::less<>> twoEngines{
      {"websearch.engine.DDG", "https://duckduckgo.com/?q={query}"},
      {"websearch.engine.MDN", "https://developer.mozilla.org/search?q={query}"},
      {"websearch.engines", "DDG MDN"},
      {"websearch.browser.MDN", "zeal"},
  };
  const auto with = [](auto base, const std::map<std::string, std::string, std::less<>>& more) {
    for (const auto& [key, value] : more) {
      base[key] = value;
    }
    return base;
  };
  const auto opened = [](std::vector<std::string> lines, ProgramCommand command) {
    lines.push_back("+> Opened with: " + command.program);
    return OpenedWith{.said = said(lines), .started = {std::move(command)}};
  };
  const auto byDefault = [](std::vector<std::string> lines, std::string url) {
    return OpenedWith{.said = said(lines), .byDefault = {std::move(url)}};
  };
  const auto refused = [](std::vector<std::string> lines) {
    return OpenedWith{.code = ExitCode::BadTemplate, .said = said(lines)};
  };
  const auto notCommand = [](std::string_view key, std::string_view why) {
    return companion::notACommandLineLine(key, why);
  };
  const std::string dash = "dash-plugin://keys=cpp&query=";
  const BrowserCase cases[] = {
      // Which key counts.
      {"no key: the default browser", {}, "a b", kWindows, byDefault({search}, ddg)},
      {"a blank value: the default browser",
       {{"websearch.browser", "  "}},
       "a b",
       kWindows,
       byDefault({search}, ddg)},
      {"websearch.browser, the address appended",
       {{"websearch.browser", firefoxLine}},
       "a b",
       kWindows,
       opened({search}, {firefox, {"-private-window", ddg}})},
      {"the picked engine's own program", with(twoEngines, {{"websearch.browser", "firefox"}}),
       "a b", kPosix, opened({"+> Search: " + mdn}, {"zeal", {mdn}}), "MDN"},
      {"the other engine: websearch.browser", with(twoEngines, {{"websearch.browser", "firefox"}}),
       "a b", kPosix, opened({search}, {"firefox", {ddg}}), "DDG"},
      {"the other engine, no websearch.browser: the default browser", twoEngines, "a b", kPosix,
       byDefault({search}, ddg), "DDG"},
      {"the only engine's own program",
       {{"websearch.engine.MDN", "https://developer.mozilla.org/search?q={query}"},
        {"websearch.engines", "MDN"},
        {"websearch.browser.MDN", "zeal"}},
       "a b",
       kPosix,
       opened({"+> Search: " + mdn}, {"zeal", {mdn}})},
      {"an address selected: websearch.browser, not the engine's",
       {{"websearch.engines", "MDN"},
        {"websearch.engine.MDN", "https://developer.mozilla.org/search?q={query}"},
        {"websearch.browser.MDN", "zeal"},
        {"websearch.browser", "firefox"}},
       "https://example.org/x",
       kPosix,
       opened({"+> Open: https://example.org/x"}, {"firefox", {"https://example.org/x"}})},
      {"an address selected, only an engine's program: the default browser",
       {{"websearch.engines", "MDN"},
        {"websearch.engine.MDN", "https://developer.mozilla.org/search?q={query}"},
        {"websearch.browser.MDN", "zeal"}},
       "https://example.org/x",
       kPosix,
       byDefault({"+> Open: https://example.org/x"}, "https://example.org/x")},

      // An engine's own key named when its program is refused.
      {"a .cmd program on Windows",
       {{"websearch.browser.MDN", R"(C:\tools\open.cmd)"},
        {"websearch.engines", "MDN"},
        {"websearch.engine.MDN", "https://developer.mozilla.org/search?q={query}"}},
       "a b",
       kWindows,
       refused({notCommand("websearch.browser.MDN",
                           "Windows runs a .cmd file through cmd.exe, where & % and ! in an "
                           "address act whatever the quoting")})},

      // Schemes: any to a program, http(s) to the default browser.
      {"another scheme to a program",
       {{"websearch.url", dash + "{query}"}, {"websearch.browser", "zeal"}},
       "vector",
       kPosix,
       opened({"+> Search: " + dash + "vector"}, {"zeal", {dash + "vector"}})},
      {"another scheme to the default browser",
       {{"websearch.url", dash + "{query}"}},
       "vector",
       kPosix,
       refused({"!> SciTE property websearch.url must begin with http:// or https:// and "
                "contain {query}."})},
      {"no scheme at all to a program",
       {{"websearch.url", "{query}"}, {"websearch.browser", "zeal"}},
       "vector",
       kPosix,
       refused({"!> SciTE property websearch.url must begin with a scheme (such as https:) and "
                "contain {query}."})},
      {"an engine of another scheme with its own program",
       {{"websearch.engines", "Zeal"},
        {"websearch.engine.Zeal", dash + "{query}"},
        {"websearch.browser.Zeal", "zeal"}},
       "vector",
       kPosix,
       opened({"+> Search: " + dash + "vector"}, {"zeal", {dash + "vector"}})},
      {"an engine of another scheme left out without a program",
       {{"websearch.engines", "Zeal DDG"},
        {"websearch.engine.Zeal", dash + "{query}"},
        {"websearch.engine.DDG", "https://duckduckgo.com/?q={query}"}},
       "a b",
       kPosix,
       byDefault({"!> SciTE property websearch.engine.Zeal must begin with http:// or https:// "
                  "and contain {query}.",
                  search},
                 ddg)},
      {"a selection of another scheme is searched for, even with a program",
       {{"websearch.browser", "zeal"}},
       "dash-plugin://x",
       kPosix,
       opened({"+> Search: https://duckduckgo.com/?q=dash-plugin%3A%2F%2Fx"},
              {"zeal", {"https://duckduckgo.com/?q=dash-plugin%3A%2F%2Fx"}})},

      // A program that does not start: nothing else opens.
      {"a program that does not start",
       {{"websearch.browser", "firefox --new"}},
       "a b",
       kPosix,
       {.code = ExitCode::OpenFailed,
        .said = said({search,
                      "!> Could not start firefox (websearch.browser): No such file or "
                      "directory. Nothing opened."}),
        .started = {ProgramCommand{"firefox", {"--new", ddg}}}},
       std::nullopt,
       true},

      // A group: each member through its own browser rule, started in the group's order.
      {"a group's members, each where its own rule says",
       with(twoEngines, {{"websearch.engines", "Both"}, {"websearch.group.Both", "MDN DDG"}}),
       "a b",
       kPosix,
       {.said = said({"+> Search: " + mdn, search, "+> Opened with: zeal"}),
        .started = {{"zeal", {mdn}}},
        .byDefault = {ddg}}},
      {"a member's program does not start: the others open, the pane says which",
       with(twoEngines, {{"websearch.engines", "Both"}, {"websearch.group.Both", "MDN DDG"}}),
       "a b",
       kPosix,
       {.code = ExitCode::PartlyOpened,
        .said = said({"+> Search: " + mdn, search,
                      "!> Could not start zeal (websearch.browser.MDN) for " + mdn +
                          ": No such file or directory."}),
        .started = {{"zeal", {mdn}}},
        .byDefault = {ddg}},
       std::nullopt,
       false,
       {"zeal"}},
      {"the default browser fails a member",
       with(twoEngines, {{"websearch.engines", "Both"}, {"websearch.group.Both", "DDG MDN"}}),
       "a b",
       kPosix,
       {.code = ExitCode::PartlyOpened,
        .said = said({search, "+> Search: " + mdn,
                      "!> The browser could not be started for " + ddg + ": No application (4).",
                      "+> Opened with: zeal"}),
        .started = {{"zeal", {mdn}}},
        .byDefault = {ddg}},
       std::nullopt,
       false,
       {ddg}},
      {"every member fails",
       with(twoEngines, {{"websearch.engines", "Both"}, {"websearch.group.Both", "DDG MDN"}}),
       "a b",
       kPosix,
       {.code = ExitCode::OpenFailed,
        .said = said({search, "+> Search: " + mdn,
                      "!> The browser could not be started for " + ddg + ": No application (4).",
                      "!> Could not start zeal (websearch.browser.MDN) for " + mdn +
                          ": No such file or directory."}),
        .started = {{"zeal", {mdn}}},
        .byDefault = {ddg}},
       std::nullopt,
       false,
       {ddg, "zeal"}},
      {"a member's program refused: the others open",
       with(twoEngines, {{"websearch.engines", "Both"},
                         {"websearch.group.Both", "MDN DDG"},
                         {"websearch.browser.MDN", "zeal 'x"}}),
       "a b",
       kPosix,
       {.code = ExitCode::PartlyOpened,
        .said = said({notCommand("websearch.browser.MDN", "a quote is not closed"), search}),
        .byDefault = {ddg}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(openedWith(c), c.run) << c.name;
  }
}

// The value split, expanded and refused by the platform's rules, whatever key it came from.
struct SplitCase {
  const char* name;
  companion::CommandLineRules rules;
  std::string value;  // websearch.browser's raw value
  companion::Outcome expected;
  std::map<std::string, std::string, std::less<>> properties = {};
};

TEST(BrowserCommand, SplitsExpandsAndRefusesTheValue) {
  using companion::ProgramCommand;
  constexpr auto kWindows = companion::CommandLineRules::Windows;
  constexpr auto kPosix = companion::CommandLineRules::Posix;
  const std::string ddg = "https://duckduckgo.com/?q=a%20b";
  const std::string search = "+> Search: " + ddg;
  const auto opens = [&](ProgramCommand command) {
    return companion::Outcome{.lines = {search},
                              .openings = {{.url = ddg, .command = std::move(command)}}};
  };
  const auto refused = [](std::string why) {
    return companion::Outcome{.code = ExitCode::BadTemplate,
                              .lines = {companion::notACommandLineLine("websearch.browser", why)}};
  };
  const SplitCase cases[] = {
      {"POSIX quotes and escapes", kPosix, R"('/opt/my browser/run' --new "a \"b\" \c" c\ d '' x)",
       opens({"/opt/my browser/run", {"--new", R"(a "b" \c)", "c d", "", "x", ddg}})},
      {"Windows: the program's backslashes stay, the arguments by the C run time", kWindows,
       R"("C:\Tools\"b.exe "a \"q\" b" C:\dir\ "x""y" \\\"z)",
       opens({R"(C:\Tools\b.exe)", {R"(a "q" b)", R"(C:\dir\)", R"(x"y)", R"(\"z)", ddg}})},
      {"%s where the address goes, %% a percent sign", kPosix, "zeal --query=%s 100%% 50%",
       opens({"zeal", {"--query=" + ddg, "100%", "50%"}})},
      {"a reference's blanks and quotes stay inside its word",
       kPosix,
       "firefox -P $(profile) --x=$(CurrentSelection)",
       opens({"firefox", {"-P", R"(my "old" 'one')", "--x=a b; rm -rf ~", ddg}}),
       {{"profile", R"(my "old" 'one')"}, {"CurrentSelection", "a b; rm -rf ~"}}},
      {"a reference's %s is read in the same pass",
       kPosix,
       "zeal $(word)",
       opens({"zeal", {"q=" + ddg}}),
       {{"word", "q=%s"}}},
      {".cmd is a program like any other on POSIX", kPosix, "/usr/local/bin/open.cmd",
       opens({"/usr/local/bin/open.cmd", {ddg}})},
      {"Windows: an unclosed quote", kWindows, R"("C:\x\firefox.exe -private-window)",
       refused("a quote is not closed")},
      {"Windows: an unclosed quote in an argument", kWindows, R"(firefox "-private)",
       refused("a quote is not closed")},
      {"POSIX: an unclosed quote", kPosix, "firefox 'x", refused("a quote is not closed")},
      {"%1 from a desktop file", kWindows, "firefox.exe %1",
       refused("%1 stands for nothing: %s is the address, %% a percent sign")},
      {"%s in the program's own word", kPosix, "/opt/%s/run",
       refused("%s stands in the program's own name")},
      {"a .BAT. program on Windows", kWindows, R"(C:\tools\OPEN.BAT. x)",
       refused("Windows runs a .bat file through cmd.exe, where & % and ! in an address act "
               "whatever the quoting")},
      {"no program once expanded", kPosix, "$(nothing) --new", refused("it names no program")},
      {"a reference to itself",
       kPosix,
       "firefox $(websearch.browser)",
       {.code = ExitCode::BadTemplate,
        .lines = {"!> SciTE property websearch.browser refers to itself or nests more than 10 "
                  "levels."}}},
  };
  for (const auto& c : cases) {
    const companion::BrowserSetting browser{.key = "websearch.browser", .value = c.value};
    auto properties = c.properties;
    properties.emplace("websearch.browser", c.value);
    const auto lookup = [&properties](const std::string& name) {
      const auto found = properties.find(name);
      return found != properties.end() ? found->second : std::string();
    };
    companion::Outcome expected = c.expected;
    for (companion::Opening& opening : expected.openings) {
      opening.browser = browser;
    }
    EXPECT_EQ(
        companion::withBrowserCommand(
            {.lines = {search}, .openings = {{.url = ddg, .browser = browser}}}, c.rules, lookup),
        expected)
        << c.name;
  }
}

// Each argument reaches the program as it was, through the C run time's quoting and splitting.
TEST(BrowserCommand, WindowsQuotingSplitsBackIntoTheSameArguments) {
  const std::vector<std::string> cases[] = {
      {"plain"},
      {"two words", "tab\there"},
      {""},
      {R"(a\b)", R"(a\\b\)", R"(ends\)", R"(ends\\)"},
      {R"(a blank, then \)", R"(a blank, then \\)", R"(a "blank" \"q\\")"},
      {R"("quoted")", R"(a\"b)", R"(a\\"b)", "\""},
      {"https://example.org/?a=1&b='x'(y);z!%41"},
  };
  for (const auto& arguments : cases) {
    const std::string line = companion::windowsCommandLine(R"(C:\Program Files\b.exe)", arguments);
    companion::BrowserSetting browser{.key = "websearch.browser", .value = line};
    // %% is the only way to write a percent sign: the round trip doubles them first.
    for (auto at = browser.value.find('%'); at != std::string::npos;
         at = browser.value.find('%', at + 2)) {
      browser.value.insert(at, 1, '%');
    }
    const auto opened = companion::withBrowserCommand(
        {.lines = {"+> Search: u"}, .openings = {{.url = "u", .browser = browser}}},
        companion::CommandLineRules::Windows, [](const std::string&) { return std::string(); });
    ASSERT_EQ(opened.openings.size(), 1U) << line;
    const auto& command = opened.openings.front().command;
    std::vector<std::string> expected = arguments;
    expected.emplace_back("u");
    ASSERT_TRUE(command.has_value()) << line;
    EXPECT_EQ(command->program, R"(C:\Program Files\b.exe)") << line;
    EXPECT_EQ(command->arguments, expected) << line;
  }
}

}  // namespace
