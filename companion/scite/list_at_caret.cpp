// The Lua that shows the list, watches it and tidies up, each sent in one dostring. It runs on
// Lua 5.3 and 5.4 alike, and holds nothing from the user but engine names, which are letters,
// digits and . _ + - only.
#include "companion/scite/list_at_caret.h"

#include "companion/scite/run_lua.h"
#include "platform/owner.h"

namespace companion {

namespace {

// About as often as a user notices: Return is seen within a round or two.
constexpr std::chrono::milliseconds kPollInterval{30};
// SciTE's own list types are 0 to 2.
constexpr std::uint32_t kListTypeBase = 1000;
constexpr std::uint32_t kListTypeSpan = 1'000'000;
constexpr std::string_view kPickedState = "picked ";
constexpr std::string_view kOpenState = "open";

constexpr std::string_view kEvent = "OnUserListSelection";

// What the run's Lua is called in SciTE, unique to the run, its list type too.
struct ListNames {
  explicit ListNames(std::uint32_t processId)
      : listType(std::to_string(kListTypeBase + processId % kListTypeSpan)),
        global(runName("websearch_", processId)),
        pick(runName("websearch.pick.", processId)),
        start(runName("websearch.start.", processId)),
        state(runName("websearch.state.", processId)) {}

  std::string listType;
  std::string global;  // the handler and the one it hands other lists to
  std::string pick;    // the name picked, set by the handler
  std::string start;   // where the list started
  std::string state;   // what the last look saw
};

// The run's handler of picks, put back at every look: a pick in our list is recorded, any other
// list type goes to the handler that was there before.
[[nodiscard]] std::string handlerLua(const ListNames& run) {
  return installLua(run.global, {.event = kEvent,
                                 .parameters = "t, text",
                                 .notOurs = "t ~= " + run.listType,
                                 .handle = "props['" + run.pick + "'] = text "});
}

// `ours` is true while the list open is ours: it started where ours did and shows one of our
// names.
[[nodiscard]] std::string oursLua(const ListNames& run, const std::vector<std::string>& names) {
  std::string lua = "local names = {";
  for (const std::string& name : names) {
    lua += "['" + name + "'] = true, ";
  }
  return lua +
         "} local ours = editor:AutoCActive() and editor:AutoCPosStart() == tonumber(props['" +
         run.start + "']) and names[editor.AutoCCurrentText] ~= nil ";
}

// The focus goes to the editor first, or the keys would go to the output pane. The separator and
// the order are set for the call: SciTE's word completion leaves the separator at a line feed,
// and the names keep the order the user gave.
[[nodiscard]] std::string showLua(const ListNames& run, const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& name : names) {
    joined += (joined.empty() ? "" : " ") + name;
  }
  return handlerLua(run) + "props['" + run.pick + "'] = '' editor:GrabFocus() " +
         "local separator, order = editor.AutoCSeparator, editor.AutoCOrder " +
         "editor.AutoCSeparator = 32 editor.AutoCOrder = 2 editor:UserListShow(" + run.listType +
         ", '" + joined + "') editor.AutoCSeparator, editor.AutoCOrder = separator, order " +
         "props['" + run.start + "'] = tostring(editor:AutoCPosStart())";
}

[[nodiscard]] std::string lookLua(const ListNames& run, const std::vector<std::string>& names) {
  return handlerLua(run) + oursLua(run, names) + "local state = 'closed' if props['" + run.pick +
         "'] ~= '' then state = '" + std::string(kPickedState) + "'..props['" + run.pick +
         "'] elseif ours then state = '" + std::string(kOpenState) + "' end props['" + run.state +
         "'] = state";
}

[[nodiscard]] std::string tidyLua(const ListNames& run, const std::vector<std::string>& names) {
  return oursLua(run, names) + takeBackLua(run.global, kEvent) +
         "if ours then editor:AutoCCancel() end props['" + run.pick + "'] = '' props['" +
         run.start + "'] = '' props['" + run.state + "'] = ''";
}

[[nodiscard]] std::optional<std::string> waitForPick(const Scite& scite, const ListNames& run,
                                                     const std::vector<std::string>& names,
                                                     const RunSystem& system) {
  const std::string look = lookLua(run, names);
  for (;;) {
    system.pause(kPollInterval);
    const auto state = scite.run(look) ? scite.ask(run.state) : std::nullopt;
    if (state && state->starts_with(kPickedState)) {
      return state->substr(kPickedState.size());
    }
    if (state != kOpenState) {
      return std::nullopt;
    }
  }
}

}  // namespace

std::optional<std::string> pickEngine(const Scite& scite, const std::vector<std::string>& names,
                                      const RunSystem& system) {
  const ListNames run(system.processId());
  const platform::ScopeExit tidy([&] {
    try {
      (void)scite.run(tidyLua(run, names));
    } catch (...) {  // nothing more can be done for SciTE
    }
  });
  if (!scite.run(showLua(run, names))) {
    return std::nullopt;
  }
  return waitForPick(scite, run, names, system);
}

}  // namespace companion
