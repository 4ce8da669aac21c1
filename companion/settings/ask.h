// websearch.ask: whether a run shows SciTE's user strip before anything opens.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "companion/settings/setting_types.h"

namespace companion {

// The keys a run asks SciTE with its settings: whether to show the strip. The recent searches
// are asked for later, only when the strip shows or a search has been handed on.
[[nodiscard]] std::vector<std::string> stripKeys(std::string_view extension);

// websearch.ask.<ext> when it is set, else websearch.ask: a number, on unless 0.
[[nodiscard]] bool asksFirst(std::string_view extension, const PropertyLookup& lookup);

}  // namespace companion
