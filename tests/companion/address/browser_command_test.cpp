// The program an address opens with: the browser value split, expanded and refused by the
// platform's rules, the Windows quoting that the C run time splits back, and, over a fake SciTE
// and a recording system, the key that counts and what is said when a program does not start.
#include "companion/address/browser_command.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "companion/run.h"
#include "companion/settings/texts.h"
#include "companion/win32/program_line.h"
#include "director/escapes.h"
#include "director/operations.h"
#include "tests/companion/sent_steps.h"
#include "tests/support/fake_scite.h"

namespace {

using companion::ExitCode;

// The value split, expanded and refused by the platform's rules, whatever key it came from.
struct SplitCase {
  const char* name;
  companion::ProgramLineRules rules;
  std::string value;  // websearch.browser's raw value
  companion::Outcome expected;
  std::map<std::string, std::string, std::less<>> properties = {};
};

TEST(BrowserCommand, SplitsExpandsAndRefusesTheValue) {
  using companion::ProgramCommand;
  constexpr auto kWindows = companion::ProgramLineRules::Windows;
  constexpr auto kPosix = companion::ProgramLineRules::Posix;
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
      {"POSIX: a backslash that ends the value is kept", kPosix, R"(zeal a\)",
       opens({"zeal", {R"(a\)", ddg}})},
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
      {"Windows: a tab separates words", kWindows, "firefox\t-new",
       opens({"firefox", {"-new", ddg}})},
      {"Windows: blanks around and between words make no empty word", kWindows, " firefox  -new ",
       opens({"firefox", {"-new", ddg}})},
      {"POSIX: blanks around and between words make no empty word", kPosix, "  zeal \t --new  ",
       opens({"zeal", {"--new", ddg}})},
      {"POSIX: \\$ inside double quotes is a dollar sign", kPosix, R"(zeal "a\$b")",
       opens({"zeal", {"a$b", ddg}})},
      {"POSIX: no escape inside single quotes", kPosix, R"(zeal 'a\"b\\c\')",
       opens({"zeal", {R"(a\"b\\c\)", ddg}})},
      {".cmd is a program like any other on POSIX", kPosix, "/usr/local/bin/open.cmd",
       opens({"/usr/local/bin/open.cmd", {ddg}})},
      {"Windows: an unclosed quote", kWindows, R"("C:\x\firefox.exe -private-window)",
       refused("a quote is not closed")},
      {"Windows: an unclosed quote in an argument", kWindows, R"(firefox "-private)",
       refused("a quote is not closed")},
      {"POSIX: an unclosed quote", kPosix, "firefox 'x", refused("a quote is not closed")},
      {"%1 from a desktop file", kWindows, "firefox.exe %1",
       refused("%1 stands for nothing: %s is the address, %% a percent sign")},
      {"a % before a character of two bytes names the whole character", kPosix, "zeal %\xC3\xA9",
       refused("%\xC3\xA9 stands for nothing: %s is the address, %% a percent sign")},
      {"%s in the program's own word", kPosix, "/opt/%s/run",
       refused("%s stands in the program's own name")},
      {"a .BAT. program on Windows", kWindows, R"(C:\tools\OPEN.BAT. x)",
       refused("Windows runs a .bat file through cmd.exe, where & % and ! in an address act "
               "whatever the quoting")},
      {"Windows: blanks after .cmd inside the quotes", kWindows, R"("C:\tools\open.cmd  " x)",
       refused("Windows runs a .cmd file through cmd.exe, where & % and ! in an address act "
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
    const std::string line = companion::windowsProgramLine(R"(C:\Program Files\b.exe)", arguments);
    companion::BrowserSetting browser{.key = "websearch.browser", .value = line};
    // %% is the only way to write a percent sign: the round trip doubles them first.
    for (auto at = browser.value.find('%'); at != std::string::npos;
         at = browser.value.find('%', at + 2)) {
      browser.value.insert(at, 1, '%');
    }
    const auto opened = companion::withBrowserCommand(
        {.lines = {"+> Search: u"}, .openings = {{.url = "u", .browser = browser}}},
        companion::ProgramLineRules::Windows, [](const std::string&) { return std::string(); });
    ASSERT_EQ(opened.openings.size(), 1U) << line;
    const auto& command = opened.openings.front().command;
    std::vector<std::string> expected = arguments;
    expected.emplace_back("u");
    ASSERT_TRUE(command.has_value()) << line;
    EXPECT_EQ(command->program, R"(C:\Program Files\b.exe)") << line;
    EXPECT_EQ(command->arguments, expected) << line;
  }
}

