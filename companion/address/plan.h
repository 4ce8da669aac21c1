// The run's plan once its settings are known, and what a pick or a cancel in SciTE's list, or
// a choice in its user strip, leads to.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "companion/address/decision.h"
#include "companion/address/link_address.h"
#include "companion/settings/setting_types.h"

namespace companion {

// What a run does once its settings are known.
struct Plan {
  std::vector<std::string> offer;  // two or more engine names: the user picks one first
  Outcome outcome;                 // the run's outcome, its lines led by the settings' notes;
                                   // with an offer, only the notes to say before the list
  bool operator==(const Plan&) const = default;
};

// A steered search decides at once with its first choice, and opens nothing without one. One
// usable engine decides at once, as does any engine when there is nothing to search or the
// text opens as it is; two or more are offered; none opens nothing. `request.setting` is
// ignored: the settings give it. The addresses decided go where `request.destination` asks: on
// the clipboard, those made (a group's in part too), each line then saying it was copied; else
// each with the program its browser setting names (withBrowserCommand).
// A link opens before anything else is decided, whatever engines there are: `atCaret`, found in
// the caret's line, or the link the whole text is (a selection, a command's text); its lines
// come after the settings' notes. A steered search opens no link.
[[nodiscard]] Plan plan(const Settings& settings, SearchRequest request,
                        const std::optional<FoundLink>& atCaret = std::nullopt);

// The outcome once the list has closed: a search with the engine `picked` names, its addresses
// going where the plan's would, or nothing opened when none was picked (or a name that was not
// offered).
[[nodiscard]] Outcome afterList(const Settings& settings, SearchRequest request,
                                const std::optional<std::string>& picked);

enum class StripChoice { search, copyAddress, cancel };

struct StripAnswer {
  StripChoice choice = StripChoice::cancel;
  std::string query;   // the query field's text as the user left it
  std::string engine;  // the engine field's text, with several engines
  bool operator==(const StripAnswer&) const = default;
};

// The names the strip offers for `settings`: every usable engine of a websearch.engines key,
// none for a single template.
[[nodiscard]] std::vector<std::string> offeredEngines(const Settings& settings);

// What the user's choice in the strip leads to, decided as for a selection: `request.text` is
// the query field's text, folded. A cancel opens nothing and says so; with several engines, an
// engine field naming none of them opens nothing and names what was typed. A query field that is
// still one whole link opens it, whatever engine is typed.
[[nodiscard]] Outcome afterStrip(const Settings& settings, SearchRequest request,
                                 const StripAnswer& answer);

}  // namespace companion
