// One run over a fake SciTE and a recording system: the steps it marks, and the strip: what the
// user does in it decides what is searched, its Lua keeps SciTE as it was, and words typed as it
// shows are never glued to the query.
#include "companion/run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <limits>
#include <map>
#include <ostream>
#include <span>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "companion/scite/lua_literal.h"
#include "companion/scite/strip.h"
#include "tests/companion/sent_steps.h"
#include "tests/support/fake_scite.h"

namespace {

using companion::ExitCode;
using test_support::contains;
using test_support::expectLua;
using test_support::FakeScite;
using test_support::kRecentAsks;
using test_support::kStripAsks;
using test_support::LuaCase;
using test_support::SentCommand;
using test_support::step;
using test_support::steps;

// What a run with the strip did: its outcome, its commands and the strip as it was left.
struct StripRun {
  ExitCode code;
  std::string steps;
  std::string opened;
  test_support::StripModel strip;
  bool operator==(const StripRun&) const = default;
};

void PrintTo(const StripRun& run, std::ostream* out) {
  *out << static_cast<int>(run.code) << " | " << run.steps << " | " << run.opened << " | state '"
       << run.strip.state << "'" << (run.strip.shown ? " shown" : "")
       << (run.strip.focused ? " focused" : "") << (run.strip.closedByTidy ? " closed" : "");
}

// A run with the strip asked for, offering `engines` (websearch.engines; empty for the built-in
// engine alone) with the recent searches `recent`.
void offerStrip(FakeScite& scite, const std::string& engines, const std::string& recent = "") {
  scite.answers["extender.result"] = {"<@@>65001<@@>1<@@>65001<@@><@@>"};
  scite.answers["websearch.ask"] = {"1"};
  scite.answers["websearch.engines"] = {engines};
  scite.answers["websearch.engine.DDG"] = {"https://duckduckgo.com/?q={query}"};
  scite.answers["websearch.engine.MDN"] = {"https://developer.mozilla.org/search?q={query}"};
  scite.answers["websearch.group.Both"] = {"DDG MDN"};
  scite.answers["websearch.history.searches"] = {recent};
}

struct StripCase {
  const char* name;
  std::string engines;
  std::vector<test_support::StripStep> user;
  ExitCode code;
  std::string looks;  // the commands between the strip shown and its tidy step
  std::string said;   // after the tidy step
  test_support::StripModel strip;
  std::string before = "";                                      // said before the strip shows
  std::size_t takes = std::numeric_limits<std::size_t>::max();  // commands SciTE takes
  std::string recent = "";  // the recent searches as SciTE keeps them
  std::map<std::string, std::string, std::less<>> also = {};  // SciTE's other properties
};

TEST(SearchSelection, TheStripDecidesWhatIsSearched) {
  using enum test_support::StripAct;
  const std::string settings =
      "selection ask:extender.result empty:extender.result ask:websearch.engines "
      "ask:websearch.url ask:websearch.browser " +
      kStripAsks + "ask:FileExt ";
  // The keys asked for each name a row offers, then for a group's engines.
  const auto engineAsks = [](const std::string& engines) {
    std::string asks;
    std::istringstream names(engines == "Both" ? "Both DDG MDN" : engines);
    for (std::string name; names >> name;) {
      for (const char* key : {"group", "engine", "browser"}) {
        asks += "ask:websearch." + std::string(key) + "." + name + " ";
      }
    }
    return asks;
  };
  const std::string look = "strip-look ask:websearch.strip.state.7 ";
  const std::string click =  // the fields read
      look + "ask:websearch.strip.query.7 ask:websearch.strip.engine.7 ";
  const auto looks = [&](int count) {
    std::string all;
    for (int at = 0; at < count; ++at) {
      all += look;
    }
    return all;
  };
  // The user's steps after `waits` looks where nothing happened.
  const auto user = [](std::size_t waits, std::vector<test_support::StripStep> then) {
    then.insert(then.begin(), waits, test_support::StripStep{});
    return then;
  };
  const std::string ddg = "https://duckduckgo.com/?q=abort%20signal";
  const std::string x = "say:+> Search: https://duckduckgo.com/?q=x remember:x";
  const std::string cancelled = "say:+> Search cancelled: nothing opened.";
  using Model = test_support::StripModel;
  const Model tidied{.focused = true, .closedByTidy = true};
  const Model unseen{.closedByTidy = true};  // tidied, never seen with the focus
  const Model escaped{.focused = true};
  const Model leftOpen{.shown = true, .focused = true};
  const Model stalled{.shown = true, .focused = true, .state = "focused"};
  const Model stalledUnseen{.shown = true, .state = "open"};
  const StripCase cases[] = {
      {"Search: words typed and Return, the one engine named", "",
       user(0, {{focusIn}, {search, "fetch  abort\tsignal", ""}}), ExitCode::Opened, look + click,
       "say:+> Search: https://duckduckgo.com/?q=fetch%20abort%20signal remember:fetch abort "
       "signal",
       tidied},
      {"a past search on another engine", "DDG MDN",
       user(0, {{focusIn}, {search, "abort signal", "MDN"}}), ExitCode::Opened, look + click,
       "say:+> Search: https://developer.mozilla.org/search?q=abort%20signal remember:abort signal",
       tidied},
      {"the engine field's blanks ignored", "DDG MDN", user(0, {{search, "abort signal", " DDG "}}),
       ExitCode::Opened, click, "say:+> Search: " + ddg + " remember:abort signal", unseen},
      {"an engine typed that is not offered", "DDG MDN",
       user(0, {{focusIn}, {search, "abort signal", "Bing"}}), ExitCode::NoEngineChosen,
       look + click, "say:!> No engine \"Bing\" is offered: nothing opened.", tidied},
      {"Copy address", "", user(0, {{focusIn}, {copy, "abort signal", ""}}), ExitCode::Opened,
       look + click, "copy:'" + ddg + "') say:+> Copied: " + ddg + " remember:abort signal",
       tidied},
      {"Copy address of a group: its addresses one a line", "Both",
       user(0, {{focusIn}, {copy, "x", ""}}), ExitCode::Opened, look + click,
       "copy:'https://duckduckgo.com/?q=x\\\\010https://developer.mozilla.org/search?q=x') "
       "say:+> Copied: https://duckduckgo.com/?q=x say:+> Copied: "
       "https://developer.mozilla.org/search?q=x remember:x",
       tidied},
      {"Copy address of a group made in part: the made one copied, the other named",
       "Both",
       user(0, {{focusIn}, {copy, "x", ""}}),
       ExitCode::PartlyOpened,
       look + click,
       "copy:'https://duckduckgo.com/?q=x') say:+> Copied: https://duckduckgo.com/?q=x "
       "say:!> SciTE property websearch.engine.MDN leaves no room for the search words within "
       "2,048 characters. remember:x",
       tidied,
       "",
       std::numeric_limits<std::size_t>::max(),
       "",
       {{"websearch.engine.MDN",
         "https://developer.mozilla.org/" + std::string(2048, 'x') + "?q={query}"}}},
      {"Cancel", "", user(0, {{focusIn}, {cancel, "abort signal", ""}}), ExitCode::Cancelled,
       looks(2), cancelled, tidied},
      {"Escape: the focus back in the editor, the strip closed already", "",
       user(0, {{focusIn}, {wait}, {escape}}), ExitCode::Cancelled, looks(3), cancelled, escaped},
      {"a click in the output pane: the strip closed", "", user(0, {{focusIn}, {clickAway}}),
       ExitCode::Cancelled, looks(2), cancelled, tidied},
      {"the focus still in the editor before the strip had it: no cancel yet", "",
       user(0, {{clickAway}, {focusIn}, {search, "x", ""}}), ExitCode::Opened, looks(2) + click, x,
       tidied},
      {"nine looks before the strip is seen with the focus: still waiting", "",
       user(9, {{focusIn}, {search, "x", ""}}), ExitCode::Opened, looks(10) + click, x, tidied},
      {"ten: the user left the strip before any look saw it focused", "", user(10, {{focusIn}}),
       ExitCode::Cancelled, looks(10), cancelled, unseen},
      {"the user's own strip shown over ours: left open", "", user(0, {{focusIn}, {replaced}}),
       ExitCode::Cancelled, looks(2), cancelled, leftOpen},
      {"an empty query searched says so", "", user(0, {{search, "  ", ""}}),
       ExitCode::NothingToSearch, click,
       "say:!> Nothing to search: select some text, or put the caret in a word.", unseen},
      {"Copy address with an empty query copies nothing", "", user(0, {{copy, "  ", ""}}),
       ExitCode::NothingToSearch, click,
       "say:!> Nothing to search: select some text, or put the caret in a word.", unseen},
      {"several engines, one unknown: its note said before the strip", "DDG MDN Bing",
       user(0, {{search, "x", "DDG"}}), ExitCode::Opened, click, x, unseen,
       "say:!> SciTE property websearch.engine.Bing must begin with http:// or https:// and "
       "contain {query}. "},
      {"one usable engine of two: its note said once, with the search", "DDG Bing",
       user(0, {{search, "x", ""}}), ExitCode::Opened, click,
       "say:!> SciTE property websearch.engine.Bing must begin with http:// or https:// and "
       "contain {query}. " +
           x,
       unseen},
      {"an address typed, several engines offered: it opens where websearch.browser says",
       "DDG MDN",
       user(0, {{search, "https://e.example/x", "DDG"}}),
       ExitCode::Opened,
       click,
       "say:+> Open: https://e.example/x say:+> Opened with: zeal remember:https://e.example/x",
       unseen,
       "",
       std::numeric_limits<std::size_t>::max(),
       "",
       {{"websearch.browser", "zeal"}}},
      {"SciTE stops answering while the strip waits", "", user(0, {{focusIn}}), ExitCode::Cancelled,
       look + "strip-look ", cancelled, stalled, "", 18},
      {"SciTE stops answering as the recent searches go in: no look after", "",
       user(0, {{focusIn}}), ExitCode::Cancelled, "strip-recent ", cancelled, stalledUnseen, "", 16,
       "\x1Fpast"},
  };
  for (const auto& c : cases) {
    FakeScite scite;
    offerStrip(scite, c.engines, c.recent);
    for (const auto& [key, value] : c.also) {
      scite.answers[key] = {value};
    }
    scite.stripUser = c.user;
    scite.takes = c.takes;
    test_support::Handed handed;
    const companion::RunSystem system = test_support::recordingSystem(handed);
    const StripRun got{companion::searchSelection(scite, "fetch", system), steps(scite),
                       handed.byDefault.empty() ? "" : handed.byDefault.back(), scite.strip};
    // The address said is the one opened, and the tidy step comes before anything is said.
    constexpr std::string_view kOpened = "say:+> Search: ";
    const std::size_t said = c.said.find(kOpened);
    const std::size_t url = said + kOpened.size();
    const std::string opened =
        said != std::string::npos ? c.said.substr(url, c.said.find(' ', url) - url) : "";
    // The recent searches asked once the strip is up, and none to put in its list.
    const std::string asked = settings + engineAsks(c.engines) + c.before + "strip " + kRecentAsks;
    EXPECT_EQ(got, (StripRun{c.code, asked + c.looks + "strip-tidy " + c.said, opened, c.strip}))
        << c.name;
  }
}

TEST(SearchSelection, TheStripsLuaKeepsSciteAsItWas) {
  const std::string layout =
      companion::luaLiteral("'Search:'{}'En&gine:'{}((Search))(Co&py address)(Cancel)");
  const LuaCase cases[] = {
      {"what a killed run left is taken back first", "strip", "_G[name] = nil",
       "if not websearch_strip_7 then"},
      {"StripShow's own and the run's keys kept in its table", "strip",
       "{prev = OnStrip, show = scite.StripShow, keys = {'websearch.strip.state.7'", "} "},
      {"the user's handler kept before ours is installed", "strip", "prev = OnStrip",
       "OnStrip = g.handler"},
      {"events that are not ours go to the user's handler", "strip", "if not ours() then",
       "return g.prev(control, change)"},
      {"the fields read inside our own click", "strip", "change == 1 and clicks[control] then",
       "props['websearch.strip.query.7'] = scite.StripValue(1)"},
      {"a strip shown over ours is known", "strip", "g.wrapper = function(...) if ours() then",
       "= 'replaced'"},
      {"StripShow wrapped with the handler", "strip", "OnStrip = g.handler ",
       "scite.StripShow = g.wrapper"},
      {"focused at once unless the editor or the output pane has the focus", "strip",
       "if not (editor.Focus or output.Focus) then",
       "props['websearch.strip.state.7'] = 'focused'"},
      {"the engine list set before its field's text", "strip", "scite.StripSetList(3, ",
       "scite.StripSet(3, 'DDG')"},
      {"the recent searches set while the strip is ours", "strip-recent", "if ours() then",
       "scite.StripSetList(1, 'past')"},
      {"SciTE for Windows empties the field as it sets the list: put back", "strip-recent",
       "local q = scite.StripValue(1) scite.StripSetList(1, 'past') ", "scite.StripSet(1, q)"},
      {"the access keys outside the find strips'", "strip", layout, ""},
      {"every look puts the handler back", "strip-look", "OnStrip = g.handler",
       "local away = editor.Focus or output.Focus"},
      {"the user's handler and StripShow given back", "strip-tidy", "OnStrip = g.prev",
       "scite.StripShow = g.show"},
      {"only our own strip closed", "strip-tidy",
       "if s ~= '' and s ~= 'replaced' then scite.StripShow('') end", ""},
  };
  const std::string oneLayout =
      companion::luaLiteral("'Search DDG:'{}((Search))(Co&py address)(Cancel)");
  const LuaCase oneEngine[] = {
      {"one engine: no engine field, the buttons numbered from the query's", "strip",
       "local clicks = {[2] = 'search', [3] = 'copy', [4] = 'cancel'}", oneLayout},
  };
  for (const auto& [engines, rows] : {std::pair{"DDG MDN", std::span<const LuaCase>(cases)},
                                      std::pair{"DDG", std::span<const LuaCase>(oneEngine)}}) {
    FakeScite scite;
    offerStrip(scite, engines, "\x1Fpast");
    scite.stripUser = {{test_support::StripAct::focusIn}, {test_support::StripAct::cancel}};
    test_support::Handed handed;
    (void)companion::searchSelection(scite, "fetch", test_support::recordingSystem(handed));
    expectLua(scite, rows);
  }
}

// A search a command steered shows in the strip: its text in the query field, its engine first
// and in the engine field, the list's others after it.
TEST(SearchSelection, TheStripShowsWhatACommandSteersTo) {
  FakeScite scite;
  offerStrip(scite, "DDG MDN");
  scite.answers["extender.result"] = {
      "<@@>65001<@@>1<@@>65001<@@><@@>0<@@>0<@@>0<@@>0<@@>0<@@>1<@@>MDN<@@><@@>000<@@>"};
  scite.answers["websearch.next.engine"] = {"MDN"};
  scite.answers["websearch.next.text"] = {"two\nlines"};
  scite.answers["websearch.next.at"] = {std::to_string(test_support::kNow)};
  scite.stripUser = {{test_support::StripAct::cancel}};
  test_support::Handed handed;
  (void)companion::searchSelection(scite, "fetch", test_support::recordingSystem(handed));
  const LuaCase rows[] = {
      {"the text in the query, the engine in its field", "strip", "scite.StripSet(1, 'two lines')",
       "scite.StripSetList(3, 'MDN\\\\010DDG') scite.StripSet(3, 'MDN')"},
  };
  expectLua(scite, rows);
}

// Words typed as the strip shows are never glued to the front of the query field's text. The
// GTK SciTE selects text written in the strip's definition as the field takes the focus; a '}'
// would end the field there. On Windows the text is set after the strip shows, and the shell
// then moves the caret after it.
TEST(SearchSelection, WordsTypedAtOnceAreNeverGluedToTheQuery) {
  using companion::EditorKind;
  struct Row {
    const char* name;
    EditorKind editor;
    std::string selection;
    std::string shown;  // "definition" or "set after", then the steps from the strip to a look
  };
  // The recent searches are asked after the first pause, with the strip up; put in its list, the
  // field's text is put back on Windows, so the caret goes after it again.
  const std::string recent = "?pause " + kRecentAsks + "strip-recent ";
  const Row rows[] = {
      {"Windows: set after the strip shows, the caret then put after it", EditorKind::windows,
       "fetch", "set after | strip ?caret:1 " + recent + "?caret:1 strip-look"},
      {"GTK: written in the definition", EditorKind::gtk, "fetch",
       "definition | strip " + recent + "strip-look"},
      {"GTK: a text with '}' set after the strip shows, as on Windows", EditorKind::gtk, "a}b",
       "set after | strip ?caret:1 " + recent + "?caret:1 strip-look"},
  };
  for (const Row& row : rows) {
    FakeScite scite;
    offerStrip(scite, "DDG MDN", "\x1Fpast");
    scite.stripUser = {{test_support::StripAct::focusIn}, {test_support::StripAct::cancel}};
    test_support::Handed handed;
    companion::RunSystem system = test_support::recordingSystem(handed);
    system.editor = row.editor;
    system.stripCaretToEnd = [&scite](int control) {
      scite.sent.push_back({"caret:" + std::to_string(control)});
    };
    system.pause = [&scite](std::chrono::milliseconds) { scite.sent.push_back({"pause"}); };
    (void)companion::searchSelection(scite, row.selection, system);
    const std::string literal = companion::luaLiteral(row.selection);
    const auto show = std::find_if(scite.sent.begin(), scite.sent.end(),
                                   [](const SentCommand& s) { return step(s) == "strip"; });
    ASSERT_NE(show, scite.sent.end()) << row.name;
    const bool inDefinition = contains(
        show->command, companion::luaLiteral("'Search:'{" + row.selection +
                                             "}'En&gine:'{}((Search))(Co&py address)(Cancel)"));
    const bool setAfter = contains(show->command, "scite.StripSet(1, " + literal + ")");
    const std::string all = steps(scite);
    constexpr std::string_view kLook = "strip-look";
    const std::size_t from = all.find("strip ");
    const std::size_t to = all.find(kLook, from);
    std::string shown = inDefinition ? "definition" : "";
    shown += setAfter ? "set after" : "";
    shown += " | " + all.substr(from, to == std::string::npos ? to : to + kLook.size() - from);
    EXPECT_EQ(shown, row.shown) << row.name;
  }
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

}  // namespace
