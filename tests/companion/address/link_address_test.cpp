// Links by pattern, from SciTE's properties to the address a match opens: the settings read and
// checked, a whole text matched, and the caret's line searched around the caret.
#include "companion/address/link_address.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "companion/settings/links.h"
#include "platform/re.h"

namespace {

using companion::FoundLink;
using companion::LinkSearch;
using Properties = std::map<std::string, std::string, std::less<>>;

struct LinkCase {
  const char* name;
  Properties properties;  // SciTE's, the link settings among them
  // The text matched whole, or with a '|' the caret's line, the caret there.
  std::string text;
  LinkSearch found;  // the settings' notes first
  std::string extension = "";
  bool cutAfter = false;  // the caret's line goes on after the text
};

}  // namespace

namespace companion {

void PrintTo(const LinkSearch& search, std::ostream* out) {
  if (search.link) {
    *out << search.link->name << " | " << search.link->match << " | " << search.link->url;
  }
  for (const std::string& note : search.notes) {
    *out << " | " << note;
  }
}

}  // namespace companion

namespace {

class Links : public ::testing::Test {
protected:
  static void SetUpTestSuite() { platform::bindGroup(platform::pcreBindings()); }
};

TEST_F(Links, AMatchOpensItsLinksAddress) {
  const std::string ticket = R"(\b[A-Z][A-Z0-9]+-\d+\b)";
  const Properties tickets = {{"websearch.links", "T"},
                              {"websearch.link.T", ticket},
                              {"websearch.link.T.url", "https://jira.example/browse/{0}"}};
  const auto with = [](Properties properties, const Properties& more) {
    for (const auto& [key, value] : more) {
      properties[key] = value;
    }
    return properties;
  };
  const auto proj = [](const std::string& key) {
    return LinkSearch{
        .link = FoundLink{.name = "T", .match = key, .url = "https://jira.example/browse/" + key}};
  };
  const Properties cve = {
      {"websearch.link.CVE", R"(CVE-(\d{4})-(\d+))"},
      {"websearch.link.CVE.url", "https://www.cve.org/CVERecord?id=CVE-{1}-{2}"}};
  const FoundLink cveFound{.name = "CVE",
                           .match = "CVE-2024-3094",
                           .url = "https://www.cve.org/CVERecord?id=CVE-2024-3094"};
  const std::string runaway = std::string(4095, 'a') + "b|";
  const LinkCase cases[] = {
      {"a whole match", tickets, "PROJ-123", proj("PROJ-123")},
      {"a match inside longer text: no link", tickets, "see PROJ-123", {}},
      {"the caret at the match's start", tickets, "see |PROJ-123.", proj("PROJ-123")},
      {"inside", tickets, "see PR|OJ-123.", proj("PROJ-123")},
      {"just after its end", tickets, "see PROJ-123|.", proj("PROJ-123")},
      {"one past it: no link", tickets, "see PROJ-123.|", {}},
      {"a later match on the line", tickets, "AB-1 then CD-|2", proj("CD-2")},
      {"a match the cut line may go on past: no link", tickets, "see PROJ-12|3", {}, "", true},
      {"two links over the same text: the first listed wins", with(tickets, cve), "CVE-20|24-3094",
       proj("CVE-2024")},
      {"the other order",
       with(with(tickets, cve), {{"websearch.links", "CVE T"}}),
       "CVE-20|24-3094",
       {.link = cveFound}},
      {"{0} and {1} encoded as {query} is",
       {{"websearch.links", "I W"},
        {"websearch.link.I", R"(#(\d+))"},
        {"websearch.link.I.url", "https://git.example/p/issues/{1}?from={0}"},
        {"websearch.link.W", R"(wiki:(\S+))"},
        {"websearch.link.W.url", "https://en.wikipedia.org/wiki/{1}"}},
       "#4711",
       {.link = FoundLink{.name = "I",
                          .match = "#4711",
                          .url = "https://git.example/p/issues/4711?from=%234711"}}},
      {"a group in UTF-8, one character however many bytes",
       {{"websearch.links", "W"},
        {"websearch.link.W", R"(wiki:(._x))"},
        {"websearch.link.W.url", "https://en.wikipedia.org/wiki/{1}"}},
       "wiki:\xC3\x9F_x",
       {.link = FoundLink{.name = "W",
                          .match = "wiki:\xC3\x9F_x",
                          .url = "https://en.wikipedia.org/wiki/%C3%9F_x"}}},
      {"a template with no {N} opens as it stands",
       with(tickets, {{"websearch.link.T.url", "https://jira.example/"}}),
       "PROJ-1",
       {.link = FoundLink{.name = "T", .match = "PROJ-1", .url = "https://jira.example/"}}},
      {"a pattern that does not compile: the others still count",
       with(tickets, {{"websearch.links", "B T"}, {"websearch.link.B", "(x"}}),
       "PROJ-1",
       {.link = proj("PROJ-1").link,
        .notes = {"!> SciTE property websearch.link.B is no pattern: missing ) at offset 2. The "
                  "link is left out."}}},
      {"a name with no pattern",
       with(tickets, {{"websearch.links", "X T"}}),
       "PROJ-1",
       {.link = proj("PROJ-1").link,
        .notes = {"!> SciTE property websearch.link.X is not set: the link is left out."}}},
      {"a link with no .url",
       with(tickets, {{"websearch.link.T.url", ""}}),
       "PROJ-1",
       {.notes = {"!> SciTE property websearch.link.T.url is not set: the link is left out."}}},
      {"another scheme for the default browser",
       with(tickets, {{"websearch.link.T.url", "jira:{0}"}}),
       "PROJ-1",
       {.notes = {"!> SciTE property websearch.link.T.url must begin with http:// or https://. "
                  "The link is left out."}}},
      {"any scheme for a program",
       with(tickets, {{"websearch.link.T.url", "jira:{0}"}, {"websearch.browser", "jiractl"}}),
       "PROJ-1",
       {.link = FoundLink{.name = "T", .match = "PROJ-1", .url = "jira:PROJ-1"}}},
      {"an address past the limit: no link",
       with(tickets, {{"websearch.link.T.url", "https://j.example/" + std::string(2048, 'x')}}),
       "PROJ-1",
       {}},
      {"a name that is no engine name",
       with(tickets, {{"websearch.links", "T#"}}),
       "PROJ-1",
       {.notes = {"!> SciTE property websearch.links names \"T#\": a link name is letters, "
                  "digits and . _ + - only."}}},
      {"the match limit: the pattern passed over, within milliseconds",
       {{"websearch.links", "R"},
        {"websearch.link.R", "(a+)+$"},
        {"websearch.link.R.url", "https://r.example/{0}"}},
       runaway,
       {.notes = {"!> SciTE property websearch.link.R takes too long on this text: the link is "
                  "passed over."}}},
      {"the match limit on a whole text",
       {{"websearch.links", "R"},
        {"websearch.link.R", "(a+)+$"},
        {"websearch.link.R.url", "https://r.example/{0}"}},
       runaway.substr(0, runaway.size() - 1),
       {.notes = {"!> SciTE property websearch.link.R takes too long on this text: the link is "
                  "passed over."}}},
      {"empty matches before the caret passed over",
       {{"websearch.links", "N"},
        {"websearch.link.N", R"(\d*)"},
        {"websearch.link.N.url", "https://n.example/{0}"}},
       "\xC3\xA9"
       "b 12|",
       {.link = FoundLink{.name = "N", .match = "12", .url = "https://n.example/12"}}},
      {"the extension's list before the general one",
       with(with(tickets, cve), {{"websearch.links.py", "CVE"}}),
       "CVE-2024-3094",
       {.link = cveFound},
       "py"},
  };
  for (const auto& c : cases) {
    const companion::PropertyLookup lookup = [&c](const std::string& key) {
      const auto found = c.properties.find(key);
      return found == c.properties.end() ? std::string() : found->second;
    };
    const auto settings = companion::linkSettings(
        c.extension, lookup, {.key = "websearch.browser", .value = lookup("websearch.browser")});
    const auto started = std::chrono::steady_clock::now();
    const std::size_t caret = c.text.find('|');
    LinkSearch got;
    if (caret == std::string::npos) {
      got = companion::wholeLink(settings.links, c.text, companion::kMaxUrlLength);
    } else {
      const std::string line = c.text.substr(0, caret) + c.text.substr(caret + 1);
      got = companion::linkAtCaret(settings.links,
                                   {.text = line, .caret = caret, .cutAfter = c.cutAfter},
                                   companion::kMaxUrlLength);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(100)) << c.name;
    got.notes.insert(got.notes.begin(), settings.notes.begin(), settings.notes.end());
    EXPECT_EQ(got, c.found) << c.name;
  }
}

}  // namespace

