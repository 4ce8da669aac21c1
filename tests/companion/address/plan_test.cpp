// The plan once the settings are known: how a group's outcome follows its members'.
#include "companion/address/plan.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using companion::ExitCode;

struct GroupCase {
  const char* name;
  std::vector<bool> made;  // each member in order: its template leaves room for the words, or not
  ExitCode code;
  std::vector<std::string> opened;
};

// Without SciTE's properties nothing names a program, so the code is the group's own.
TEST(Plan, AGroupEndsAsItsMembersDo) {
  const GroupCase cases[] = {
      {"every member made",
       {true, true},
       ExitCode::Opened,
       {"https://e1.example/?q=x", "https://e2.example/?q=x"}},
      {"the first one not made",
       {false, true},
       ExitCode::PartlyOpened,
       {"https://e2.example/?q=x"}},
      {"none made: the first one's failure", {false, false}, ExitCode::BadTemplate, {}},
  };
  for (const auto& c : cases) {
    companion::Choice group{.name = "G"};
    for (std::size_t at = 0; at < c.made.size(); ++at) {
      const std::string host = "https://e" + std::to_string(at + 1) + ".example/";
      group.engines.push_back(
          {.name = "E" + std::to_string(at + 1),
           .setting = {.value = host + (c.made[at] ? "" : std::string(2048, 'x')) + "?q={query}",
                       .source = companion::SettingSource::Scite}});
    }
    const companion::Settings settings{.engineListKey = "websearch.engines",
                                       .choices = {std::move(group)}};
    const auto outcome = companion::plan(settings, {.text = "x"}).outcome;
    std::vector<std::string> opened;
    for (const auto& opening : outcome.openings) {
      opened.push_back(opening.url);
    }
    EXPECT_EQ(std::pair(outcome.code, opened), std::pair(c.code, c.opened)) << c.name;
  }
}

}  // namespace
