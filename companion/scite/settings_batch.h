// SciTE's properties for the settings asked in batches: one wait for SciTE for every key the
// answers so far lead to, not one a key.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "companion/scite/document.h"
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

// What the batch after the document gives: the settings' raw values by name, and the one-shot
// values (empty unless asked).
struct SettingsAsked {
  KnownProperties known;
  NextValues next;
};

// `known` with what the document names asked in one more wait, and none when it names nothing:
// the settings its extension has set (the others are known unset), the link lists it has
// set (the others are known unset), the keys of its nextEngine,
// and, when a command set them (nextSet), the websearch.next.* values, all emptied in the same
// batch right after they are asked: they steer one search.
[[nodiscard]] SettingsAsked askSettingsOf(const Scite& scite, const Document& document,
                                          KnownProperties known);

}  // namespace companion
