// The links the user set: text of a shape of its own (a ticket key, an issue number) that opens an
// address made from it instead of a search. websearch.links names them in the order they count.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "companion/settings/setting_types.h"

namespace companion {

inline constexpr std::string_view kSciteLinksKey = "websearch.links";

// The keys of link `name`: its pattern (websearch.link.<name>), its address (....url).
[[nodiscard]] std::vector<std::string> keysOfLink(std::string_view name);

// The keys that may name the links, most specific first: websearch.links.<ext> (none without an
// extension), websearch.links.
[[nodiscard]] std::vector<std::string> linkListKeys(std::string_view fileExt);

struct LinkSettings {
  std::vector<Link> links;         // in the order websearch.links names them, each once
  std::vector<std::string> notes;  // the links left out and why
};

// The links the first of linkListKeys whose raw value is not empty names, asked through
// `lookup`: nothing asked beyond those keys when neither is set. A name that is no engine name, a
// pattern unset or that does not compile (the engine's message and offset said), and an address
// unset or with no scheme to open (http:// or https://, any scheme for a program `browser`
// names) leave that link out with a note; the others count.
[[nodiscard]] LinkSettings linkSettings(std::string_view fileExt, const PropertyLookup& lookup,
                                        const BrowserSetting& browser);

}  // namespace companion
