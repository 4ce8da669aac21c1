// A run's handler of one of SciTE's events, run in a real Lua: put in front of the user's own,
// and taken back only while it is still the one installed.
#include "companion/scite/run_lua.h"

#include <gtest/gtest.h>

#include <string>

#include "lua_extender.h"

namespace {

struct TakeBackCase {
  const char* name;
  std::string userBefore;  // Lua run before the run's handler is installed
  std::string userAfter;   // Lua run after it, before it is taken back
  std::string handler;     // which handler SciTE calls afterwards: "mine", "theirs" or "none"
  bool installs = true;    // false: the global holds what a killed run left, not this run's
};

TEST(RunLua, TheHandlerTakenBackOnlyWhileItIsOurs) {
  const companion::RunHandler handler{.event = "OnUserListSelection",
                                      .parameters = "kind, text",
                                      .notOurs = "kind ~= 5242",
                                      .handle = "props['picked'] = text "};
  const TakeBackCase cases[] = {
      {"the user's handler put back", "function mine() end OnUserListSelection = mine", "", "mine"},
      {"no handler before: none after", "", "", "none"},
      {"one the user set later kept", "function mine() end OnUserListSelection = mine",
       "function theirs() end OnUserListSelection = theirs", "theirs"},
      {"a killed run's leftover that is no table: only emptied",
       "function mine() end OnUserListSelection = mine websearch_7 = 5", "", "mine", false},
  };
  for (const auto& c : cases) {
    standin::EditorState state;
    standin::LuaExtender lua(state);
    const std::string install = c.installs ? companion::installLua("websearch_7", handler) : "";
    for (const std::string& code :
         {c.userBefore, install, c.userAfter, companion::takeBackLua("websearch_7", handler.event),
          std::string("props['handler'] = OnUserListSelection == nil and 'none' or "
                      "(OnUserListSelection == mine and 'mine') or "
                      "(OnUserListSelection == theirs and 'theirs') or 'ours' "
                      "props['left'] = tostring(websearch_7)")}) {
      EXPECT_EQ(lua.doString(code), std::nullopt) << c.name << ": " << code;
    }
    EXPECT_EQ(state.properties["handler"], c.handler) << c.name;
    EXPECT_EQ(state.properties["left"], "nil") << c.name;
  }
}

}  // namespace
