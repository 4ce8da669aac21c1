// launcher.exe end to end under Wine: the real exe, the SciTE stand-in and a recording companion.
// Each case checks the output pane, the companion's command line and the exit code.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <regex>

#include "harness.h"
#include "launcher_run.h"
#include "tests/support/exe_directory.h"
#include "tests/support/files.h"

namespace {

using e2e::Companion;
using e2e::Install;

constexpr std::string_view kBannerStart = ">> Velk-SciTE-Interface [v1.0] by @Zorvik\n-> ";
constexpr std::string_view kNothingToSearch =
    "!> Nothing to search: select some text, or put the caret in a word.\n";

standin::Options selecting(std::string document, std::int64_t anchor, std::int64_t caret) {
  standin::Options options;
  options.document = std::move(document);
  options.anchor = anchor;
  options.caret = caret;
  return options;
}

standin::Options selectingAll(const std::string& document) {
  return selecting(document, 0, static_cast<std::int64_t>(document.size()));
}

// The pane as the user sees it after a normal run: banner, time stamp, path, selection line,
// then what the companion said.
void expectNormalPane(const std::string& pane, const Install& install,
                      std::string_view shownSelection, std::string_view companionLines = "") {
  ASSERT_TRUE(pane.starts_with(kBannerStart)) << pane;
  const std::string stamp = pane.substr(kBannerStart.size(), 10);
  EXPECT_TRUE(std::regex_match(stamp, std::regex(R"(\[\d\d:\d\d:\d\d\])"))) << stamp;
  EXPECT_EQ(pane.substr(kBannerStart.size() + 10),
            " Running: " + e2e::utf8(install.launcher()) + "\n+> Selection: " +
                std::string(shownSelection) + "\n" + std::string(companionLines));
}

std::string quotedCompanion(const Install& install) {
  return "\"" + e2e::utf8(install.companion()) + "\" ";
}

class Launcher : public ::testing::Test {};

// Every way the stand-in can answer unlike SciTE.
using standin::Fault;
constexpr Fault kFaults[] = {Fault::noReply, Fault::noPrefix, Fault::embeddedNul,
                             Fault::shortCbData, Fault::replyAll};

struct SelectionCase {
  const char* name;
  std::string document;
  std::string shown;        // in the output pane, after SciTE decoded its escapes
  std::string commandTail;  // after the quoted companion path and the blank
  std::vector<std::string> arguments;
};

TEST_F(Launcher, PassesTheSelectionToTheCompanionAndEchoesIt) {
  const SelectionCase cases[] = {
      {"two words", "foo bar", "foo bar", "foo bar", {"foo", "bar"}},
      {"no selection", "", "", "", {}},
      {"several lines", "one\r\ntwo", "one\r\ntwo", R"(one\r\ntwo)", {R"(one\r\ntwo)"}},
      {"quotes and backslashes",
       R"(say "hi there" C:\x)",
       R"(say "hi there" C:\x)",
       R"(say "hi there" C:\\x)",
       {"say", "hi there", R"(C:\\x)"}},
      {"non-ASCII",
       "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80",
       "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80",
       "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80",
       {"caf\xC3\xA9", "\xE6\x97\xA5\xE6\x9C\xAC", "\xF0\x9F\x98\x80"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    standin::StandInRun scite(selectingAll(c.document));
    Install install;
    const auto result = install.run();
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0u) << result.standardError;
    EXPECT_EQ(result.standardError, "");
    EXPECT_EQ(result.standardOutput, "");
    expectNormalPane(scite.output(), install, c.shown);
    const auto record = install.companionRecord();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->commandLine, quotedCompanion(install) + c.commandTail);
    std::vector<std::string> expectedArguments{e2e::utf8(install.companion())};
    expectedArguments.insert(expectedArguments.end(), c.arguments.begin(), c.arguments.end());
    EXPECT_EQ(record->arguments, expectedArguments);
    for (const char* left : {"extender.result", "websearch.next.text", "websearch.next.at"}) {
      EXPECT_EQ(scite.properties()[left], "") << left;
    }
  }
}

// Windows starts no process whose command line is over 32,767 units with its NUL; Wine starts
// it but cuts blindly at 32,766. The launcher cuts first, between whole characters and escapes:
// each selection puts a character or an escape of two units across the place of a blind cut.
TEST_F(Launcher, ALongSelectionIsCutCleanlyWithinTheSystemsLimit) {
  const std::pair<std::string, std::string> cases[] = {
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},  // a surrogate pair, sent as it is
      {"\\", "\\\\"},                            // a backslash, sent as an escape
  };
  for (const auto& [written, sent] : cases) {
    SCOPED_TRACE(sent);
    Install install;
    const std::size_t prefix = install.companion().wstring().size() + 3;  // quotes and blank
    const std::size_t room = 32766 - prefix;
    std::string document(room - 3, 'a');
    for (int i = 0; i < 20000; ++i) {
      document += written;
    }
    standin::StandInRun scite(selectingAll(document));
    const auto result = install.run();
    EXPECT_EQ(result.exitCode, 0u) << result.standardError;
    const auto record = install.companionRecord();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->commandLine, quotedCompanion(install) + std::string(room - 3, 'a') + sent);
  }
}

