// The engine list: which names make SciTE's list, and what a pick or a cancel leads to.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "companion/setting_types.h"
#include "companion/websearch.h"

namespace companion {

// Letters, digits and . _ + - only: a name goes into Lua and into SciTE's list, where quotes,
// backslashes and ? have meanings of their own.
[[nodiscard]] bool isEngineName(std::string_view name);

// The settings a websearch.engines key gives (`list`, as sciteSetting expands it): its value
// split at white space, a name given twice taken once, each with where its searches open. A
// name that is no engine name, or whose websearch.engine.<name> is no usable template for where
// it opens, is left out with a note saying why.
[[nodiscard]] Settings engineList(const TemplateSetting& list, const PropertyLookup& lookup);

// What a run does once its settings are known.
struct Plan {
  std::vector<std::string> offer;  // two or more engine names: the user picks one first
  Outcome outcome;                 // the run's outcome, its lines led by the settings' notes;
                                   // with an offer, only the notes to say before the list
  bool operator==(const Plan&) const = default;
};

// One usable engine decides at once, as does any engine when there is nothing to search or the
// text opens as it is; two or more are offered; none opens nothing. `request.setting` is
// ignored: the settings give it.
[[nodiscard]] Plan plan(const Settings& settings, SearchRequest request);

// The outcome once the list has closed: a search with the engine `picked` names, or nothing
// opened when none was picked (or a name that was not offered).
[[nodiscard]] Outcome afterList(const Settings& settings, SearchRequest request,
                                const std::optional<std::string>& picked);

}  // namespace companion
