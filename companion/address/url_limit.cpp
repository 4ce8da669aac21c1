// Wine's version read as numbers, for the shorter limit of its older shells.
#include "companion/address/url_limit.h"

#include <charconv>
#include <utility>

namespace companion {

namespace {

// Wine's shell overflows long command lines before this version.
constexpr std::pair<unsigned, unsigned> kFirstSoundWine{8, 17};

// The leading decimal number of `text`, and the text after it; nothing when it starts with none
// or the number does not fit.
[[nodiscard]] std::optional<std::pair<unsigned, std::string_view>> leadingNumber(
    std::string_view text) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc()) {
    return std::nullopt;
  }
  return std::pair{value, text.substr(static_cast<std::size_t>(end - text.data()))};
}

// Major and minor number compared as numbers: "8.2" is older than "8.17".
[[nodiscard]] bool isOldWine(std::string_view version) {
  const auto major = leadingNumber(version);
  if (!major || !major->second.starts_with('.')) {
    return true;
  }
  const auto minor = leadingNumber(major->second.substr(1));
  return !minor || std::pair{major->first, minor->first} < kFirstSoundWine;
}

}  // namespace

std::size_t maxUrlLengthFor(std::optional<std::string_view> wineVersion) {
  return wineVersion && isOldWine(*wineVersion) ? kOldWineMaxUrlLength : kMaxUrlLength;
}

}  // namespace companion
