// Whether the one-shot values are this press's.
#include "companion/settings/next_search.h"

#include <charconv>
#include <optional>

#include "companion/settings/texts.h"

namespace companion {

namespace {

// websearch.next.at as os.time() writes it: plain digits.
[[nodiscard]] std::optional<std::int64_t> timeOf(std::string_view at) {
  std::int64_t seconds = 0;
  const auto [end, error] = std::from_chars(at.data(), at.data() + at.size(), seconds);
  if (at.empty() || error != std::errc() || end != at.data() + at.size() || seconds < 0) {
    return std::nullopt;
  }
  return seconds;
}

}  // namespace

NextSearch nextSearch(const NextValues& values, std::int64_t now) {
  if (values.engine.empty() && values.text.empty() && values.pane.empty()) {
    return {};
  }
  const auto at = timeOf(values.at);
  if (!at || *at > now) {
    return {.lines = {nextUntimedLine(values.at)}};
  }
  if (now - *at > kNextMaxAgeSeconds) {
    return {.lines = {nextTooOldLine(now - *at)}};
  }
  return {
      .engine = values.engine, .text = values.text, .fromOutputPane = values.pane == kOutputPane};
}

}  // namespace companion
