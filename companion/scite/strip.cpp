// The strip's Lua, each step sent in one dostring, and the wait between. It runs on Lua 5.3 and
// 5.4 alike; the user's text reaches it only as luaLiteral's literals.
#include "companion/scite/strip.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "companion/scite/lua_literal.h"
#include "companion/scite/run_lua.h"
#include "companion/settings/texts.h"
#include "platform/ascii.h"
#include "platform/owner.h"

namespace companion {

namespace {

// As the engine list's: Return and Escape are seen within a round or two.
constexpr std::chrono::milliseconds kPollInterval{30};
// Looks with the focus still in the editor or the output pane before the strip was ever seen
// with it: the strip takes the focus as it shows, so this is a user who left it at once (Escape
// gives no event, and may come before any look sees the strip focused).
constexpr int kUnfocusedLooks = 10;
constexpr std::string_view kGlobalPrefix = "websearch_strip_";
constexpr std::string_view kEvent = "OnStrip";

// The strip's states, in the run's state property. Open until the strip has had the focus, then
// focused; a button's click records the fields and names the button; left when the focus is back
// in the editor or the output pane; replaced when another script showed a strip over ours.
constexpr std::string_view kOpen = "open";
constexpr std::string_view kFocused = "focused";
constexpr std::string_view kSearch = "search";
constexpr std::string_view kCopy = "copy";
constexpr std::string_view kCancel = "cancel";
constexpr std::string_view kReplaced = "replaced";
constexpr std::string_view kLeft = "left";

// What the run is called in SciTE, unique to the run.
struct StripNames {
  explicit StripNames(std::uint32_t processId)
      : global(runName(kGlobalPrefix, processId)),
        state(runName("websearch.strip.state.", processId)),
        query(runName("websearch.strip.query.", processId)),
        engine(runName("websearch.strip.engine.", processId)) {}

  std::string global;  // the handler, the one it hands other events to, and StripShow's own
  std::string state;
  std::string query;   // the query field's text, recorded at a click
  std::string engine;  // the engine field's text, recorded at a click
};

// Where each control is: elements count from 0, labels included.
struct Layout {
  explicit Layout(const StripOffer& offer) : several(offer.engines.size() > 1) {}

  [[nodiscard]] int button(int at) const noexcept { return (several ? 4 : 2) + at; }