namespace {

// The lines of docs/configuration.md, "Links", as a user copies them, each example opened.
TEST_F(Links, TheGuidesExamplesOpen) {
  const std::map<std::string, std::string, std::less<>> guide = {
      {"websearch.links", "TICKET ISSUE CVE PEP RUST"},
      {"websearch.link.TICKET", R"(\b[A-Z][A-Z0-9]+-\d+\b)"},
      {"websearch.link.TICKET.url", "https://jira.example.com/browse/{0}"},
      {"websearch.link.ISSUE", R"(#(\d+))"},
      {"websearch.link.ISSUE.url", "https://github.com/owner/repo/issues/{1}"},
      {"websearch.link.CVE", R"(CVE-\d{4}-\d{4,})"},
      {"websearch.link.CVE.url", "https://www.cve.org/CVERecord?id={0}"},
      {"websearch.link.PEP", R"(PEP[ -]?(\d+))"},
      {"websearch.link.PEP.url", "https://peps.python.org/pep-{1}/"},
      {"websearch.link.RUST", R"(E\d{4})"},
      {"websearch.link.RUST.url", "https://doc.rust-lang.org/error_codes/{0}.html"}};
  const companion::PropertyLookup lookup = [&guide](const std::string& key) {
    const auto found = guide.find(key);
    return found == guide.end() ? std::string() : found->second;
  };
  const auto settings = companion::linkSettings("", lookup, {});
  EXPECT_EQ(settings.notes, std::vector<std::string>());
  const std::pair<std::string, FoundLink> cases[] = {
      {"PROJ-123", {"TICKET", "PROJ-123", "https://jira.example.com/browse/PROJ-123"}},
      {"#4711", {"ISSUE", "#4711", "https://github.com/owner/repo/issues/4711"}},
      {"CVE-2024-3094", {"CVE", "CVE-2024-3094", "https://www.cve.org/CVERecord?id=CVE-2024-3094"}},
      {"PEP 8", {"PEP", "PEP 8", "https://peps.python.org/pep-8/"}},
      {"E0308", {"RUST", "E0308", "https://doc.rust-lang.org/error_codes/E0308.html"}},
  };
  for (const auto& [text, link] : cases) {
    EXPECT_EQ(companion::wholeLink(settings.links, text, companion::kMaxUrlLength),
              LinkSearch{.link = link})
        << text;
  }
}

}  // namespace
