// SciTE's list of engines and the word at the caret, over a fake SciTE: the commands sent, in
// order, and what the run makes of SciTE's answers.
#include "companion/scite/list_at_caret.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <map>
#include <optional>
#include <ostream>
#include <span>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "companion/query/caret.h"
#include "companion/scite/lua_literal.h"
#include "companion/run.h"
#include "platform/text.h"
#include "tests/support/fake_scite.h"

namespace {

using companion::ExitCode;
using test_support::FakeScite;
using test_support::SentCommand;

constexpr std::uint32_t kProcessId = 4242;
const std::string kState = "websearch.state." + std::to_string(kProcessId);
// What every run asks after its settings: whether to show the strip. The recent searches, and
// where SciTE keeps its find strings, only once the strip shows or the search has been handed on.
const std::string kStripAsks = "ask:websearch.ask ";
const std::string kRecentAsks =
    "ask:websearch.history.searches ask:websearch.history.size ask:save.find ask:save.session "
    "ask:save.recent ask:save.position ask:SciteUserHome ";
// More looks than any row needs: a wait that never ends fails instead of hanging.
constexpr int kPatience = 50;

bool contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// `label` then `rest`, appended: GCC 12's -O3 misjudges "literal" + std::string as overlapping.
std::string labelled(std::string_view label, std::string_view rest) {
  std::string text(label);
  text += rest;
  return text;
}

// A command by what it does; one that is none of these, whole.
std::string step(const SentCommand& sent) {
  constexpr std::string_view kDoString = "extender:dostring ";
  const std::string_view command = sent.command;
  if (sent.expectReply && command.starts_with("askproperty:")) {
    const std::string key(command.substr(12));
    return labelled("ask:", key == kState ? "state" : key);
  }
  if (!sent.expectReply && command.starts_with("property:") && command.ends_with('=')) {
    return labelled("empty:", command.substr(9, command.size() - 10));
  }
  constexpr std::string_view kRemember = "property:websearch.history.searches=\x1F";
  if (!sent.expectReply && command.starts_with(kRemember)) {
    std::string searches(command.substr(kRemember.size()));
    std::replace(searches.begin(), searches.end(), '\x1F', '|');
    return labelled("remember:", searches);
  }
  if (!sent.expectReply && command.starts_with("output:") && command.ends_with("\\n")) {
    return labelled("say:", command.substr(7, command.size() - 9));
  }
  if (!sent.expectReply && command.starts_with(kDoString)) {
    if (contains(command, "editor:CopyText(")) {
      return labelled("copy:", command.substr(command.find('(') + 1));
    }
    for (const auto& [marker, name] : {std::pair{"scite.StripShow('')", "strip-tidy"},
                                       {"scite.StripSet(", "strip"},
                                       {"editor.Focus", "strip-look"},
                                       {"UserListShow(", "show"},
                                       {"AutoCCancel()", "tidy"},
                                       {"] = state", "look"},
                                       {"WordStartPosition", "word"},
                                       {"GetSelText", "selection"},
                                       {"props['FileExt']", "document"}}) {
      if (contains(command, marker)) {
        return name;
      }
    }
  }
  return labelled(labelled("?", sent.command), sent.expectReply ? " (reply)" : "");
}

std::string steps(const FakeScite& scite) {
  std::string out;
  for (const SentCommand& sent : scite.sent) {
    out += out.empty() ? "" : " ";
    out += step(sent);
  }
  return out;
}

struct PickRun {
  std::optional<std::string> picked;
  std::string steps;
  int pauses = 0;
  bool threw = false;
  bool operator==(const PickRun&) const = default;
};

void PrintTo(const PickRun& run, std::ostream* out) {
  *out << run.picked.value_or("(no pick)") << " | " << run.steps << " | " << run.pauses << " pauses"
       << (run.threw ? " | threw" : "");
}

struct PickCase {
  const char* name;
  std::vector<std::string> states;  // what each look sees
  std::size_t takes;                // commands SciTE takes
  PickRun run;
  int pausesUntilThrow = kPatience;
};

PickRun pickWith(FakeScite& scite, int pausesUntilThrow) {
  PickRun run;
  const companion::RunSystem system{.pause =
                                        [&](std::chrono::milliseconds interval) {
                                          EXPECT_GT(interval.count(), 0);
                                          if (++run.pauses == pausesUntilThrow) {
                                            throw std::runtime_error("stopped");
                                          }
                                        },
                                    .processId = [] { return kProcessId; }};
  try {
    run.picked = companion::pickEngine(scite, {"B", "A", "C++"}, system);
  } catch (const std::runtime_error&) {
    run.threw = true;
  }
  run.steps = steps(scite);
  return run;
}

TEST(PickEngine, WaitsWhileTheListIsOpenAndAlwaysTidiesLast) {
  const std::size_t all = std::numeric_limits<std::size_t>::max();
  const PickCase cases[] = {
      {"picked at the first look", {"picked C++"}, all, {"C++", "show look ask:state tidy", 1}},
      {"open, then picked",
       {"open", "open", "picked A"},
       all,
       {"A", "show look ask:state look ask:state look ask:state tidy", 3}},
      {"closed without a pick",
       {"open", "closed"},
       all,
       {std::nullopt, "show look ask:state look ask:state tidy", 2}},
      {"an undefined state ends the wait", {}, all, {std::nullopt, "show look ask:state tidy", 1}},
      {"the list not shown", {"picked A"}, 0, {std::nullopt, "show tidy", 0}},
      {"no answer at the first look", {"picked A"}, 1, {std::nullopt, "show look tidy", 1}},
      {"SciTE stops answering while the list is open",
       {"open", "picked A"},
       3,
       {std::nullopt, "show look ask:state look tidy", 2}},
      {"tidied after a throw",
       {"open"},
       all,
       {std::nullopt, "show look ask:state tidy", 2, true},
       2},
  };
  for (const auto& c : cases) {
    FakeScite scite;
    scite.answers[kState] = c.states;
    scite.takes = c.takes;
    EXPECT_EQ(pickWith(scite, c.pausesUntilThrow), c.run) << c.name;
    for (const std::string_view emptied :
         {"props['websearch.pick.4242'] = ''", "props['websearch.start.4242'] = ''",
          "props['websearch.state.4242'] = ''"}) {
      EXPECT_TRUE(contains(scite.sent.back().command, emptied)) << c.name << ": " << emptied;
    }
  }
}

struct LuaCase {
  const char* name;
  std::string_view step;
  std::string_view first;
  std::string_view then;  // after `first` in the same Lua
};

// Each case's step sent, holding `first` and then `then`.
void expectLua(const FakeScite& scite, std::span<const LuaCase> cases) {
  for (const auto& c : cases) {
    const auto sent = std::find_if(scite.sent.begin(), scite.sent.end(),
                                   [&](const SentCommand& s) { return step(s) == c.step; });
    ASSERT_NE(sent, scite.sent.end()) << c.name;
    const auto first = sent->command.find(c.first);
    ASSERT_NE(first, std::string::npos) << c.name;
    EXPECT_TRUE(contains(std::string_view(sent->command).substr(first + c.first.size()), c.then))
        << c.name;
  }
}

TEST(PickEngine, LuaKeepsSciteAsItWas) {
  const LuaCase cases[] = {
      {"the focus goes to the editor before the list shows", "show", "editor:GrabFocus()",
       "editor:UserListShow("},
      {"an old pick forgotten before the list shows", "show", "props['websearch.pick.4242'] = ''",
       "editor:UserListShow("},
      {"the separator and the order kept before they are set", "show",
       "local separator, order = editor.AutoCSeparator, editor.AutoCOrder",
       "editor.AutoCSeparator = 32 editor.AutoCOrder = 2 editor:UserListShow(5242, 'B A C++')"},
      {"the separator and the order put back", "show", "editor:UserListShow(",
       "editor.AutoCSeparator, editor.AutoCOrder = separator, order"},
      {"where the list starts kept", "show", "editor:UserListShow(",
       "props['websearch.start.4242'] = tostring(editor:AutoCPosStart())"},
      {"every look puts the handler back", "look", "OnUserListSelection = g.handler",
       "props['websearch.state.4242'] = state"},
      {"the handler given back", "tidy", "OnUserListSelection = g.prev", "websearch_4242 = nil"},
      {"only our own list closed", "tidy", "if ours then editor:AutoCCancel() end", ""},
  };
  FakeScite scite;
  scite.answers[kState] = {"open", "picked A"};
  (void)pickWith(scite, kPatience);
  expectLua(scite, cases);
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
};

// `result` (the first four fields, then the text) with `places` put before the text; empty
// places as DocumentCase says.
std::string withPlaces(const std::string& result, std::string places, bool atCaret) {
  constexpr std::string_view kSeparator = "<@@>";
  std::size_t at = result.find(kSeparator);
  for (int field = 1; field < 5 && at != std::string::npos; ++field) {
    at = result.find(kSeparator, at + kSeparator.size());
  }
  if (at == std::string::npos) {
    return result;  // no document's reply: as it is
  }
  const std::size_t textSize = result.size() - at - kSeparator.size();
  if (places.empty()) {
    places = "0<@@>0<@@>" + std::to_string(atCaret ? textSize : 0) + "<@@>0<@@>0";
  }
  return result.substr(0, at + kSeparator.size()) + places + std::string(kSeparator) +
         result.substr(at + kSeparator.size());
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
  const DocumentCase cases[] = {
      {"the word in a UTF-8 document", windows, "", "<@@>65001<@@>1<@@>65001<@@><@@>word",
       ExitCode::Opened,
       "word " + asked + "say:+> Word at caret: word say:+> Search: https://duckduckgo.com/?q=word",
       "https://duckduckgo.com/?q=word"},
      {"no separator: a stale result, taken for nothing", windows, "", "word",
       ExitCode::NothingToSearch,
       "word ask:extender.result ask:FileExt empty:extender.result " + settings + nothing, ""},
      {"the separator later on", windows, "", "x<@@>65001<@@>1<@@>65001<@@><@@>word",
       ExitCode::NothingToSearch,
       "word ask:extender.result ask:FileExt empty:extender.result " + settings + nothing, ""},
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
      {"the extension from the same question", gtk, "x", "<@@>65001<@@>1<@@>65001<@@>py<@@>",
       ExitCode::Opened,
       "document ask:extender.result empty:extender.result ask:websearch.engines.py "
       "ask:websearch.url.py ask:websearch.engines ask:websearch.url ask:websearch.browser "
       "ask:websearch.ask.py " +
           kStripAsks + "say:+> Search: https://duckduckgo.com/?q=x",
       "https://duckduckgo.com/?q=x"},

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
       {2, 5, 3, 6, 7}},
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
       {2, 5, 1, 1, 1, 1, 7}},
      {"a group's search says the word at the caret once", windows, "",
       "<@@>65001<@@>1<@@>65001<@@><@@>word", ExitCode::Opened,
       "word " + asked + groupAsked +
           "say:+> Word at caret: word say:+> Search: https://a.example/?q=word "
           "say:+> Search: https://b.example/?q=word",
       "https://b.example/?q=word", false, kNoRoom, "", groupOfTwo},
  };
  for (const auto& c : cases) {
    FakeScite scite;
    scite.answers["extender.result"] = {withPlaces(c.result, c.places, c.launcherText.empty())};
    for (const auto& [key, value] : c.properties) {
      scite.answers[key] = {value};
    }
    scite.answers["websearch.history.size"] = {"0"};  // remembering has a table of its own
    scite.repliesCut = c.cut;
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

struct CaretCase {
  const char* name;
  std::string_view line;
  std::size_t caret;
  std::optional<std::string> address;  // none: the word at the caret is searched
  bool cutBefore = false;
  bool cutAfter = false;
};

TEST(AddressAtCaret, TheRunAroundTheCaretWithoutWhatSurroundsIt) {
  const std::string query = "https://example.com/a?b=1";
  const std::string x = "https://e.example/x";
  const std::string wiki = "https://en.wikipedia.org/wiki/Foo_(bar)";
  const std::string wikiInText = wiki + ".";
  const CaretCase cases[] = {
      {"the caret at the start", "see https://example.com/a?b=1 now", 4, query},
      {"in the middle", "see https://example.com/a?b=1 now", 12, query},
      {"on the last character", "see https://example.com/a?b=1 now", 28, query},
      {"just after the last character", "see https://example.com/a?b=1 now", 29, query},
      {"in the word before", "see https://example.com/a?b=1 now", 2, std::nullopt},
      {"after the blank behind it", "see https://example.com/a?b=1 now", 30, std::nullopt},
      {"a bracket and a full stop after it", "(see https://e.example/x).", 10, x},
      {"just after it, before the bracket", "(see https://e.example/x).", 24, x},
      {"after the bracket it leaves out", "(see https://e.example/x).", 25, std::nullopt},
      {"trailing . , ; : ! ? left out", "https://e.example/x?!.,;:", 3, x},
      {"a bracket balanced inside kept", wikiInText, 9, wiki},
      {"a quote there an odd number of times left out", "https://e.example/a'b'c'", 3,
       "https://e.example/a'b'c"},
      {"square and angle brackets with no partner left out", "<[https://e.example/x]>", 5, x},
      {"a square bracket with its partner kept", "https://e.example/a[1]]", 5,
       "https://e.example/a[1]"},
      {"a quote before the scheme, its partner after", "\"https://e.example/x\",", 1, x},
      {"the caret on the opening bracket", "(https://e.example/x)", 0, std::nullopt},
      {"the caret just after the opening bracket", "(https://e.example/x)", 1, x},
      {"the scheme in capitals", "HTTPS://E.EXAMPLE/", 9, "HTTPS://E.EXAMPLE/"},
      {"a bare www. is a word", "www.example.com/x", 5, std::nullopt},
      {"the scheme alone", "see https:// now", 6, std::nullopt},
      {"the scheme later in the run", "url=https://e.example/x", 8, std::nullopt},
      {"tabs and line ends are blanks", "\thttps://e.example/x\r\n", 3, x},
      {"a run that reaches a cut end is not seen whole", "https://e.example/x", 3, std::nullopt,
       false, true},
      {"the line cut before a blank before it", "a https://e.example/x", 3, x, true},
      {"the line cut inside it before the caret", "https://e.example/x", 3, std::nullopt, true},
  };
  for (const auto& c : cases) {
    const auto run = companion::caretRun(
        {.text = c.line, .caret = c.caret, .cutBefore = c.cutBefore, .cutAfter = c.cutAfter});
    const auto address = run ? companion::addressAtCaret(run->before, run->after) : std::nullopt;
    EXPECT_EQ(address, c.address) << c.name;
  }
}

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
};

