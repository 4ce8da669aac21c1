// The plan once the settings are known: how a group's outcome follows its members', and a link
// that opens before anything else.
#include "companion/address/plan.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "companion/settings/links.h"
#include "platform/re.h"

namespace {

using companion::ExitCode;

struct GroupCase {
  const char* name;
  std::vector<bool> made;  // each member in order: its template leaves room for the words, or not
  ExitCode code;
  std::vector<std::string> opened;
  std::vector<std::string> lines;
  companion::Destination destination = companion::Destination::browser;  // asked and given
};

// Without SciTE's properties nothing names a program, so the code is the group's own.
TEST(Plan, AGroupEndsAsItsMembersDo) {
  using enum companion::Destination;
  const std::string e1 = "https://e1.example/?q=x";
  const std::string e2 = "https://e2.example/?q=x";
  const std::string noRoom =
      "!> SciTE property websearch.engine.E1 leaves no room for the search words within 2,048 "
      "characters.";
  const GroupCase cases[] = {
      {"every member made",
       {true, true},
       ExitCode::Opened,
       {e1, e2},
       {"+> Search: " + e1, "+> Search: " + e2}},
      {"the first one not made",
       {false, true},
       ExitCode::PartlyOpened,
       {e2},
       {noRoom, "+> Search: " + e2}},
      {"none made: the first one's failure",
       {false, false},
       ExitCode::BadTemplate,
       {},
       {noRoom,
        "!> SciTE property websearch.engine.E2 leaves no room for the search words within "
        "2,048 characters."}},
      {"copied: each said as copied",
       {true, true},
       ExitCode::Opened,
       {e1, e2},
       {"+> Copied: " + e1, "+> Copied: " + e2},
       clipboard},
      {"copied in part: the made one copied, the other named, nothing for a browser",
       {false, true},
       ExitCode::PartlyOpened,
       {e2},
       {noRoom, "+> Copied: " + e2},
       clipboard},
  };
  for (const auto& c : cases) {
    companion::Choice group{.name = "G"};
    for (std::size_t at = 0; at < c.made.size(); ++at) {
      const std::string name = "E" + std::to_string(at + 1);
      const std::string host = "https://e" + std::to_string(at + 1) + ".example/";
      group.engines.push_back(
          {.name = name,
           .setting = {.key = "websearch.engine." + name,
                       .value = host + (c.made[at] ? "" : std::string(2048, 'x')) + "?q={query}",
                       .source = companion::SettingSource::Scite}});
    }
    const companion::Settings settings{.engineListKey = "websearch.engines",
                                       .choices = {std::move(group)}};
    const auto outcome =
        companion::plan(settings, {.text = "x", .destination = c.destination}).outcome;
    std::vector<std::string> opened;
    for (const auto& opening : outcome.openings) {
      opened.push_back(opening.url);
    }
    EXPECT_EQ(std::tuple(outcome.code, opened, outcome.lines, outcome.destination),
              std::tuple(c.code, c.opened, c.lines, c.destination))
        << c.name;
  }
}

}  // namespace

namespace {

struct LinkPlanCase {
  const char* name;
  std::string text;
  companion::Destination destination;
  std::optional<companion::StripAnswer> strip;  // the strip's answer, else the plan at once
  std::vector<std::string> lines;
  std::vector<std::string> offer = {};
};

// A link opens before any engine is offered or any search made; an address before a link.
TEST(Plan, ALinkOpensBeforeAnySearch) {
  platform::bindGroup(platform::pcreBindings());
  using enum companion::Destination;
  const std::map<std::string, std::string, std::less<>> properties = {
      {"websearch.links", "T"},
      {"websearch.link.T", R"([A-Z]+-\d+)"},
      {"websearch.link.T.url", "https://jira.example/browse/{0}"}};
  const companion::PropertyLookup lookup = [&](const std::string& key) {
    const auto found = properties.find(key);
    return found == properties.end() ? std::string() : found->second;
  };
  companion::Settings settings{.engineListKey = "websearch.engines"};
  for (const char* engine : {"A", "B"}) {
    settings.choices.push_back({.name = engine,
                                .engines = {{.name = engine,
                                             .setting = {.value = "https://" + std::string(engine) +
                                                                  ".example/?q={query}"}}}});
  }
  settings.links = companion::linkSettings("", lookup, {}).links;
  const std::string open = "+> Open: https://jira.example/browse/PROJ-1";
  const LinkPlanCase cases[] = {
      {"several engines offered: the link at once",
       "PROJ-1",
       browser,
       {},
       {"+> Link T: PROJ-1", open}},
      {"no link: the list", "PROJ", browser, {}, {}, {"A", "B"}},
      {"an address before a link",
       "https://e.example/PROJ-1",
       browser,
       {},
       {"+> Open: https://e.example/PROJ-1"}},
      {"copied",
       "PROJ-1",
       clipboard,
       {},
       {"+> Link T: PROJ-1", "+> Copied: https://jira.example/browse/PROJ-1"}},
      {"the strip's query still one whole match: whatever engine is typed",
       "PROJ-1",
       browser,
       companion::StripAnswer{.choice = companion::StripChoice::search, .engine = "Z"},
       {"+> Link T: PROJ-1", open}},
      {"the strip's query edited: the engine typed",
       "PROJ-1 x",
       browser,
       companion::StripAnswer{.choice = companion::StripChoice::search, .engine = "B"},
       {"+> Search: https://B.example/?q=PROJ-1%20x"}},
  };
  for (const auto& c : cases) {
    const companion::SearchRequest request{.text = c.text, .destination = c.destination};
    companion::Plan got;
    if (c.strip) {
      got.outcome = companion::afterStrip(settings, request, *c.strip);
    } else {
      got = companion::plan(settings, request);
    }
    EXPECT_EQ(std::pair(got.outcome.lines, got.offer), std::pair(c.lines, c.offer)) << c.name;
  }
}

}  // namespace