TEST_F(Launcher, TheRealCompanionSearchesForWhatSciteHasSelected) {
  const std::pair<std::string, std::string> cases[] = {
      {"foo bar", "https://duckduckgo.com/?q=foo%20bar"},
      {"one\r\n\ttwo  \"q\" C:\\x", "https://duckduckgo.com/?q=one%20two%20%22q%22%20C%3A%5Cx"},
      {"caf\xC3\xA9", "https://duckduckgo.com/?q=caf%C3%A9"},
      {"https://example.org/a?b=c", "https://example.org/a?b=c"},
      {"javascript:alert(1)", "https://duckduckgo.com/?q=javascript%3Aalert%281%29"},
  };
  for (const auto& [selection, url] : cases) {
    SCOPED_TRACE(selection);
    standin::StandInRun scite(selectingAll(selection));
    Install install(Companion::searching);
    const auto result = install.run();
    EXPECT_EQ(result.exitCode, 0u) << result.standardError;
    EXPECT_EQ(install.openedUrls(), url + "\n");
  }
}

struct CompanionCase {
  const char* name;
  standin::Options scite;
  std::string ini;     // websearch.ini beside the companion, if not empty
  std::string said;    // the companion's lines at the end of the pane; {ini} is the ini's path
  std::string opened;  // what went to the shell, one line each
};