  bool several;
  static constexpr int kQuery = 1;
  static constexpr int kEngine = 3;
};

// Where the query field's text is put. The GTK SciTE selects a field's text whole as the field
// takes the focus, which it does while it builds the strip: text written in the strip's
// definition is there by then, so words typed at once replace it instead of being glued to its
// front. The definition ends a field at its first '}'. SciTE for Windows selects nothing; its
// text is set after the strip shows and the shell moves the caret after it.
[[nodiscard]] bool queryInDefinition(const StripOffer& offer, EditorKind editor) {
  return editor == EditorKind::gtk && offer.query.find('}') == std::string::npos;
}

// The access keys are letters SciTE's find and replace strips leave free: those see the keys
// first while they are open. `query` is the query field's text, if it is written here.
[[nodiscard]] std::string stripText(const StripOffer& offer, std::string_view query) {
  const std::string label =
      offer.engines.size() == 1 ? "Search " + offer.engines.front() + ":" : "Search:";
  std::string text(1, '\'');
  text.append(label).append("'{").append(query).append("}");
  if (offer.engines.size() > 1) {
    text += "'En&gine:'{}";
  }
  return text + "((Search))(Co&py address)(Cancel)";
}

[[nodiscard]] std::string joinedLines(const std::vector<std::string>& entries) {
  std::string joined;
  for (const std::string& entry : entries) {
    joined += (joined.empty() ? "" : "\n") + entry;
  }
  return joined;
}

// `ours` is true while the strip shown is ours and waits for the user.
[[nodiscard]] std::string oursLua(const StripNames& run) {
  return "local function ours() local s = props['" + run.state + "'] return s == '" +
         std::string(kOpen) + "' or s == '" + std::string(kFocused) + "' end ";
}

// The run's handler of events, put back at every look. Events on a strip that is not ours go to
// the handler that was there before. StripShow is wrapped, so that a strip another script shows
// over ours is known: no call says whose strip is shown, and StripValue on another's strip may
// read a control that is not there. The fields are read inside our own click, where the strip
// is known to be ours.
[[nodiscard]] std::string handlerLua(const StripNames& run, const StripOffer& offer) {
  const Layout layout(offer);
  const std::string engineValue =
      layout.several ? "scite.StripValue(" + std::to_string(Layout::kEngine) + ")" : "''";
  const std::string clicks =
      "local clicks = {[" + std::to_string(layout.button(0)) + "] = '" + std::string(kSearch) +
      "', [" + std::to_string(layout.button(1)) + "] = '" + std::string(kCopy) + "', [" +
      std::to_string(layout.button(2)) + "] = '" + std::string(kCancel) + "'} ";
  const std::string handle =
      "if change == 3 then props['" + run.state + "'] = '" + std::string(kFocused) + "' " +
      "elseif change == 1 and clicks[control] then props['" + run.query + "'] = scite.StripValue(" +
      std::to_string(Layout::kQuery) + ") props['" + run.engine + "'] = " + engineValue +
      " props['" + run.state + "'] = clicks[control] end ";
  const std::string wrapShow = "g.wrapper = function(...) if ours() then props['" + run.state +
                               "'] = '" + std::string(kReplaced) +
                               "' end return g.show(...) end scite.StripShow = g.wrapper ";
  return installLua(run.global, {.event = kEvent,
                                 .parameters = "control, change",
                                 .notOurs = "not ours()",
                                 .handle = handle,
                                 .fields = "show = scite.StripShow, keys = {'" + run.state +
                                           "', '" + run.query + "', '" + run.engine + "'}",
                                 .before = oursLua(run) + clicks,
                                 .after = wrapShow});
}

// Takes back what one run's global holds: its handler, StripShow's own, its properties. `global`
// may name a killed run's, whatever that run left in it.
[[nodiscard]] std::string takeBackRunLua(std::string_view global) {
  return takeBackLua(global, kEvent,
                     "if scite.StripShow == g.wrapper then scite.StripShow = g.show "
                     "end for _, key in ipairs(g.keys or {}) do props[key] = '' end ");
}

// What a run killed before its tidy step left: on GTK, Tools > Stop Executing kills the tool's
// process group, the companion with it.
[[nodiscard]] std::string earlierRunsLua(const StripNames& run) {
  return "for name in pairs(_G) do if type(name) == 'string' and name:match('" +
         everyRunsNamePattern(kGlobalPrefix) + "') and name ~= '" + run.global + "' then " +
         takeBackRunLua("_G[name]") + "end end ";
}

// The engine list goes in before the engine field's text: SciTE for Windows empties a combo's
// field as it sets the list (the GTK SciTE keeps it).
[[nodiscard]] std::string showLua(const StripNames& run, const StripOffer& offer,
                                  bool inDefinition) {
  std::string lua = earlierRunsLua(run) + handlerLua(run, offer) + "props['" + run.query +
                    "'] = '' props['" + run.engine + "'] = '' " + run.global + ".show(" +
                    luaLiteral(stripText(offer, inDefinition ? offer.query : "")) + ") props['" +
                    run.state + "'] = '" + std::string(kOpen) + "' ";
  if (!inDefinition) {
    lua +=
        "scite.StripSet(" + std::to_string(Layout::kQuery) + ", " + luaLiteral(offer.query) + ") ";
  }
  if (Layout(offer).several) {
    const std::string engine = std::to_string(Layout::kEngine);
    lua += "scite.StripSetList(" + engine + ", " + luaLiteral(joinedLines(offer.engines)) +
           ") scite.StripSet(" + engine + ", " + luaLiteral(offer.engines.front()) + ") ";
  }
  // Where the strip has taken the focus already, a quick Escape is seen at the first look.
  return lua + "if not (editor.Focus or output.Focus) then props['" + run.state + "'] = '" +
         std::string(kFocused) + "' end";
}

// The recent searches put in the query field's list while the strip is ours. SciTE for Windows
// empties the field as it sets the list, so what is in it by then, typed into or not, is put
// back; the GTK SciTE keeps the field as it is, its selection too.
[[nodiscard]] std::string recentLua(const StripNames& run, const std::vector<std::string>& recent,
                                    EditorKind editor) {
  const std::string query = std::to_string(Layout::kQuery);
  const std::string setList =
      "scite.StripSetList(" + query + ", " + luaLiteral(joinedLines(recent)) + ") ";
  const std::string keepingText = editor == EditorKind::gtk
                                      ? setList
                                      : "local q = scite.StripValue(" + query + ") " + setList +
                                            "scite.StripSet(" + query + ", q) ";
  return oursLua(run) + "if ours() then " + keepingText + "end";
}

// The strip has the focus once neither the editor nor the output pane has it; the focus back in
// one of them afterwards is the user leaving it (Escape gives no event of its own).
[[nodiscard]] std::string lookLua(const StripNames& run, const StripOffer& offer) {
  return oursLua(run) + "if ours() then " + handlerLua(run, offer) +
         "local away = editor.Focus or output.Focus local s = props['" + run.state + "'] " +
         "if s == '" + std::string(kOpen) + "' and not away then props['" + run.state + "'] = '" +
         std::string(kFocused) + "' elseif s == '" + std::string(kFocused) +
         "' and away then props['" + run.state + "'] = '" + std::string(kLeft) + "' end end";
}

// Closes the strip unless another script's has replaced it, or it was never shown.
[[nodiscard]] std::string tidyLua(const StripNames& run) {
  return "local s = props['" + run.state + "'] " + takeBackRunLua(run.global) +
         "if s ~= '' and s ~= '" + std::string(kReplaced) +
         "' then scite.StripShow('') end props['" + run.state + "'] = '' props['" + run.query +
         "'] = '' props['" + run.engine + "'] = ''";
}

[[nodiscard]] StripAnswer answered(const Scite& scite, const StripNames& run, StripChoice choice) {
  auto query = scite.ask(run.query);
  if (!query) {
    return {};
  }
  auto engine = scite.ask(run.engine);
  if (!engine) {
    return {};
  }
  return {.choice = choice, .query = std::move(*query), .engine = std::move(*engine)};
}

// `first` runs after the first pause, before the first look; false from it ends the wait.
[[nodiscard]] StripAnswer waitForChoice(const Scite& scite, const StripNames& run,
                                        const StripOffer& offer, const RunSystem& system,
                                        const std::function<bool()>& first) {
  const std::string look = lookLua(run, offer);
  for (int unfocused = 0, looks = 0;; ++looks) {
    system.pause(kPollInterval);
    if (looks == 0 && !first()) {
      return {};
    }
    const auto state = scite.run(look) ? scite.ask(run.state) : std::nullopt;
    if (state == kFocused || (state == kOpen && ++unfocused < kUnfocusedLooks)) {
      continue;
    }
    if (state == kSearch) {
      return answered(scite, run, StripChoice::search);
    }
    if (state == kCopy) {
      return answered(scite, run, StripChoice::copyAddress);
    }
    return {};  // cancelled, left, replaced, taken back by another run, or no answer
  }
}

}  // namespace

StripAnswer askInStrip(const Scite& scite, const StripOffer& offer, const RunSystem& system) {
  const StripNames run(system.processId());
  const platform::ScopeExit tidy([&] {
    try {
      (void)scite.run(tidyLua(run));
    } catch (...) {  // nothing more can be done for SciTE
    }
  });
  const bool inDefinition = queryInDefinition(offer, system.editor);
  const auto caretToEnd = [&] {
    if (!inDefinition && system.stripCaretToEnd) {
      system.stripCaretToEnd(Layout::kQuery);
    }
  };
  if (!scite.run(showLua(run, offer, inDefinition))) {
    return {};
  }
  caretToEnd();
  // The user waits for the strip, not for its list, which they open later if at all: it is asked
  // after a pause, in which SciTE for Windows draws the strip (a window is painted only once no
  // message is waiting, and each question is one).
  const auto putRecent = [&] {
    const std::vector<std::string> recent =
        offer.recent ? offer.recent() : std::vector<std::string>();
    if (recent.empty()) {
      return true;
    }
    if (!scite.run(recentLua(run, recent, system.editor))) {
      return false;
    }
    caretToEnd();
    return true;
  };
  return waitForChoice(scite, run, offer, system, putRecent);
}

}  // namespace companion
