// The longest address the system opens: shorter only under an old Wine.
#include "companion/address/url_limit.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

namespace {

constexpr std::size_t kMaxUrl = companion::kMaxUrlLength;

TEST(UrlLimit, ShorterOnlyUnderWineBefore8_17) {
  const std::pair<std::optional<std::string_view>, std::size_t> cases[] = {
      {std::nullopt, kMaxUrl},
      {"8.0", 900},
      {"8.2", 900},
      {"8.16", 900},
      {"8.17", kMaxUrl},
      {"9.0", kMaxUrl},
      {"10.0-rc2", kMaxUrl},
      {"", 900},
      {"x", 900},
      {"8", 900},
      {"9.x", 900},
  };
  for (const auto& [version, limit] : cases) {
    EXPECT_EQ(companion::maxUrlLengthFor(version), limit) << version.value_or("not Wine");
  }
}

}  // namespace
