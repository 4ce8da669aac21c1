// When the one-shot values steer a search.
#include "companion/query/next_search.h"

#include <gtest/gtest.h>

namespace {

using companion::NextSearch;
using companion::NextValues;

constexpr std::int64_t kNow = 1'800'000'000;

struct NextCase {
  const char* name;
  NextValues values;
  NextSearch steers;
};

TEST(NextSearch, SteersOnlyThePressThatSetIt) {
  const NextCase cases[] = {
      {"nothing set", {.at = "1800000000"}, {}},
      {"set this second", {.engine = "MDN", .at = "1800000000"}, {.engine = "MDN"}},
      {"5 seconds old, the oldest taken",
       {.text = "a\nb", .pane = "output", .at = "1799999995", .textCut = true},
       {.text = "a\nb", .fromOutputPane = true, .textCut = true}},
      {"any other pane is the document's",
       {.text = "x", .pane = "editor", .at = "1800000000"},
       {.text = "x"}},
      {"6 seconds old: left behind",
       {.engine = "MDN", .at = "1799999994"},
       {.lines = {"!> SciTE property websearch.next.at is 6 seconds old, more than 5: the "
                  "websearch.next.* values left behind steer nothing."}}},
      {"no time",
       {.pane = "output"},
       {.lines = {"!> SciTE property websearch.next.at is not set: the websearch.next.* values "
                  "steer nothing. Set it to os.time() with them."}}},
      {"not os.time()'s digits",
       {.text = "x", .at = "1800000000.5"},
       {.lines = {"!> SciTE property websearch.next.at is \"1800000000.5\", no os.time() of this "
                  "search: the websearch.next.* values steer nothing. Set it to os.time() with "
                  "them."}}},
      {"the epoch itself: a time, long past",
       {.text = "x", .at = "0"},
       {.lines = {"!> SciTE property websearch.next.at is 1800000000 seconds old, more than 5: the "
                  "websearch.next.* values left behind steer nothing."}}},
      {"a second ahead",
       {.text = "x", .at = "1800000001"},
       {.lines = {"!> SciTE property "
                  "websearch.next.at is \"1800000001\", no os.time() of this search: the "
                  "websearch.next.* "
                  "values steer nothing. Set it to os.time() with them."}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(companion::nextSearch(c.values, kNow), c.steers) << c.name;
  }
}

}  // namespace
