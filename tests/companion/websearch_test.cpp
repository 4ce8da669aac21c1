// Selection to URL: what is searched for, what is opened as it is, and what is refused.
#include "companion/websearch.h"

#include <gtest/gtest.h>

namespace {

using companion::chooseUrl;
using companion::ExitCode;

constexpr std::string_view kDefault = companion::kDefaultTemplate;

struct UrlCase {
  const char* name;
  std::string_view selection;  // as it stands on the command line, still escaped
  std::string_view urlTemplate;
  ExitCode code;
  std::string_view url;
};

TEST(ChooseUrl, SearchesForTextAndOpensOnlyWebUrls) {
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
    const auto choice = chooseUrl(c.selection, c.urlTemplate);
    EXPECT_EQ(choice.code, c.code) << c.name;
    EXPECT_EQ(choice.url, c.url) << c.name;
  }
}

struct CommandLineCase {
  const char* name;
  std::string_view commandLine;
  std::string_view selection;
};

TEST(SelectionFromCommandLine, TakesEverythingAfterTheNameAndOneBlank) {
  const CommandLineCase cases[] = {
      {"quoted path with blanks", R"("C:\Program Files\Tools\websearch.exe" foo bar)", "foo bar"},
      {"only the first blank goes", R"("C:\Tools\websearch.exe"   two  "x" \\)",
       R"(  two  "x" \\)"},
      {"unquoted path", R"(C:\Tools\websearch.exe foo)", "foo"},
      {"tab after the name", "websearch.exe\tfoo bar", "foo bar"},
      {"no blank after the name", R"("C:\Tools\websearch.exe")", ""},
      {"a blank and nothing more", R"("C:\Tools\websearch.exe" )", ""},
      {"unquoted name alone", "websearch.exe", ""},
      {"empty command line", "", ""},
      {"quotes inside the name", R"(C:\"Program Files"\websearch.exe a)", "a"},
      {"text right after the closing quote belongs to the name", R"("C:\a b\w.exe"x y)", "y"},
      {"unclosed quote swallows the rest", R"("C:\a b\websearch.exe foo)", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(companion::selectionFromCommandLine(c.commandLine), c.selection) << c.name;
  }
}

TEST(UnescapeReply, ReadsOnlyWhatTheEditorWrites) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {R"(\a\b\f\n\r\t\v)", "\a\b\f\n\r\t\v"},
      {R"(\\n)", R"(\n)"},
      {R"(\\\n)", "\\\n"},
      {R"(\000x)", std::string_view("\0x", 2)},
      {R"(\177\377)", "\x7F\xFF"},
      {R"(\400)", R"(\400)"},
      {R"(\08)", R"(\08)"},
      {R"(\12)", R"(\12)"},
      {R"(\)", R"(\)"},
      {R"(\"\x41)", R"(\"\x41)"},
  };
  for (const auto& [escaped, plain] : cases) {
    EXPECT_EQ(companion::unescapeReply(escaped), plain) << escaped;
  }
}

struct IniCase {
  const char* name;
  std::string_view text;
  std::optional<std::string> urlTemplate;
};

TEST(TemplateFromIni, FindsTheFirstUrlSetting) {
  const IniCase cases[] = {
      {"plain", "url=https://e.example/?q={query}", "https://e.example/?q={query}"},
      {"CRLF, BOM and blanks",
       "\xEF\xBB\xBF ; search engine\r\n  URL = https://e.example/{query} \r\n",
       "https://e.example/{query}"},
      {"quoted value", "url=\"https://e.example/?q={query}\"\n", "https://e.example/?q={query}"},
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
    EXPECT_EQ(companion::templateFromIni(c.text), c.urlTemplate) << c.name;
  }
}

}  // namespace
