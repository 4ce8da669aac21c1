// SciTE's properties for the settings asked in batches: one wait for SciTE for every key the
// answers so far lead to, not one a key.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "companion/scite/scite.h"
#include "companion/settings/properties.h"

namespace companion {

// The keys of the engine or group `name`: its group, its engine, its browser.
[[nodiscard]] std::vector<std::string> keysOfEngine(std::string_view name);

// `known` with the properties chooseSettings reads for `fileExt` added, and steeredTo for
// `steered` when it names an engine or group, asked a batch at a time: each batch holds every key
// the answers before it lead to (the engines and groups a list names, a group's members, a
// reference). A few batches at most; what they leave out is asked one by one later. Asks nothing
// more when the answers lead to no new key, as with no engine list.
[[nodiscard]] KnownProperties askSettingsInBatches(const Scite& scite, std::string_view fileExt,
                                                   const std::string& steered,
                                                   KnownProperties known);

}  // namespace companion
