// The longest address the shell is handed, which depends on the system underneath.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace companion {

// The longest address handed to the shell; longer ones are not opened by every browser.
inline constexpr std::size_t kMaxUrlLength = 2048;
// The longest under Wine before 8.17, whose shell overflows a fixed buffer with addresses of
// about 1,000 characters while it builds the browser's command line (984 still open with its
// default handler; this leaves room for a longer handler command).
inline constexpr std::size_t kOldWineMaxUrlLength = 900;

// The limit for a system that gives `wineVersion` ("8.0", "10.0-rc2") as Wine's version, or
// none (std::nullopt: not Wine). A version that cannot be read counts as an old one.
[[nodiscard]] std::size_t maxUrlLengthFor(std::optional<std::string_view> wineVersion);

}  // namespace companion
