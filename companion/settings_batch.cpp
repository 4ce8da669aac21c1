// The settings chosen over the answers so far, to learn which keys they still lack.
#include "companion/settings_batch.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "companion/settings.h"
#include "director/escapes.h"
#include "director/operations.h"

namespace companion {

namespace {

// A list, its engines and groups, a group's members: deeper references are rare.
constexpr int kMaxBatches = 4;

// The keys chooseSettings would ask that `known` does not hold, in the order it asks them.
[[nodiscard]] std::vector<std::string> missingKeys(std::string_view fileExt,
                                                   const KnownProperties& known) {
  std::vector<std::string> missing;
  const PropertyLookup fromKnown = [&](const std::string& name) {
    const auto found = known.find(name);
    if (found != known.end()) {
      return found->second;
    }
    if (std::find(missing.begin(), missing.end(), name) == missing.end()) {
      missing.push_back(name);
    }
    return std::string();
  };
  (void)chooseSettings(fileExt, fromKnown, [] { return IniFile{}; });
  return missing;
}

}  // namespace

KnownProperties askSettingsInBatches(const Scite& scite, std::string_view fileExt,
                                     KnownProperties known) {
  for (int batch = 0; batch < kMaxBatches; ++batch) {
    const std::vector<std::string> keys = missingKeys(fileExt, known);
    if (keys.empty()) {
      break;
    }
    std::vector<Command> commands;
    for (const std::string& key : keys) {
      commands.push_back({.text = director::AskPropertyCommand(key), .expectReply = true});
    }
    const auto answers = scite.sendAll(commands);
    for (std::size_t at = 0; at < answers.size(); ++at) {
      known.emplace(keys[at], director::unescapeReply(answers[at].received));
    }
    if (answers.size() < keys.size()) {
      break;  // SciTE stopped answering: the rest is asked, and missed, one by one
    }
  }
  return known;
}

}  // namespace companion
