// The engine list: which names of a websearch.engines key make SciTE's list, each an engine or a
// group of engines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "companion/settings/setting_types.h"

namespace companion {

// The words of a list of names, split at white space, each once, in the order first given.
[[nodiscard]] std::vector<std::string> distinctWords(std::string_view text);

// Letters, digits and . _ + - only: a name goes into Lua and into SciTE's list, where quotes,
// backslashes and ? have meanings of their own.
[[nodiscard]] bool isEngineName(std::string_view name);

// The settings a websearch.engines key gives (`list`, as sciteSetting expands it): its value
// split at white space, a name given twice taken once, each with where its searches open. A
// name that is no engine name, or whose websearch.engine.<name> is no usable template for where
// it opens, is left out with a note saying why.
[[nodiscard]] Settings engineList(const TemplateSetting& list, const PropertyLookup& lookup);

// `settings` for a search steered to the engine or group `name` (websearch.next.engine), whether
// a list names it or not: its choice first, the list's others after it (a strip offers them too).
// No choices when it names no usable one: a note says why.
[[nodiscard]] Settings steeredTo(Settings settings, const std::string& name,
                                 const PropertyLookup& lookup);

}  // namespace companion