TEST_F(Launcher, TheCompanionSaysWhatItSearchesOrWhyNot) {
  auto caretAt = [](std::string document, std::int64_t caret) {
    return selecting(std::move(document), caret, caret);
  };
  auto python = selectingAll("open");
  python.file = R"(C:\docs\script.PY)";
  // SciTE's own properties come before websearch.ini and are expanded as SciTE would.
  auto pythonInScite = python;
  pythonInScite.properties = {{"websearch.url.py", "$(engine.docs)/search.html?q={query}"},
                              {"engine.docs", "https://$(host)/3"},
                              {"host", "docs.python.org"}};
  // SciTE escapes the backslash in its reply; read as sent, the address would get two.
  auto backslashInScite = selectingAll("foo");
  backslashInScite.properties = {{"websearch.url", R"(https://e.example/a\b?q={query})"}};
  auto badInScite = selectingAll("foo");
  badInScite.properties = {{"websearch.url", "$(engine)"}, {"engine", "ftp://e.example/{query}"}};
  // A command's text of several lines from the output pane, carried whole and emptied as read.
  auto outputPane = selectingAll("foo");
  outputPane.properties = {{"websearch.next.text", "a.c:1:2: error: 'x'\r\n> b(3): \"y\"\n"},
                           {"websearch.next.pane", "output"},
                           {"websearch.next.at", "{now}"}};  // as the row starts
  const CompanionCase cases[] = {
      {"selection", selectingAll("foo bar"), "", "+> Search: https://duckduckgo.com/?q=foo%20bar\n",
       "https://duckduckgo.com/?q=foo%20bar\n"},
      {"word at the caret", caretAt("say h\xC3\xA9llo_2 now", 6), "",
       "+> Word at caret: h\xC3\xA9llo_2\n+> Search: https://duckduckgo.com/?q=h%C3%A9llo_2\n",
       "https://duckduckgo.com/?q=h%C3%A9llo_2\n"},
      {"caret between words", caretAt("one  two", 4), "", std::string(kNothingToSearch), ""},
      {"empty document", caretAt("", 0), "", std::string(kNothingToSearch), ""},
      {"template for the file type", python,
       "url=https://all.example/{query}\nurl.py=https://docs.python.org/3/search.html?q={query}\n",
       "+> Search: https://docs.python.org/3/search.html?q=open\n",
       "https://docs.python.org/3/search.html?q=open\n"},
      {"bad template", selectingAll("foo"), "url=ftp://e.example/{query}\n",
       "!> {ini}, line 1: url= must begin with http:// or https:// and contain {query}.\n", ""},
      {"SciTE's property for the file type, expanded", pythonInScite,
       "url.py=https://ini.example/{query}\n",
       "+> Search: https://docs.python.org/3/search.html?q=open\n",
       "https://docs.python.org/3/search.html?q=open\n"},
      {"a backslash in a SciTE property", backslashInScite, "",
       "+> Search: https://e.example/a%5Cb?q=foo\n", "https://e.example/a%5Cb?q=foo\n"},
      {"the output pane's lines a command set", outputPane, "",
       "+> Output pane: error: 'x' \"y\"\n"
       "+> Search: https://duckduckgo.com/?q=error%3A%20%27x%27%20%22y%22\n",
       "https://duckduckgo.com/?q=error%3A%20%27x%27%20%22y%22\n"},
      {"a bad SciTE property", badInScite, "url=https://ini.example/{query}\n",
       "!> SciTE property websearch.url must begin with http:// or https:// and contain "
       "{query}.\n",
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    standin::Options options = c.scite;
    for (auto& [key, value] : options.properties) {
      if (value == "{now}") {
        value = std::to_string(std::time(nullptr));  // os.time() of a command just now
      }
    }
    standin::StandInRun scite(options);
    Install install(Companion::searching);
    const auto ini = install.directory() / "websearch.ini";
    if (!c.ini.empty()) {
      test_support::writeFile(ini, c.ini);
    }
    const auto result = install.run();
    EXPECT_EQ(result.exitCode, 0u) << result.standardError;
    std::string said = c.said;
    if (const auto at = said.find("{ini}"); at != std::string::npos) {
      said.replace(at, 5, e2e::utf8(ini));
    }
    EXPECT_TRUE(scite.output().ends_with(said)) << scite.output();
    EXPECT_EQ(install.openedUrls(), c.opened);
    for (const char* left : {"extender.result", "websearch.next.text", "websearch.next.at"}) {
      EXPECT_EQ(scite.properties()[left], "") << left;
    }
  }
}

// The release zip, unpacked by the package test before this one runs.
TEST_F(Launcher, FromTheReleaseZipItFindsAndStartsTheCompanionBesideIt) {
  const auto unpacked =
      test_support::exeDirectory().parent_path() / "package-test" / "unpacked" / "websearch";
  ASSERT_TRUE(std::filesystem::exists(unpacked / "launcher.exe")) << e2e::utf8(unpacked);
  {
    // As packed, with nothing selected: the real companion has nothing to search for.
    standin::StandInRun scite(selectingAll(""));
    Install install(unpacked);
    const auto result = install.run();
    EXPECT_EQ(result.exitCode, 0u) << result.standardError;
    expectNormalPane(scite.output(), install, "", kNothingToSearch);
  }
  {
    // The same folder with a companion that records what it would open.
    standin::StandInRun scite(selectingAll("foo bar"));
    Install install(unpacked);
    install.useSearchingRecorder();
    const auto result = install.run();
    EXPECT_EQ(result.exitCode, 0u) << result.standardError;
    expectNormalPane(scite.output(), install, "foo bar",
                     "+> Search: https://duckduckgo.com/?q=foo%20bar\n");
    EXPECT_EQ(install.openedUrls(), "https://duckduckgo.com/?q=foo%20bar\n");
  }
}

// Through Wine's own shell with the release zip's companion: the test's PATH puts the recording
// xdg-open first, so Wine's browser launcher records the address instead of opening it. Wine's
// shell before 8.17 breaks on addresses of about 1,000 characters.
TEST_F(Launcher, ALongSelectionOpensOneAddressThroughTheRealShell) {
  const auto unpacked =
      test_support::exeDirectory().parent_path() / "package-test" / "unpacked" / "websearch";
  const auto opened = test_support::exeDirectory() / "xdg-open" / "opened";
  std::filesystem::remove(opened);
  std::string selection;
  while (selection.size() < 40000) {
    selection += "search ";
  }
  standin::StandInRun scite(selectingAll(selection));
  Install install(unpacked);
  const auto result = install.run();
  EXPECT_EQ(result.exitCode, 0u) << result.standardError;
  EXPECT_NE(scite.output().find("\n+> Cut to "), std::string::npos) << scite.output();
  // The shell hands the address over after the companion has ended.
  for (int i = 0; i < 100 && !std::filesystem::exists(opened); ++i) {
    Sleep(100);
  }
  const std::string addresses = test_support::readFile(opened);
  ASSERT_EQ(std::count(addresses.begin(), addresses.end(), '\n'), 1) << addresses;
  EXPECT_TRUE(addresses.starts_with("https://duckduckgo.com/?q=search%20search")) << addresses;
  EXPECT_LE(addresses.size() - 1, 900u);
}

TEST_F(Launcher, TheCompanionsExitCodeDoesNotChangeItsOwn) {
  standin::StandInRun scite(selectingAll("x"));
  Install install;
  install.companionExitCode(5);
  const auto result = install.run();
  EXPECT_EQ(result.exitCode, 0u);
  ASSERT_TRUE(install.companionRecord());
}

TEST_F(Launcher, AMissingCompanionGivesTheErrorLineAndExitCodeOne) {
  for (const Companion companion : {Companion::missing, Companion::directory}) {
    standin::StandInRun scite(selectingAll("foo"));
    Install install(companion);
    const auto result = install.run();
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_EQ(result.standardError, "");
    // The path reaches the pane intact: its backslashes were doubled for SciTE's escapes.
    EXPECT_EQ(scite.output(),
              "!> ERROR: Can't find file \"" + e2e::utf8(install.companion()) + "\"!\n");
  }
}

// SciTE out of reach: the companion still runs, with the quoted path and one blank.
void expectCompanionRanWithoutSelection(const Install& install) {
  const auto result = install.run();
  EXPECT_EQ(result.exitCode, 0u) << result.standardError;
  const auto record = install.companionRecord();
  ASSERT_TRUE(record);
  EXPECT_EQ(record->commandLine, quotedCompanion(install));
}

TEST_F(Launcher, WithoutSciteTheCompanionStillRuns) {
  Install install;
  expectCompanionRanWithoutSelection(install);
}

TEST_F(Launcher, SciteOutOfTheForegroundIsLeftAlone) {
  auto options = selectingAll("foo");
  options.foreground = false;
  standin::StandInRun scite(options);
  Install install;
  expectCompanionRanWithoutSelection(install);
  EXPECT_TRUE(scite.transcript().empty());
  EXPECT_EQ(scite.output(), "");
}

TEST_F(Launcher, ACompanionThatCannotStartEndsWithTheOSErrorReport) {
  standin::StandInRun scite(selectingAll("foo"));
  Install install(Companion::notAProgram);
  const auto result = install.run();
  EXPECT_EQ(result.exitCode, 1u);
  EXPECT_TRUE(std::regex_search(result.standardError,
                                std::regex(R"(^\S+\(\d+\) +raiseOSError\nError: unhandled )"
                                           R"(exception: [^\n]+(\r\n)? \[OSError\]\n$)")))
      << result.standardError;
  EXPECT_EQ(result.standardOutput, "");
}

TEST_F(Launcher, AMissingEngineStopsBeforeSciteIsTouched) {
  standin::StandInRun scite(selectingAll("foo"));
  Install install(Companion::recorder, false);
  const auto result = install.run();
  EXPECT_EQ(result.exitCode, 1u);
  EXPECT_EQ(result.standardError, "could not load: pcre64.dll\n");
  EXPECT_TRUE(scite.transcript().empty());
  EXPECT_FALSE(install.companionRecord());
}

TEST_F(Launcher, AnEngineWithoutOneFunctionStopsWithItsName) {
  Install install;
  install.useEngine(test_support::exeDirectory() / "partial-engine" / "pcre64.dll");
  const auto result = install.run();
  EXPECT_EQ(result.exitCode, 1u);
  EXPECT_EQ(result.standardError, "could not import: pcre_study\n");
  EXPECT_FALSE(install.companionRecord());
}

TEST_F(Launcher, ASelectionReplyWithoutANumberEndsWithTheValueErrorReport) {
  auto options = selectingAll("foo");
  options.startupLua = "function editor:GetSelText() return 'foo', 'many' end";
  standin::StandInRun scite(options);
  Install install;
  const auto result = install.run();
  EXPECT_EQ(result.exitCode, 1u);
  EXPECT_TRUE(std::regex_search(result.standardError,
                                std::regex(R"(^\S+\(\d+\) +\w+\nError: unhandled exception: )"
                                           R"(invalid integer: many \[ValueError\]\n$)")))
      << result.standardError;
  EXPECT_FALSE(install.companionRecord());
  EXPECT_EQ(scite.properties()["extender.result"], "foo<@@>many");
}

TEST_F(Launcher, WhateverSciteRepliesTheLauncherEndsAsSpecified) {
  for (const Fault fault : kFaults) {
    SCOPED_TRACE(static_cast<int>(fault));
    auto options = selectingAll("foo bar");
    options.fault = fault;
    standin::StandInRun scite(options);
    Install install;
    const auto result = install.run();
    ASSERT_FALSE(result.timedOut);
    if (result.exitCode == 0) {
      EXPECT_EQ(result.standardError, "");
      EXPECT_TRUE(install.companionRecord());
    } else {
      EXPECT_EQ(result.exitCode, 1u);
      EXPECT_TRUE(std::regex_search(
          result.standardError, std::regex(R"(Error: unhandled exception: .* \[ValueError\]\n$)")))
          << result.standardError;
      EXPECT_FALSE(install.companionRecord());
    }
  }
}

// The companion asks for the word at the caret; a bad or missing answer still ends in one line.
TEST_F(Launcher, WhateverSciteRepliesTheCompanionEndsWithALine) {
  for (const Fault fault : kFaults) {
    SCOPED_TRACE(static_cast<int>(fault));
    auto options = selecting("one word", 5, 5);
    options.fault = fault;
    standin::StandInRun scite(options);
    Install install(Companion::searching);
    const auto result = install.run();
    ASSERT_FALSE(result.timedOut);
    if (result.exitCode == 0) {
      EXPECT_TRUE(std::regex_search(scite.output(), std::regex(R"(\n[+!]> [^\n]+\n$)")))
          << scite.output();
    }
  }
}

}  // namespace
