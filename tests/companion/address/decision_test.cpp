// The decision: what is searched for, what is opened as it is, what is refused, and the address
// kept within the limit.
#include "companion/address/decision.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "companion/address/url_limit.h"
#include "companion/query/command_line.h"
#include "companion/settings/ini.h"

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
    const std::string text = companion::foldedSelection("w.exe " + std::string(c.selection));
    const auto outcome =
        companion::decide({.text = text, .setting = {.value = std::string(c.urlTemplate)}});
    EXPECT_EQ(outcome.code, c.code) << c.name;
    EXPECT_EQ(urlOf(outcome), c.url) << c.name;
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
}

}  // namespace
