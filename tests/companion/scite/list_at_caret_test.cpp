// SciTE's list of engines over a fake SciTE: the commands sent, in order, what the pick makes of
// SciTE's answers, and the Lua that keeps SciTE as it was.
#include "companion/scite/list_at_caret.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <limits>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "companion/run.h"
#include "tests/companion/sent_steps.h"
#include "tests/support/fake_scite.h"

namespace {

using test_support::contains;
using test_support::expectLua;
using test_support::FakeScite;
using test_support::kProcessId;
using test_support::kState;
using test_support::LuaCase;
using test_support::steps;

// More looks than any row needs: a wait that never ends fails instead of hanging.
constexpr int kPatience = 50;

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

}  // namespace