TEST(SearchSelection, TheStripDecidesWhatIsSearched) {
  using enum test_support::StripAct;
  const std::string settings =
      "selection ask:extender.result ask:FileExt empty:extender.result ask:websearch.engines "
      "ask:websearch.url ask:websearch.browser " +
      kStripAsks;
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
      {"SciTE stops answering while the strip waits", "", user(0, {{focusIn}}), ExitCode::Cancelled,
       look + "strip-look ", cancelled, stalled, "", 18},
  };
  for (const auto& c : cases) {
    FakeScite scite;
    offerStrip(scite, c.engines);
    scite.stripUser = c.user;
    scite.takes = c.takes;
    test_support::Handed handed;
    const companion::RunSystem system = test_support::recordingSystem(handed);
    const StripRun got{companion::searchSelection(scite, "fetch", system), steps(scite),
                       handed.byDefault.empty() ? "" : handed.byDefault.back(), scite.strip};
    // The address said is the one opened, and the tidy step comes before anything is said.
    constexpr std::string_view kOpened = "say:+> Search: ";
    const std::size_t url = kOpened.size();
    const std::string opened =
        c.said.starts_with(kOpened) ? c.said.substr(url, c.said.find(' ', url) - url) : "";
    const std::string asked = settings + engineAsks(c.engines) + c.before + kRecentAsks;
    EXPECT_EQ(got, (StripRun{c.code, asked + "strip " + c.looks + "strip-tidy " + c.said, opened,
                             c.strip}))
        << c.name;
  }
}

