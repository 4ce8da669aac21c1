// Which link a text is, or the caret's line holds at the caret, and the address its match opens.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "companion/address/decision.h"
#include "companion/query/caret.h"
#include "companion/settings/setting_types.h"

namespace companion {

// A link's match and the address made from it.
struct FoundLink {
  std::string name;
  std::string match;  // the text the pattern matched
  std::string url;    // {0} to {9} filled, each group percent-encoded as {query} is
  bool operator==(const FoundLink&) const = default;
};

// The link found, if any, and a line for each link whose pattern gave up on the text.
struct LinkSearch {
  std::optional<FoundLink> link;
  std::vector<std::string> notes;
  bool operator==(const LinkSearch&) const = default;
};

// The first of `links`, in order, whose pattern matches all of `text` and whose address fits
// within `maxUrlLength` once encoded.
[[nodiscard]] LinkSearch wholeLink(std::span<const Link> links, std::string_view text,
                                   std::size_t maxUrlLength);

// The first of `links`, in order, with a match in the caret's line (UTF-8) that holds the caret,
// the caret just after it included, and whose address fits. A match that reaches an end of the
// line where it was cut is not seen whole and counts for nothing.
[[nodiscard]] LinkSearch linkAtCaret(std::span<const Link> links, const CaretLine& line,
                                     std::size_t maxUrlLength);

// What opening `link` says and opens: the text's own line for a command's text, the link's
// line, then the address, which opens where `request.addressBrowser` says.
[[nodiscard]] Outcome linkOutcome(const FoundLink& link, const SearchRequest& request);

}  // namespace companion