// What one run did with its addresses: the lines it said, the programs it started and the
// addresses the default browser got, each in order.
struct OpenedWith {
  ExitCode code = ExitCode::Opened;
  std::vector<std::string> said;
  std::vector<companion::ProgramCommand> started;
  std::vector<std::string> byDefault;
  std::vector<std::string> order = {};  // Handed's, when a row looks at it
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
  for (const std::string& step : run.order) {
    *out << "  " << step << "\n";
  }
}

struct BrowserCase {
  const char* name;
  std::map<std::string, std::string, std::less<>> properties;
  std::string text;  // the selection, folded
  companion::ProgramLineRules rules;
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
  system.programLineRules = c.rules;
  OpenedWith run;
  run.code = companion::searchSelection(scite, c.text, system);
  run.started = handed.started;
  run.byDefault = handed.byDefault;
  if (!c.run.order.empty()) {
    run.order = handed.order;
  }
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
    commands.push_back(director::outputCommand(director::outputEscaped(line), true));
  }
  return commands;
}

TEST(BrowserCommand, TheKeyThatCountsSplitIntoOneProgramAndItsArguments) {
  using companion::ProgramCommand;
  using companion::ProgramLineRules;
  constexpr auto kWindows = ProgramLineRules::Windows;
  constexpr auto kPosix = ProgramLineRules::Posix;
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
  // A group of both engines, DDG first, and the line for DDG's address when the default browser
  // fails it.
  const auto ddgThenMdn =
      with(twoEngines, {{"websearch.engines", "Both"}, {"websearch.group.Both", "DDG MDN"}});
  const std::string ddgFailed =
      "!> The browser could not be started for " + ddg + ": No application (4).";
  const std::string mdnNoRoom =
      "!> SciTE property websearch.engine.MDN leaves no room for the search words within 2,048 "
      "characters.";
  const std::string zealFailed =
      "!> Could not start zeal (websearch.browser.MDN) for " + mdn + ": No such file or directory.";
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
      {"an engine's program of blanks: websearch.browser",
       {{"websearch.engines", "MDN"},
        {"websearch.engine.MDN", "https://developer.mozilla.org/search?q={query}"},
        {"websearch.browser.MDN", " \t"},
        {"websearch.browser", "firefox"}},
       "a b",
       kPosix,
       opened({"+> Search: " + mdn}, {"firefox", {mdn}})},
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
        .said = said({"+> Search: " + mdn, search, zealFailed}),
        .started = {{"zeal", {mdn}}},
        .byDefault = {ddg}},
       std::nullopt,
       false,
       {"zeal"}},
      {"the default browser fails a member",
       ddgThenMdn,
       "a b",
       kPosix,
       {.code = ExitCode::PartlyOpened,
        .said = said({search, "+> Search: " + mdn, ddgFailed, "+> Opened with: zeal"}),
        .started = {{"zeal", {mdn}}},
        .byDefault = {ddg}},
       std::nullopt,
       false,
       {ddg}},
      {"a default browser's verdict awaited after the next opener starts",
       ddgThenMdn,
       "a b",
       kPosix,
       {.said = said({search, "+> Search: " + mdn, "+> Opened with: zeal"}),
        .started = {{"zeal", {mdn}}},
        .byDefault = {ddg},
        .order = {"browser " + ddg, "program zeal", "verdict " + ddg}}},
      {"a member that leaves no room: the others open",
       with(ddgThenMdn, {{"websearch.engine.MDN",
                          "https://m.example/" + std::string(2048, 'm') + "?q={query}"}}),
       "a b",
       kPosix,
       {.code = ExitCode::PartlyOpened, .said = said({search, mdnNoRoom}), .byDefault = {ddg}}},
      {"a group with no usable member refused with its line",
       {{"websearch.engines", "Both"}, {"websearch.group.Both", "Nope"}},
       "a b",
       kPosix,
       refused({"!> SciTE property websearch.group.Both names \"Nope\", which is no engine: left "
                "out."})},
      {"every member fails",
       ddgThenMdn,
       "a b",
       kPosix,
       {.code = ExitCode::OpenFailed,
        .said = said({search, "+> Search: " + mdn, ddgFailed, zealFailed}),
        .started = {{"zeal", {mdn}}},
        .byDefault = {ddg}},
       std::nullopt,
       false,
       {ddg, "zeal"}},
      {"a member's program refused: the others open, the list's note kept before it",
       with(twoEngines, {{"websearch.engines", "Both b?d"},
                         {"websearch.group.Both", "MDN DDG"},
                         {"websearch.browser.MDN", "zeal 'x"}}),
       "a b",
       kPosix,
       {.code = ExitCode::PartlyOpened,
        .said = said({"!> SciTE property websearch.engines names \"b?d\": an engine name is "
                      "letters, digits and . _ + - only.",
                      notCommand("websearch.browser.MDN", "a quote is not closed"), search}),
        .byDefault = {ddg}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(openedWith(c), c.run) << c.name;
  }
}

}  // namespace
