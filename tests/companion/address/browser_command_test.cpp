// The program an address opens with: the browser value split, expanded and refused by the
// platform's rules, and the Windows quoting that the C run time splits back.
#include "companion/address/browser_command.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "companion/settings/texts.h"
#include "companion/win32/program_line.h"

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

}  // namespace
