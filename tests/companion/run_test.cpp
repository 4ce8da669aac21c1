// One run over a fake SciTE and a recording system: the key that counts, the program an address
// opens with, and what is said when it does not start; the document's encoding read and its text
// converted first; and every search made remembered.
#include "companion/run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "companion/address/browser_command.h"
#include "companion/settings/texts.h"
#include "director/escapes.h"
#include "director/operations.h"
#include "platform/ascii.h"
#include "platform/text.h"
#include "tests/companion/sent_steps.h"
#include "tests/support/fake_scite.h"

namespace {

using companion::ExitCode;
using test_support::FakeScite;
using test_support::kRecentAsks;
using test_support::kStripAsks;
using test_support::steps;

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
  using companion::ProgramLineRules;
  using companion::ProgramCommand;
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

// What a run did: its exit code, the commands it sent and the address the browser got.
struct DocumentRun {
  ExitCode code;
  std::string steps;
  std::string opened;
  bool operator==(const DocumentRun&) const = default;
};

void PrintTo(const DocumentRun& run, std::ostream* out) {
  *out << "exit " << static_cast<int>(run.code) << " | " << run.steps << " | " << run.opened;
}

struct DocumentCase {
  const char* name;
  companion::EditorKind editor;
  std::string launcherText;  // unescaped, as the launcher passed it
  std::string result;        // extender.result as SciTE holds it after the Lua
  ExitCode code;
  std::string steps;
  std::string opened;
  bool cut = false;  // SciTE's reply arrives cut, as past the GTK SciTE's reply pipe
  std::size_t selectionRoom = std::numeric_limits<std::size_t>::max();
  // The caret's places in the text, its word's, and the bytes of its line on each side of the
  // text: "<caret><@@><word start><@@><word end><@@><before><@@><after>". Empty: the caret and
  // the word's start at the start of the text, the word all of it, none of the line left out.
  std::string places = "";
  std::map<std::string, std::string, std::less<>> properties = {};  // SciTE's other ones
  // How many commands went to SciTE at once, each time; empty: not looked at.
  std::vector<std::size_t> batches = {};
  std::string flags = "";  // the reply's flags for the extension's settings; empty: as set
  std::size_t takes = std::numeric_limits<std::size_t>::max();  // commands SciTE takes
};

// Which of the settings that an extension adds `properties` sets, as the document's Lua says.
std::string setByExtension(const std::string& extension,
                           const std::map<std::string, std::string, std::less<>>& properties) {
  std::string lower = extension;
  std::transform(lower.begin(), lower.end(), lower.begin(), platform::lowerAscii);
  std::string flags;
  for (const char* base : {"websearch.engines.", "websearch.url.", "websearch.ask."}) {
    const auto set = properties.find(base + lower);
    flags += !extension.empty() && set != properties.end() && !set->second.empty() ? '1' : '0';
  }
  return flags;
}

// `result` (the first four fields, then the text) with `places`, then whether a command set any
// websearch.next.* value and the engine it names, put before the text; empty places as
// DocumentCase says.
std::string withPlaces(const std::string& result, std::string places, bool atCaret,
                       const std::map<std::string, std::string, std::less<>>& properties,
                       const std::string& flags) {
  const bool nextSet = std::any_of(properties.begin(), properties.end(), [](const auto& set) {
    return set.first.starts_with("websearch.next.");
  });
  const auto engine = properties.find("websearch.next.engine");
  constexpr std::string_view kSeparator = "<@@>";
  std::size_t at = result.find(kSeparator);
  std::size_t extensionAt = at;
  for (int field = 1; field < 5 && at != std::string::npos; ++field) {
    extensionAt = at + kSeparator.size();
    at = result.find(kSeparator, extensionAt);
  }
  if (at == std::string::npos) {
    return result;  // no document's reply: as it is
  }
  const std::size_t textSize = result.size() - at - kSeparator.size();
  if (places.empty()) {
    places = "0<@@>0<@@>" + std::to_string(atCaret ? textSize : 0) + "<@@>0<@@>0";
  }
  return result.substr(0, at + kSeparator.size()) + places + std::string(kSeparator) +
         (nextSet ? "1" : "0") + std::string(kSeparator) +
         (engine == properties.end() ? "" : engine->second) + std::string(kSeparator) +
         (flags.empty() ? setByExtension(result.substr(extensionAt, at - extensionAt), properties)
                        : flags) +
         std::string(kSeparator) + result.substr(at + kSeparator.size());
}

// Stands in for the platform's converter: a lead byte alone at the end has no character, any
// other byte is its Latin-1 one.
std::optional<std::string> fakeToUtf8(std::string_view bytes, const companion::Encoding&) {
  if (bytes.ends_with('\x96')) {
    return std::nullopt;
  }
  return platform::latin1ToUtf8(bytes);
}

TEST(SearchSelection, ReadsTheDocumentsEncodingAndConvertsFirst) {
  constexpr auto windows = companion::EditorKind::windows;
  constexpr auto gtk = companion::EditorKind::gtk;
  const std::string settings =
      "ask:websearch.engines ask:websearch.url ask:websearch.browser " + kStripAsks;
  const std::string nothing =
      "say:!> Nothing to search: select some text, or put the caret in a word.";
  const std::string asked = "ask:extender.result empty:extender.result " + settings;
  const std::string grosse = "https://duckduckgo.com/?q=Gr%C3%B6%C3%9Fe";
  const std::string https = "https://duckduckgo.com/?q=https";
  const std::string atLimit =
      "https://e.example/" + std::string(companion::kMaxUrlLength - 18, 'a');
  constexpr std::size_t kNoRoom = std::numeric_limits<std::size_t>::max();
  // A group of two engines, the only name offered, and the keys its run asks in one batch.
  const std::map<std::string, std::string, std::less<>> groupOfTwo = {
      {"websearch.engines", "G"},
      {"websearch.group.G", "A B"},
      {"websearch.engine.A", "https://a.example/?q={query}"},
      {"websearch.engine.B", "https://b.example/?q={query}"}};
  const std::string groupAsked =
      "ask:websearch.group.G ask:websearch.engine.G ask:websearch.browser.G "
      "ask:websearch.group.A ask:websearch.engine.A ask:websearch.browser.A "
      "ask:websearch.group.B ask:websearch.engine.B ask:websearch.browser.B ";
  // A run a command steers (websearch.next.at this second unless given): `selected` in a
  // document of `pages`, "<code page><@@><character set><@@><output code page>"; `said` is what
  // follows the settings asked.
  using Properties = std::map<std::string, std::string, std::less<>>;
  const auto steered = [&](const char* name, const std::string& pages, Properties values,
                           ExitCode code, const std::string& said, const std::string& opened,
                           const std::string& selected = "x") {
    values.try_emplace("websearch.next.at", "1800000000");
    return DocumentCase{name,
                        windows,
                        selected,
                        "<@@>" + pages + "<@@><@@>",
                        code,
                        "selection " + asked + said,
                        opened,
                        false,
                        kNoRoom,
                        "",
                        std::move(values)};
  };
  const std::string utf8 = "65001<@@>1<@@>65001";
  const std::string dbcs = "932<@@>1<@@>932";
  const std::string ddg = "https://duckduckgo.com/?q=";
  const std::string next = "next empty:next ";  // the one-shot values asked and emptied
  const std::string notValid932 =
      "say:!> The selection is not valid code page 932 text: nothing opened.";
  const auto keysOf = [](const std::string& engine) {
    return "ask:websearch.group." + engine + " ask:websearch.engine." + engine +
           " ask:websearch.browser." + engine + " ";
  };
  // A reply for a file of extension "py" with `flags` for its settings, from a SciTE that takes
  // `takes` commands: a reply of another shape counts as none, as from an old SciTE.
  const std::string asIfOld =
      "ask:FileExt ask:websearch.engines.py ask:websearch.url.py ask:websearch.ask.py ";
  const auto flagged = [&](const char* name, const char* flags, std::size_t takes,
                           const std::string& asks, const std::string& after = "") {
    DocumentCase c{name,
                   windows,
                   "x",
                   "<@@>65001<@@>1<@@>65001<@@>py<@@>",
                   ExitCode::Opened,
                   "selection " + asks + "say:+> Search: " + ddg + "x" + after,
                   ddg + "x"};
    c.properties = {{"FileExt", "py"}};
    c.flags = flags;
    c.takes = takes;
    return c;
  };
  const auto textSaid = [](const std::string& text) {
    return "say:+> Text from websearch.next.text: " + text + " ";
  };
  const DocumentCase cases[] = {
      {"the word in a UTF-8 document", windows, "", "<@@>65001<@@>1<@@>65001<@@><@@>word",
       ExitCode::Opened,
       "word " + asked + "say:+> Word at caret: word say:+> Search: https://duckduckgo.com/?q=word",
       "https://duckduckgo.com/?q=word"},
      {"no separator: a stale result, taken for nothing", windows, "", "word",
       ExitCode::NothingToSearch, "word " + asked + "ask:FileExt " + nothing, ""},
      {"the separator later on", windows, "", "x<@@>65001<@@>1<@@>65001<@@><@@>word",
       ExitCode::NothingToSearch, "word " + asked + "ask:FileExt " + nothing, ""},
      {"no word", gtk, "", "<@@>65001<@@>1<@@>65001<@@><@@>", ExitCode::NothingToSearch,
       "word " + asked + nothing, ""},
      {"a selection in a UTF-8 document as the launcher passed it", windows,
       "Gr\xC3\xB6\xC3\x9F"
       "e",
       "<@@>65001<@@>1<@@>65001<@@><@@>", ExitCode::Opened,
       "selection " + asked + "say:+> Search: " + grosse, grosse},
      {"Windows fetches the selection of a Windows-1252 document", windows, "Gr\xEF\xBF\xBD",
       "<@@>0<@@>1<@@>0<@@><@@>Gr\xF6\xDF"
       "e",
       ExitCode::Opened, "selection " + asked + "say:+> Search: " + grosse, grosse},
      {"GTK converts the launcher's bytes", gtk,
       "Gr\xF6\xDF"
       "e",
       "<@@>0<@@>1<@@>65001<@@><@@>", ExitCode::Opened,
       "document " + asked + "say:+> Search: " + grosse, grosse},
      {"GTK draws Latin-1 for character set 0", gtk,
       "Gr\xF6\xDF"
       "e",
       "<@@>0<@@>0<@@>65001<@@><@@>", ExitCode::Opened,
       "document " + asked + "say:+> Search: " + grosse, grosse},
      {"converted before it is folded", gtk,
       " Gr\xF6\xDF"
       "e\n",
       "<@@>0<@@>1<@@>65001<@@><@@>", ExitCode::Opened,
       "document " + asked + "say:+> Search: " + grosse, grosse},
      {"a lead byte alone", gtk, "\x93\xFA\x96", "<@@>932<@@>128<@@>65001<@@><@@>",
       ExitCode::InvalidText,
       "document " + asked + "say:!> The selection is not valid SHIFT-JIS text: nothing opened.",
       ""},
      {"a lead byte alone in a selection Windows fetched", windows, "x",
       "<@@>932<@@>1<@@>932<@@><@@>\x93\xFA\x96", ExitCode::InvalidText,
       "selection " + asked +
           "say:!> The selection is not valid code page 932 text: nothing opened.",
       ""},
      {"the word in the pane's own code page", windows, "", "<@@>0<@@>1<@@>0<@@><@@>caf\xE9",
       ExitCode::Opened,
       "word " + asked +
           "say:+> Word at caret: caf\xE9 say:+> Search: https://duckduckgo.com/?q=caf%C3%A9",
       "https://duckduckgo.com/?q=caf%C3%A9"},
      {"the word in a UTF-8 pane", gtk, "", "<@@>0<@@>1<@@>65001<@@><@@>caf\xE9", ExitCode::Opened,
       "word " + asked +
           "say:+> Word at caret: caf\xC3\xA9 say:+> Search: https://duckduckgo.com/?q=caf%C3%A9",
       "https://duckduckgo.com/?q=caf%C3%A9"},
      {"a cut reply's last lead byte left out, not called invalid", gtk, "",
       "<@@>932<@@>128<@@>65001<@@><@@>word\x96", ExitCode::Opened,
       "word " + asked + "say:+> Word at caret: word say:+> Search: https://duckduckgo.com/?q=word",
       "https://duckduckgo.com/?q=word", true},
      // Cut where the launcher's command line would have cut the converted text: a line break
      // takes two units there, as SciTE's escape.
      {"a fetched selection cut as the command line cuts it", windows, "x",
       "<@@>0<@@>1<@@>0<@@><@@>Gr\xF6\n\xDF"
       "e",
       ExitCode::Opened, "selection " + asked + "say:+> Search: https://duckduckgo.com/?q=Gr%C3%B6",
       "https://duckduckgo.com/?q=Gr%C3%B6", false, 5},
      // The extension from the same question, and only its settings that are set asked after.
      {"an extension with no settings of its own: one wait before the address",
       gtk,
       "x",
       "<@@>65001<@@>1<@@>65001<@@>py<@@>",
       ExitCode::Opened,
       "document " + asked + "say:+> Search: https://duckduckgo.com/?q=x",
       "https://duckduckgo.com/?q=x",
       false,
       kNoRoom,
       "",
       {},
       {7, 7}},
      {"an extension's template set: asked raw in one more",
       gtk,
       "x",
       "<@@>65001<@@>1<@@>65001<@@>PY<@@>",
       ExitCode::Opened,
       "document " + asked + "ask:websearch.url.py say:+> Search: https://p.example/?q=x",
       "https://p.example/?q=x",
       false,
       kNoRoom,
       "",
       {{"websearch.url.py", "https://p.example/?q={query}"}},
       {7, 1, 7}},

      // The address the caret is in, from the caret's line in the same question.
      {"an address at the caret opens as a selected one", windows, "",
       "<@@>65001<@@>1<@@>65001<@@><@@>(see https://e.example/x).", ExitCode::Opened,
       "word " + asked +
           "say:+> Address at caret: https://e.example/x say:+> Open: https://e.example/x",
       "https://e.example/x", false, kNoRoom, "10<@@>5<@@>10<@@>0<@@>0"},
      {"an 8-bit line converted on each side of the caret", gtk, "",
       "<@@>0<@@>1<@@>65001<@@><@@>caf\xE9 https://e.example/caf\xE9.", ExitCode::Opened,
       "word " + asked +
           "say:+> Address at caret: https://e.example/caf\xC3\xA9 say:+> Open: "
           "https://e.example/caf%C3%A9",
       "https://e.example/caf%C3%A9", false, kNoRoom, "26<@@>23<@@>27<@@>0<@@>0"},
      {"an 8-bit pane shows the address as it opens", windows, "",
       "<@@>0<@@>1<@@>0<@@><@@>caf\xE9 https://e.example/caf\xE9.", ExitCode::Opened,
       "word " + asked +
           "say:+> Address at caret: https://e.example/caf%C3%A9 say:+> Open: "
           "https://e.example/caf%C3%A9",
       "https://e.example/caf%C3%A9", false, kNoRoom, "26<@@>23<@@>27<@@>0<@@>0"},
      {"a bare www.: the word", windows, "", "<@@>65001<@@>1<@@>65001<@@><@@>www.example.com",
       ExitCode::Opened,
       "word " + asked +
           "say:+> Word at caret: example say:+> Search: https://duckduckgo.com/?q=example",
       "https://duckduckgo.com/?q=example", false, kNoRoom, "5<@@>4<@@>11<@@>0<@@>0"},
      {"an address that the reply's cut may have parted: the word", gtk, "",
       "<@@>65001<@@>1<@@>65001<@@><@@>see https://e.example/x", ExitCode::Opened,
       "word " + asked + "say:+> Word at caret: https say:+> Search: " + https, https, true,
       kNoRoom, "8<@@>4<@@>9<@@>0<@@>0"},
      {"an address that the line goes on past: the word", gtk, "",
       "<@@>65001<@@>1<@@>65001<@@><@@>see https://e.example/x", ExitCode::Opened,
       "word " + asked + "say:+> Word at caret: https say:+> Search: " + https, https, false,
       kNoRoom, "8<@@>4<@@>9<@@>0<@@>1"},
      {"an address at the limit", windows, "", "<@@>65001<@@>1<@@>65001<@@><@@>" + atLimit,
       ExitCode::Opened,
       "word " + asked + "say:+> Address at caret: " + atLimit + " say:+> Open: " + atLimit,
       atLimit, false, kNoRoom, "3<@@>0<@@>5<@@>0<@@>0"},
      {"an address past the limit: the word", windows, "",
       "<@@>65001<@@>1<@@>65001<@@><@@>" + atLimit + "a", ExitCode::Opened,
       "word " + asked + "say:+> Word at caret: https say:+> Search: " + https, https, false,
       kNoRoom, "3<@@>0<@@>5<@@>0<@@>0"},

      // A group's keys go in the batch that asks its engines', its members' in the next.
      {"the settings asked a batch at a time",
       windows,
       "x",
       "<@@>65001<@@>1<@@>65001<@@><@@>",
       ExitCode::Opened,
       "selection " + asked + groupAsked +
           "say:+> Search: https://a.example/?q=x say:+> Search: https://b.example/?q=x",
       "https://b.example/?q=x",
       false,
       kNoRoom,
       "",
       groupOfTwo,
       {7, 3, 6, 7}},
      {"a chain of references: a batch a level, four at most, the rest one by one",
       windows,
       "x",
       "<@@>65001<@@>1<@@>65001<@@><@@>",
       ExitCode::Opened,
       "selection " + asked +
           "ask:u1 ask:u2 ask:u3 ask:u4 ask:u5 say:+> Search: https://c.example/?q=x",
       "https://c.example/?q=x",
       false,
       kNoRoom,
       "",
       {{"websearch.url", "$(u1)"},
        {"u1", "$(u2)"},
        {"u2", "$(u3)"},
        {"u3", "$(u4)"},
        {"u4", "$(u5)"},
        {"u5", "https://c.example/?q={query}"}},
       {7, 1, 1, 1, 1, 7}},
      // A command's one-shot values, each wired in; their rules have the NextSearch table.
      [&] {
        DocumentCase c =
            steered("websearch.next.engine: its search at once, no list shown", utf8,
                    {{"websearch.engines", "A B"},
                     {"websearch.engine.A", "https://a.example/?q={query}"},
                     {"websearch.engine.B", "https://b.example/?q={query}"},
                     {"websearch.next.engine", "B"}},
                    ExitCode::Opened, keysOf("B") + next + "say:+> Search: https://b.example/?q=x",
                    "https://b.example/?q=x");
        c.batches = {7, 11, 7};
        return c;
      }(),
      steered("websearch.next.text: searched instead of the selection, each line", utf8,
              {{"websearch.next.text", "two\nlines\n"}}, ExitCode::Opened,
              next + textSaid("two lines") + "say:+> Search: " + ddg + "two%20lines",
              ddg + "two%20lines"),
      steered("websearch.next.pane: in the output pane's code page, its locations taken off",
              "65001<@@>1<@@>0",
              {{"websearch.next.text",
                "a.c:1:2: error: Gr\xF6\xDF"
                "e\n"},
               {"websearch.next.pane", "output"}},
              ExitCode::Opened,
              next +
                  "say:+> Output pane: error: Gr\xF6\xDF"
                  "e say:+> Search: " +
                  ddg + "error%3A%20Gr%C3%B6%C3%9Fe",
              ddg + "error%3A%20Gr%C3%B6%C3%9Fe"),
      steered("the output pane's line a location only", utf8,
              {{"websearch.next.text", "a.c:1:2: "}, {"websearch.next.pane", "output"}},
              ExitCode::NothingToSearch,
              next + "say:!> Nothing to search in the output pane: select some text there, or "
                     "put its caret on a line.",
              ""),
      steered("websearch.next.at too old: the selection searched, the engine ignored", utf8,
              {{"websearch.next.engine", "B"}, {"websearch.next.at", "1799999990"}},
              ExitCode::Opened,
              keysOf("B") + next +
                  "say:!> SciTE property websearch.next.at is 10 seconds old, more than 5: the "
                  "websearch.next.* values left behind steer nothing. say:+> Search: " +
                  ddg + "x",
              ddg + "x"),
      // A command cuts a long text to what a search holds, perhaps inside its last character.
      steered(
          "websearch.next.text in UTF-8 cut inside its last character, or not", utf8,
          {{"websearch.next.text", "\xF0\x9F\x98\x80 caf\xC3"}}, ExitCode::Opened,
          next + textSaid("\xF0\x9F\x98\x80 caf") + "say:+> Search: " + ddg + "%F0%9F%98%80%20caf",
          ddg + "%F0%9F%98%80%20caf"),
      steered("a 4-byte character cut after 3", utf8, {{"websearch.next.text", "x\xF0\x9F\x98"}},
              ExitCode::Opened, next + textSaid("x") + "say:+> Search: " + ddg + "x", ddg + "x"),
      // The fake converter has no character for a 0x96 at the end: three such bytes may go.
      steered("three bytes with no character at the end: left out", dbcs,
              {{"websearch.next.text", "a\x96\x96\x96"}}, ExitCode::Opened,
              next + textSaid("a") + "say:+> Search: " + ddg + "a", ddg + "a"),
      steered("four: not valid", dbcs, {{"websearch.next.text", "a\x96\x96\x96\x96"}},
              ExitCode::InvalidText, next + notValid932, ""),
      steered("a byte alone is never left out", dbcs, {{"websearch.next.text", "\x96"}},
              ExitCode::InvalidText, next + notValid932, ""),
      steered("an unknown websearch.next.engine opens nothing, not even an address", utf8,
              {{"websearch.next.engine", "Z"}}, ExitCode::BadTemplate,
              keysOf("Z") + next +
                  "say:!> SciTE property websearch.next.engine names \"Z\", which is no engine "
                  "or group: nothing opened.",
              "", "https://e.example/"),
      flagged("a flag short", "00", kNoRoom, asked + asIfOld),
      flagged("a flag neither 0 nor 1", "0x0", kNoRoom, asked + asIfOld),
      // The rest asked again one by one, and missed; nothing remembered over a list not had.
      flagged("SciTE stops after the first setting", "000", 4,
              "ask:extender.result empty:extender.result ask:websearch.engines ask:websearch.url "
              "ask:websearch.ask ask:websearch.ask ask:websearch.url ask:websearch.browser ",
              " ask:websearch.history.searches"),
      {"a group's search says the word at the caret once", windows, "",
       "<@@>65001<@@>1<@@>65001<@@><@@>word", ExitCode::Opened,
       "word " + asked + groupAsked +
           "say:+> Word at caret: word say:+> Search: https://a.example/?q=word "
           "say:+> Search: https://b.example/?q=word",
       "https://b.example/?q=word", false, kNoRoom, "", groupOfTwo},
  };
  for (const auto& c : cases) {
    FakeScite scite;
    scite.answers["extender.result"] = {
        withPlaces(c.result, c.places, c.launcherText.empty(), c.properties, c.flags)};
    for (const auto& [key, value] : c.properties) {
      scite.answers[key] = {value};
    }
    scite.answers["websearch.history.size"] = {"0"};  // remembering has a table of its own
    scite.repliesCut = c.cut;
    scite.takes = c.takes;
    test_support::Handed handed;
    companion::RunSystem system = test_support::recordingSystem(handed);
    system.editor = c.editor;
    system.toUtf8 = fakeToUtf8;
    system.selectionRoom = c.selectionRoom;
    const ExitCode code = companion::searchSelection(scite, c.launcherText, system);
    // What is asked once the search has gone has its own table: remembering it.
    std::string sent = steps(scite);
    if (sent.ends_with(" " + kRecentAsks.substr(0, kRecentAsks.size() - 1))) {
      sent.resize(sent.size() - kRecentAsks.size());
    }
    const DocumentRun got{code, sent, handed.byDefault.empty() ? "" : handed.byDefault.back()};
    EXPECT_EQ(got, (DocumentRun{c.code, c.steps, c.opened})) << c.name;
    if (!c.batches.empty()) {
      EXPECT_EQ(scite.batches, c.batches) << c.name;
    }
  }
}

struct RememberCase {
  const char* name;
  std::string also;  // key=value lines: properties more where SciTE keeps find strings on disk
  std::optional<std::string> fileBefore;
  std::string steps;
  std::optional<std::string> fileAfter;
  std::optional<std::string> writeFails;
  ExitCode code = ExitCode::Opened;
};

// The document's Lua looks up each setting of the extension, in the extension's lower case, so
// that the fields say which to ask: what the fake SciTE above answers for it.
TEST(SearchSelection, TheDocumentsLuaSaysWhichSettingsOfTheExtensionAreSet) {
  FakeScite scite;
  test_support::Handed handed;
  companion::RunSystem system = test_support::recordingSystem(handed);
  system.editor = companion::EditorKind::gtk;
  (void)companion::searchSelection(scite, "x", system);
  const test_support::LuaCase rows[] = {
      {"each setting an extension adds, by its general key", "document",
       "ipairs({'websearch.engines', 'websearch.url', 'websearch.ask', })",
       "px = px .. ((x ~= '' and props[k .. '.' .. x] ~= '') and 1 or 0)"},
      {"the extension in lower case, ASCII only", "document",
       "local x = props['FileExt']:gsub('[A-Z]', string.lower)", "ipairs("},
  };
  test_support::expectLua(scite, rows);
}

// The steps a trace of one press marks, in order (the bench's breakdown).
TEST(SearchSelection, MarksEachStepInATrace) {
  FakeScite scite;
  scite.answers["extender.result"] = {
      "<@@>65001<@@>1<@@>65001<@@><@@>0<@@>0<@@>0<@@>0<@@>0<@@>0<@@><@@>000<@@>"};
  test_support::Handed handed;
  companion::RunSystem system = test_support::recordingSystem(handed);
  std::vector<std::string> marked;
  system.trace = [&marked](std::string_view step) { marked.emplace_back(step); };
  EXPECT_EQ(companion::searchSelection(scite, "x", system), ExitCode::Opened);
  EXPECT_EQ(marked, (std::vector<std::string>{"document asked", "settings asked", "text converted",
                                              "decided", "said", "handed over", "remembered"}));
}

// How the recent searches are wired into a run; their rules have the History tables.
TEST(SearchSelection, RemembersEverySearchMade) {
  const std::string file = "/home/me/.websearch.history";
  const std::string list = "websearch.history.searches=\x1F";
  const RememberCase cases[] = {
      {"first in this SciTE: the file read, the search put first in both", "", "b\nfetch\nc\n",
       kRecentAsks + "remember:fetch|b|c", "fetch\nb\nc\n"},
      {"SciTE's list taken over the file", list + "b", "old\n", kRecentAsks + "remember:fetch|b",
       "fetch\nb\n"},
      {"already the newest: nothing written", list + "fetch\x1F" + "b", std::nullopt,
       kRecentAsks.substr(0, kRecentAsks.size() - 1), std::nullopt},
      {"SciTE keeps no find strings: no file read or written", "save.recent=", "b\n",
       kRecentAsks + "remember:fetch", "b\n"},
      {"no file yet, and one that cannot be written is said", "", std::nullopt,
       kRecentAsks + "remember:fetch say:!> The recent searches could not be kept in " + file +
           ": Permission denied.",
       std::nullopt, "Permission denied"},
      {"a list from the file, already the newest: still set in SciTE", "", "fetch\nb\n",
       kRecentAsks + "remember:fetch|b", "fetch\nb\n"},
      {"no user folder: no file written", "SciteUserHome=", std::nullopt,
       kRecentAsks + "remember:fetch", std::nullopt},
      {"kept on disk for save.session alone", "save.recent=\nsave.session=1", std::nullopt,
       kRecentAsks + "remember:fetch", "fetch\n"},
      {"kept on disk for save.position alone", "save.recent=\nsave.position=1", std::nullopt,
       kRecentAsks + "remember:fetch", "fetch\n"},
      {"a partly opened group remembered",
       "websearch.engines=G\nwebsearch.group.G=A B\nwebsearch.engine.A=https://a.example/?q={query}"
       "\nwebsearch.engine.B=https://b.example/?q={query}\nwebsearch.browser.B=/usr/bin/nosuch",
       std::nullopt,
       "say:+> Search: https://b.example/?q=fetch say:!> Could not start /usr/bin/nosuch "
       "(websearch.browser.B) for https://b.example/?q=fetch: No such file or directory. " +
           kRecentAsks + "remember:fetch",
       "fetch\n", std::nullopt, ExitCode::PartlyOpened},
      {"not remembered when the browser did not start", "websearch.browser=/usr/bin/nosuch",
       std::nullopt,
       "say:!> Could not start /usr/bin/nosuch (websearch.browser): No such file or directory. "
       "Nothing opened.",
       std::nullopt, std::nullopt, ExitCode::OpenFailed},
  };
  for (const auto& c : cases) {
    FakeScite scite;
    scite.answers["extender.result"] = {"<@@>65001<@@>1<@@>65001<@@><@@>"};
    std::istringstream settings("save.find=1\nsave.recent=1\nSciteUserHome=/home/me\n" + c.also);
    for (std::string setting; std::getline(settings, setting);) {
      const std::size_t equals = setting.find('=');
      scite.answers[setting.substr(0, equals)] = {setting.substr(equals + 1)};
    }
    test_support::Handed handed{.failing = {"/usr/bin/nosuch"}, .writeFails = c.writeFails};
    if (c.fileBefore) {
      handed.files[file] = *c.fileBefore;
    }
    companion::RunSystem system = test_support::recordingSystem(handed);
    system.editor = companion::EditorKind::gtk;
    EXPECT_EQ(companion::searchSelection(scite, "fetch", system), c.code) << c.name;
    std::string after = steps(scite);
    after = after.substr(after.find("q=fetch") + 7);
    after = after.empty() ? after : after.substr(1);
    std::map<std::string, std::string, std::less<>> filesAfter;
    if (c.fileAfter) {
      filesAfter[file] = *c.fileAfter;
    }
    // The commands after the search line, and every file afterwards.
    EXPECT_EQ(std::pair(after, handed.files), std::pair(c.steps, filesAfter)) << c.name;
  }
}

}  // namespace
