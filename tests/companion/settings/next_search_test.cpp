// When the one-shot values steer a search.
#include "companion/settings/next_search.h"

#include <gtest/gtest.h>

#include <string>

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
  const auto tooOld = [](const std::string& seconds) {
    return NextSearch{.lines = {"!> SciTE property websearch.next.at is " + seconds +
                                " seconds old, more than 5: the websearch.next.* values left "
                                "behind steer nothing."}};
  };
  const auto notATime = [](const std::string& at) {
    return NextSearch{.lines = {"!> SciTE property websearch.next.at is \"" + at +
                                "\", no os.time() of this search: the websearch.next.* values "
                                "steer nothing. Set it to os.time() with them."}};
  };
  const NextCase cases[] = {
      {"nothing set", {.at = "1800000000"}, {}},
      {"set this second", {.engine = "MDN", .at = "1800000000"}, {.engine = "MDN"}},
      {"5 seconds old, the oldest taken",
       {.text = "a\nb", .pane = "output", .at = "1799999995"},
       {.text = "a\nb", .fromOutputPane = true}},
      {"any other pane is the document's",
       {.text = "x", .pane = "editor", .at = "1800000000"},
       {.text = "x"}},
      {"6 seconds old: left behind", {.engine = "MDN", .at = "1799999994"}, tooOld("6")},
      {"no time",
       {.pane = "output"},
       {.lines = {"!> SciTE property websearch.next.at is not set: the websearch.next.* values "
                  "steer nothing. Set it to os.time() with them."}}},
      {"not os.time()'s digits", {.text = "x", .at = "1800000000.5"}, notATime("1800000000.5")},
      {"the epoch itself: a time, long past", {.text = "x", .at = "0"}, tooOld("1800000000")},
      {"a second ahead", {.text = "x", .at = "1800000001"}, notATime("1800000001")},
      {"before the epoch: no time of this search", {.text = "x", .at = "-1"}, notATime("-1")},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(companion::nextSearch(c.values, kNow), c.steers) << c.name;
  }
}

}  // namespace
