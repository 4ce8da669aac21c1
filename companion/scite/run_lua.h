// What a run leaves in SciTE's Lua under names of its own: the names, and its handler of one of
// SciTE's events, put in front of the user's own and taken back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace companion {

// `prefix` then the run's process id: a Lua global or a property of this run alone. After Tools >
// Stop Executing a companion may still be waiting while the user starts the tool again, and must
// not take the next run's events.
[[nodiscard]] std::string runName(std::string_view prefix, std::uint32_t processId);

// A Lua pattern that matches the runName of `prefix` of every run. `prefix` is letters, digits
// and '_', none of them magic in a pattern.
[[nodiscard]] std::string everyRunsNamePattern(std::string_view prefix);

// A run's handler of one of SciTE's events, in front of the handler the user had. In its Lua the
// run's table is `g`: g.prev is the user's handler, g.handler ours. Each piece of Lua below that
// runs (handle, before, after) ends in a blank, as the next follows it at once.
struct RunHandler {
  std::string_view event;       // the global SciTE calls, e.g. OnStrip
  std::string_view parameters;  // the handler's parameters, passed on to the user's as they came
  std::string notOurs;          // Lua: true for an event not ours, which goes to the user's
  std::string handle;           // Lua run for an event of ours; the handler then returns true
  std::string fields = {};      // Lua: g's fields beside prev, e.g. "show = scite.StripShow"
  std::string before = {};      // Lua run before the handler is made: the locals it uses
  std::string after = {};       // Lua run once it is installed: more of the run put in place
};

// Installs the run's handler, its table in `global`, unless it is there. SciTE resets Lua's
// globals when a tool's job ends with its properties changed, which drops it: Tools > Stop
// Executing ends the launcher's job while the companion still waits. So every step that needs
// the handler begins with this.
[[nodiscard]] std::string installLua(std::string_view global, const RunHandler& handler);

// Takes back what `global` holds, which may be whatever a killed run left: the user's handler of
// `event` put back while ours is the one installed, then `more` with the run's table as `g`;
// `global` emptied last.
[[nodiscard]] std::string takeBackLua(std::string_view global, std::string_view event,
                                      std::string_view more = {});

}  // namespace companion
