// SciTE's properties for the settings asked in batches: one wait for SciTE for every key the
// answers so far lead to, not one a key.
#pragma once

#include <string_view>

#include "companion/scite/scite.h"
#include "companion/settings/properties.h"

namespace companion {

// `known` with the properties chooseSettings reads for `fileExt` added, asked a batch at a time:
// each batch holds every key the answers before it lead to (the engines and groups a list names,
// a group's members, a reference). A few batches at most; what they leave out is asked one by one
// later. Asks nothing more when the answers lead to no new key, as with no engine list.
[[nodiscard]] KnownProperties askSettingsInBatches(const Scite& scite, std::string_view fileExt,
                                                   KnownProperties known);

}  // namespace companion
