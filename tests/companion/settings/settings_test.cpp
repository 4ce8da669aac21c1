// SciTE's properties before websearch.ini: the keys asked in order, $(name) references expanded,
// and the engine lists they name.
#include "companion/settings/settings.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "companion/address/decision.h"
#include "companion/address/plan.h"
#include "companion/address/url_limit.h"
#include "companion/settings/engines.h"
#include "companion/settings/ini.h"
#include "companion/settings/properties.h"

namespace {

constexpr std::size_t kMaxUrl = companion::kMaxUrlLength;

struct SciteCase {
  const char* name;
  std::map<std::string, std::string> properties;  // SciTE's raw values
  std::string_view fileExt;
  std::string said;     // the outcome's lines; with a list, "? <names>" and the lines after it
  bool inReach = true;  // false: SciTE out of reach, its properties not asked
  std::string_view text = "x";
  std::optional<std::string> pick;  // the user's pick from the list; none: closed without one
  std::string steer = "";           // websearch.next.engine, when a command steers the search
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
  // A row a command steers to the engine or group `steer` (websearch.next.engine).
  const auto steered = [](const char* name, std::map<std::string, std::string> properties,
                          std::string said, std::string steer, std::string_view text = "x") {
    return SciteCase{name,         std::move(properties), "", std::move(said), true, text,
                     std::nullopt, std::move(steer)};
  };
  const auto unknown = [](const std::string& name) {
    return "!> SciTE property websearch.next.engine names \"" + name +
           "\", which is no engine or group: nothing opened.";
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
      {"a group that refers to itself: said, the rest of the list kept",
       {{"websearch.engines", "A G"}, {"websearch.group.G", "$(websearch.group.G)"}},
       "",
       "!> SciTE property websearch.group.G refers to itself or nests more than 10 levels.\n" +
           searchA},
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
      // A command steers the search to one engine or group: no list, whatever the list says.
      steered("steered to the list's second", {{"websearch.engines", "A B"}}, searchB, "B"),
      steered("steered to an engine no list names",
              {{"websearch.url", "https://u.example/?q={query}"}}, searchB, "B"),
      steered("steered to a group", {{"websearch.group.G", "B A"}}, searchB + "\n" + searchA, "G"),
      steered("steered to a name of nothing, with the list's notes",
              {{"websearch.engines", "A b!"}},
              "!> SciTE property websearch.engines names \"b!\": an engine name is letters, "
              "digits and . _ + - only.\n" +
                  unknown("Z"),
              "Z"),
      steered("steered to no engine name", {}, unknown("A B"), "A B", ""),
      steered("steered to a broken engine", {{"websearch.engine.C", "ftp://c/{query}"}},
              "!> SciTE property websearch.engine.C must begin with http:// or https:// and "
              "contain {query}.",
              "C"),
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
    const companion::PropertyLookup once = companion::askingOnce(lookup);
    auto settings = companion::chooseSettings(c.fileExt, c.inReach ? once : nullptr, readIni);
    // websearch.ini is read only when no SciTE key decides.
    const bool fromScite = !settings.engineListKey.empty() ||
                           settings.setting.source == companion::SettingSource::Scite;
    if (!c.steer.empty()) {
      settings = companion::steeredTo(std::move(settings), c.steer, once);
    }
    const companion::SearchRequest request{.text = c.text};
    const auto plan = companion::plan(settings, request);
    std::string said = joined(plan.outcome.lines);
    if (!plan.offer.empty()) {
      said += (said.empty() ? "? " : "\n? ") + joined(plan.offer, " ") + "\n" +
              joined(companion::afterList(settings, request, c.pick).lines);
    }
    EXPECT_EQ(said, c.said) << c.name;
    EXPECT_EQ(iniReads, fromScite ? 0 : 1) << c.name;
    for (const auto& [name, count] : asked) {
      EXPECT_EQ(count, 1) << c.name << ": " << name;
      EXPECT_FALSE(name.starts_with('=') || name.starts_with("star")) << c.name;
    }
  }
}

}  // namespace
