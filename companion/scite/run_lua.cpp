// A run's own Lua names and its handler chained to the user's: the same for the engine list and
// the strip. The Lua runs on 5.3 and 5.4 alike.
#include "companion/scite/run_lua.h"

namespace companion {

std::string runName(std::string_view prefix, std::uint32_t processId) {
  return std::string(prefix) + std::to_string(processId);
}

std::string everyRunsNamePattern(std::string_view prefix) {
  std::string pattern(1, '^');  // appended: GCC 12 misreads "literal" + std::string at -O3
  pattern.append(prefix).append("%d+$");
  return pattern;
}

// An event that is not ours goes to the user's handler, whose answer is the event's; one of ours
// is handled here, and no other handler sees it.
std::string installLua(std::string_view global, const RunHandler& handler) {
  const std::string parameters(handler.parameters);
  const std::string event(handler.event);
  std::string lua = "if not " + std::string(global) + " then local g = {prev = " + event;
  if (!handler.fields.empty()) {
    lua += ", " + handler.fields;
  }
  return lua + "} " + handler.before + "g.handler = function(" + parameters + ") if " +
         handler.notOurs + " then if g.prev then return g.prev(" + parameters +
         ") end return end " + handler.handle + "return true end " + event + " = g.handler " +
         handler.after + std::string(global) + " = g end ";
}

// `global` may hold anything a killed run left: only a table is taken for the run's.
std::string takeBackLua(std::string_view global, std::string_view event, std::string_view more) {
  const std::string name(global);
  const std::string handler(event);
  return "do local g = " + name + " if type(g) == 'table' then if " + handler +
         " == g.handler then " + handler + " = g.prev end " + std::string(more) + "end end " +
         name + " = nil ";
}

}  // namespace companion
