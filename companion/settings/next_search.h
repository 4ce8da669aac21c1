// The one search a command steers: a key of the user's own sets these properties in SciTE's Lua
// just before it starts the tool (a key per engine, the output pane's message, the user's own
// scripts), and the next run reads them once.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace companion {

inline constexpr std::string_view kNextEngineKey = "websearch.next.engine";
inline constexpr std::string_view kNextTextKey = "websearch.next.text";
inline constexpr std::string_view kNextPaneKey = "websearch.next.pane";
inline constexpr std::string_view kNextAtKey = "websearch.next.at";
// In the order NextValues holds them.
inline constexpr auto kNextKeys =
    std::to_array<std::string_view>({kNextEngineKey, kNextTextKey, kNextPaneKey, kNextAtKey});
// websearch.next.pane's value for a text from the output pane.
inline constexpr std::string_view kOutputPane = "output";
// Older than this, the values were left behind by a command whose tool never started (SciTE
// refuses a tool while another one runs): they are not this press's.
inline constexpr std::int64_t kNextMaxAgeSeconds = 5;

// The properties' raw values, as SciTE gave them.
struct NextValues {
  std::string engine;
  std::string text;
  std::string pane;
  std::string at;
  bool operator==(const NextValues&) const = default;
};

// What steers this search: nothing when the values are not this press's, which `lines` then say.
struct NextSearch {
  std::string engine;  // an engine or group name; empty: the settings decide
  std::string text;    // raw bytes, searched instead of the document's; empty: none
  bool fromOutputPane = false;
  std::vector<std::string> lines;
  bool operator==(const NextSearch&) const = default;
};

// The search `values` steer at `now` (seconds since 1970, as Lua's os.time() counts): only when
// websearch.next.at is a time no more than kNextMaxAgeSeconds before `now`.
[[nodiscard]] NextSearch nextSearch(const NextValues& values, std::int64_t now);

}  // namespace companion
