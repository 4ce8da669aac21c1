// A link's pattern run over a text or the caret's line, and its address filled from the match.
#include "companion/address/link_address.h"

#include <utility>

#include "companion/query/uri.h"
#include "companion/settings/texts.h"

namespace companion {

namespace {

// {0} to {9}: the groups an address may name.
constexpr std::size_t kGroups = 9;

[[nodiscard]] bool isDigit(char c) noexcept {
  return c >= '0' && c <= '9';
}

// `url` with each {N} replaced by group N encoded, a group that took no part by nothing, then
// what may not stand in an address encoded too.
[[nodiscard]] std::string filled(std::string_view url, const std::vector<std::string>& groups) {
  std::string out;
  for (std::size_t at = 0; at < url.size(); ++at) {
    if (url[at] == '{' && at + 2 < url.size() && isDigit(url[at + 1]) && url[at + 2] == '}') {
      const auto group = static_cast<std::size_t>(url[at + 1] - '0');
      out += group < groups.size() ? percentEncode(groups[group]) : std::string();
      at += 2;
    } else {
      out += url[at];
    }
  }
  return toUriCharacters(out);
}

// The link for `match` when its address fits.
[[nodiscard]] std::optional<FoundLink> madeLink(const Link& link, const platform::RegexMatch& match,
                                                std::size_t maxUrlLength) {
  std::string url = filled(link.url, match.groups);
  if (url.size() > maxUrlLength) {
    return std::nullopt;
  }
  return FoundLink{.name = link.name, .match = match.groups.front(), .url = std::move(url)};
}

// Where a search for the next match starts after `match`: past it, or past one character when it
// was empty, so that the search moves on and stays on a character's first byte.
[[nodiscard]] std::size_t after(const platform::RegexMatch& match, std::string_view text) {
  std::size_t next = match.end;
  if (next == match.start && next < text.size()) {
    ++next;
    while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) {
      ++next;
    }
  }
  return next;
}

// The match of `link` in `line` that holds the caret; nothing when there is none, or the pattern
// gave up, which `notes` then says.
[[nodiscard]] std::optional<FoundLink> atCaret(const Link& link, const CaretLine& line,
                                               std::size_t maxUrlLength,
                                               std::vector<std::string>& notes) {
  const std::string_view text = line.text;
  for (std::size_t start = 0; start <= text.size();) {
    const platform::RegexMatch match =
        platform::findMatch(text, link.anywhere, static_cast<std::int64_t>(start), kGroups);
    if (match.gaveUp()) {
      notes.push_back(linkGaveUpLine(link.patternKey));
    }
    if (!match.found() || match.start > line.caret) {
      return std::nullopt;
    }
    const bool seenWhole =
        !(line.cutBefore && match.start == 0) && !(line.cutAfter && match.end == text.size());
    if (match.end > match.start && match.end >= line.caret && seenWhole) {
      return madeLink(link, match, maxUrlLength);
    }
    if (match.end >= text.size()) {
      return std::nullopt;
    }
    start = after(match, text);
  }
  return std::nullopt;
}

}  // namespace

LinkSearch wholeLink(std::span<const Link> links, std::string_view text, std::size_t maxUrlLength) {
  LinkSearch search;
  for (const Link& link : links) {
    const platform::RegexMatch match = platform::findMatch(text, link.whole, 0, kGroups);
    if (match.gaveUp()) {
      search.notes.push_back(linkGaveUpLine(link.patternKey));
    }
    if (match.found() && !text.empty()) {
      search.link = madeLink(link, match, maxUrlLength);
      if (search.link) {
        return search;
      }
    }
  }
  return search;
}

LinkSearch linkAtCaret(std::span<const Link> links, const CaretLine& line,
                       std::size_t maxUrlLength) {
  LinkSearch search;
  for (const Link& link : links) {
    search.link = atCaret(link, line, maxUrlLength, search.notes);
    if (search.link) {
      return search;
    }
  }
  return search;
}

Outcome linkOutcome(const FoundLink& link, const SearchRequest& request) {
  Outcome outcome;
  if (auto line = textLine(request)) {
    outcome.lines.push_back(std::move(*line));
  }
  outcome.lines.push_back(linkLine(link.name, link.match));
  outcome.lines.push_back(std::string(kOpenLabel) + link.url);
  outcome.openings.push_back(
      {.url = link.url, .browser = request.addressBrowser, .line = outcome.lines.size() - 1});
  return outcome;
}

}  // namespace companion
