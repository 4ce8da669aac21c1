// The search template a run uses and where it was written: SciTE's properties, websearch.ini or
// the built-in default, chosen here, in that order.
#pragma once

#include <string>
#include <string_view>

#include "companion/settings/setting_types.h"

namespace companion {

// The settings for a file with extension `fileExt`: SciTE's keys first (the first of sciteKeys
// whose raw value is not empty), asked only through `lookup`, which is empty when SciTE is out of
// reach; then websearch.ini's (templateFor), read through `readIni` only when no SciTE key
// decides; then the built-in default. SciTE's properties come first because they can differ per
// folder, the file cannot. Where the addresses open comes from SciTE's properties only
// (websearch.browser, and websearch.browser.<name> for each engine). Asks `lookup` at most once
// per name.
[[nodiscard]] Settings chooseSettings(std::string_view fileExt, const PropertyLookup& lookup,
                                      const IniReader& readIni);

// The settings of a search a command steered to the engine or group `steered` (steeredTo): its
// choice alone, so that a key per engine asks SciTE for nothing more, or before the others of
// chooseSettings' when `offerAll` (the strip offers them). chooseSettings' with the links of
// linkSettings when `steered` is empty: a steered search opens no link.
[[nodiscard]] Settings settingsForSearch(std::string_view fileExt, const PropertyLookup& lookup,
                                         const IniReader& readIni, const std::string& steered,
                                         bool offerAll);

}  // namespace companion