TEST(SearchSelection, TheStripsLuaKeepsSciteAsItWas) {
  const std::string layout =
      companion::luaLiteral("'Search:'{}'En&gine:'{}((Search))(Co&py address)(Cancel)");
  const LuaCase cases[] = {
      {"what a killed run left is taken back first", "strip", "_G[name] = nil",
       "if not websearch_strip_7 then"},
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
      {"each list set before its field's text", "strip", "scite.StripSetList(1, 'past')",
       "scite.StripSet(3, 'DDG')"},
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
  const Row rows[] = {
      {"Windows: set after the strip shows, the caret then put after it", EditorKind::windows,
       "fetch", "set after | strip ?caret:1 strip-look"},
      {"GTK: written in the definition", EditorKind::gtk, "fetch", "definition | strip strip-look"},
      {"GTK: a text with '}' set after the strip shows, as on Windows", EditorKind::gtk, "a}b",
       "set after | strip ?caret:1 strip-look"},
  };
  for (const Row& row : rows) {
    FakeScite scite;
    offerStrip(scite, "DDG MDN");
    scite.stripUser = {{test_support::StripAct::focusIn}, {test_support::StripAct::cancel}};
    test_support::Handed handed;
    companion::RunSystem system = test_support::recordingSystem(handed);
    system.editor = row.editor;
    system.stripCaretToEnd = [&scite](int control) {
      scite.sent.push_back({"caret:" + std::to_string(control)});
    };
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

struct RememberCase {
  const char* name;
  std::string also;  // key=value lines: properties more where SciTE keeps find strings on disk
  std::optional<std::string> fileBefore;
  std::string steps;
  std::optional<std::string> fileAfter;
  std::optional<std::string> writeFails;
  ExitCode code = ExitCode::Opened;
};

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
