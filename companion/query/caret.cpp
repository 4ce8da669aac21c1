// The address under the caret, from the text on each side of it.
#include "companion/query/caret.h"

#include <algorithm>

#include "companion/query/uri.h"
#include "platform/ascii.h"

namespace companion {

namespace {

constexpr std::string_view kOpeners = "([<'\"";
constexpr std::string_view kTrailingPunctuation = ".,;:!?";

[[nodiscard]] std::size_t countOf(std::string_view text, char c) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), c));
}

// A closing bracket or quote that nothing inside `address` opens: a bracket with fewer openers
// than closers before it, a quote that is there an odd number of times.
[[nodiscard]] bool closesNothing(std::string_view address) {
  const char last = address.back();
  switch (last) {
    case ')':
      return countOf(address, '(') < countOf(address, ')');
    case ']':
      return countOf(address, '[') < countOf(address, ']');
    case '>':
      return countOf(address, '<') < countOf(address, '>');
    case '\'':
    case '"':
      return countOf(address, last) % 2 == 1;
    default:
      return false;
  }
}

[[nodiscard]] std::string_view withoutTrailingPunctuation(std::string_view address) {
  while (!address.empty() && (kTrailingPunctuation.find(address.back()) != std::string_view::npos ||
                              closesNothing(address))) {
    address.remove_suffix(1);
  }
  return address;
}

}  // namespace

std::optional<CaretRun> caretRun(const CaretLine& line) {
  const std::string_view before = line.text.substr(0, line.caret);
  const std::string_view after = line.text.substr(line.caret);
  const auto blankBefore =
      std::find_if(before.rbegin(), before.rend(), platform::isAsciiWhiteSpace);
  const auto blankAfter = std::find_if(after.begin(), after.end(), platform::isAsciiWhiteSpace);
  if ((blankBefore == before.rend() && line.cutBefore) ||
      (blankAfter == after.end() && line.cutAfter)) {
    return std::nullopt;
  }
  const auto start = static_cast<std::size_t>(before.rend() - blankBefore);
  const auto end = static_cast<std::size_t>(blankAfter - after.begin());
  return CaretRun{.before = before.substr(start), .after = after.substr(0, end)};
}

std::optional<std::string> addressAtCaret(std::string_view before, std::string_view after) {
  const std::size_t start = std::min(before.find_first_not_of(kOpeners), before.size());
  const std::string run = std::string(before.substr(start)) + std::string(after);
  const std::size_t caret = before.size() - start;
  const std::string_view address = withoutTrailingPunctuation(run);
  if (caret > address.size() || !isWebUrl(address)) {
    return std::nullopt;
  }
  return std::string(address);
}

}  // namespace companion
