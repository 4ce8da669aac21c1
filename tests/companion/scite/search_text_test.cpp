// The text a run searches, read from the document over a fake SciTE: the document's encoding read
// and its text converted first, the caret's word, address and line, and a command's text.
#include "companion/scite/search_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
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

#include "companion/run.h"
#include "director/escapes.h"
#include "director/operations.h"
#include "platform/ascii.h"
#include "platform/re.h"
#include "platform/text.h"
#include "tests/companion/sent_steps.h"
#include "tests/support/fake_scite.h"

namespace {

using companion::ExitCode;
using test_support::FakeScite;
using test_support::kRecentAsks;
using test_support::kStripAsks;
using test_support::steps;

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
  // The document's flags: 1 one-shot values set, 2 websearch.links set, 4 websearch.links.<ext>
  // set.
  const auto has = [&properties](const std::string& key) {
    const auto set = properties.find(key);
    return set != properties.end() && !set->second.empty();
  };
  const std::string extension = result.substr(extensionAt, at - extensionAt);
  const int documentFlags = (nextSet ? 1 : 0) + (has("websearch.links") ? 2 : 0) +
                            (has("websearch.links." + extension) ? 4 : 0);
  // The link list that counts, the extension's first (the rows' lists hold names only).
  const std::string lists = has("websearch.links." + extension)
                                ? properties.find("websearch.links." + extension)->second
                            : has("websearch.links") ? properties.find("websearch.links")->second
                                                     : "";
  return result.substr(0, at + kSeparator.size()) + places + std::string(kSeparator) +
         std::to_string(documentFlags) + std::string(kSeparator) +
         (engine == properties.end() ? "" : engine->second) + std::string(kSeparator) + lists +
         std::string(kSeparator) +
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
  platform::bindGroup(platform::pcreBindings());  // the links' patterns
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
  const Properties tickets = {{"websearch.links", "T"},
                              {"websearch.link.T", R"(\b[A-Z][A-Z0-9]+-\d+\b)"},
                              {"websearch.link.T.url", "https://jira.example/browse/{0}"}};
  const std::string ticketKeys = "ask:websearch.link.T ask:websearch.link.T.url ";
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
      {"a fetched Windows-1252 selection holding the fields' separator stays whole", windows, "x",
       "<@@>1252<@@>0<@@>1252<@@><@@>a<@@>b", ExitCode::Opened,
       "selection " + asked + "say:+> Search: https://duckduckgo.com/?q=a%3C%40%40%3Eb",
       "https://duckduckgo.com/?q=a%3C%40%40%3Eb"},
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
      {"the caret right after an address that ends the file", windows, "",
       "<@@>65001<@@>1<@@>65001<@@><@@>see https://e.example/x", ExitCode::Opened,
       "word " + asked +
           "say:+> Address at caret: https://e.example/x say:+> Open: https://e.example/x",
       "https://e.example/x", false, kNoRoom, "23<@@>22<@@>23<@@>0<@@>0"},
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
      steered("the output pane's text empty: nothing searched, not the editor's selection", utf8,
              {{"websearch.next.text", ""}, {"websearch.next.pane", "output"}},
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
      steered("an unknown websearch.next.engine shows no strip either", utf8,
              {{"websearch.next.engine", "Z"}, {"websearch.ask", "1"}}, ExitCode::BadTemplate,
              keysOf("Z") + next +
                  "say:!> SciTE property websearch.next.engine names \"Z\", which is no engine "
                  "or group: nothing opened.",
              ""),
      flagged("a flag short", "00", kNoRoom, asked + asIfOld),
      flagged("a flag neither 0 nor 1", "0x0", kNoRoom, asked + asIfOld),
      // The rest asked again one by one, and missed; nothing remembered over a list not had.
      flagged("SciTE stops after the first setting", "000", 4,
              "ask:extender.result empty:extender.result ask:websearch.engines ask:websearch.url "
              "ask:websearch.ask ask:websearch.ask ask:websearch.url ask:websearch.browser ",
              " ask:websearch.history.searches"),
      // Links: the lists asked only where the document says they are set, with the links they
      // name as the document saw them: one batch, not two.
      {"websearch.links: a ticket key at the caret opens its page, its line in the pane",
       windows,
       "",
       "<@@>65001<@@>1<@@>65001<@@><@@>see PROJ-123.",
       ExitCode::Opened,
       "word " + asked + "ask:websearch.links " + ticketKeys +
           "say:+> Link T: PROJ-123 say:+> Open: https://jira.example/browse/PROJ-123",
       "https://jira.example/browse/PROJ-123",
       false,
       kNoRoom,
       "6<@@>4<@@>8<@@>0<@@>0",
       tickets,
       {7, 3, 7}},
      {"a word that matches no link is searched as before", windows, "",
       "<@@>65001<@@>1<@@>65001<@@><@@>see project.", ExitCode::Opened,
       "word " + asked + "ask:websearch.links " + ticketKeys +
           "say:+> Word at caret: project say:+> Search: " + ddg + "project",
       ddg + "project", false, kNoRoom, "6<@@>4<@@>11<@@>0<@@>0", tickets},
      {"websearch.links.<ext>, set for the file's extension", gtk, "PROJ-1",
       "<@@>65001<@@>1<@@>65001<@@>py<@@>", ExitCode::Opened,
       "document " + asked + "ask:websearch.links.py " + ticketKeys +
           "say:+> Link T: PROJ-1 say:+> Open: https://jira.example/browse/PROJ-1",
       "https://jira.example/browse/PROJ-1", false, kNoRoom, "",
       [&] {
         Properties p = tickets;
         p.erase("websearch.links");
         p["websearch.links.py"] = "T";
         p["FileExt"] = "py";
         return p;
       }()},
      {"several engines offered: the link opens at once, no list", windows, "PROJ-1",
       "<@@>65001<@@>1<@@>65001<@@><@@>", ExitCode::Opened,
       "selection " + asked + "ask:websearch.links " + ticketKeys + keysOf("A") + keysOf("B") +
           "say:+> Link T: PROJ-1 say:+> Open: https://jira.example/browse/PROJ-1",
       "https://jira.example/browse/PROJ-1", false, kNoRoom, "",
       [&] {
         Properties p = tickets;
         p["websearch.engines"] = "A B";
         p["websearch.engine.A"] = "https://a.example/?q={query}";
         p["websearch.engine.B"] = "https://b.example/?q={query}";
         return p;
       }()},
      [&] {
        Properties values = tickets;
        values["websearch.engine.B"] = "https://b.example/?q={query}";
        values["websearch.next.engine"] = "B";
        return steered("websearch.next.engine wins over a link", utf8, values, ExitCode::Opened,
                       "ask:websearch.links " + keysOf("B") + next +
                           "say:+> Search: https://b.example/?q=PROJ-1",
                       "https://b.example/?q=PROJ-1", "PROJ-1");
      }(),
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

}  // namespace
