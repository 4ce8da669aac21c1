// Hand-written readings of the system's three fixed patterns, independent of the engine, so that
// a fuzzer can tell a wrong match from a right one.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace fuzz {

struct ModelMatch {
  std::size_t length = 0;             // of the whole match, which always starts at 0
  std::string group1;                 // as the engine reports it (the last repetition of a group)
  std::optional<std::string> group2;  // unset when the group took no part
};

// ^:\d+:([^:]+:){2}
[[nodiscard]] std::optional<ModelMatch> replyPrefixModel(std::string_view text);
// ^(?:local )?function ([^\(]+)\(([^\)]+)?
[[nodiscard]] std::optional<ModelMatch> functionNameModel(std::string_view text);
// ^(?:local\s)?(\w+)\s*=\s*function\(([^\)]+)?
[[nodiscard]] std::optional<ModelMatch> assignedFunctionModel(std::string_view text);

}  // namespace fuzz
