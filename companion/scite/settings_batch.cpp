// The settings chosen over the answers so far, to learn which keys they still lack.
#include "companion/scite/settings_batch.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "companion/settings/settings.h"
#include "director/operations.h"

namespace companion {

namespace {

// A list, its engines and groups, a group's members: deeper references are rare.
constexpr int kMaxBatches = 4;

// The keys of one name of a list: whichever is asked first, the others follow.
[[nodiscard]] std::vector<std::string> keysOfName(const std::string& key) {
  const std::string browserPrefix = std::string(kSciteBrowserKey) + '.';
  for (const std::string_view prefix :
       {kSciteGroupKeyPrefix, kSciteEngineKeyPrefix, std::string_view(browserPrefix)}) {
    if (key.size() > prefix.size() && key.starts_with(prefix)) {
      const std::string name = key.substr(prefix.size());
      return {std::string(kSciteGroupKeyPrefix) + name, std::string(kSciteEngineKeyPrefix) + name,
              browserPrefix + name};
    }
  }
  return {key};
}

// The keys chooseSettings would ask that `known` does not hold, in the order it asks them, each
// name's with it.
[[nodiscard]] std::vector<std::string> missingKeys(std::string_view fileExt,
                                                   const KnownProperties& known) {
  std::vector<std::string> missing;
  const PropertyLookup fromKnown = [&](const std::string& name) {
    const auto found = known.find(name);
    if (found != known.end()) {
      return found->second;
    }
    for (std::string& key : keysOfName(name)) {
      if (!known.contains(key) && std::find(missing.begin(), missing.end(), key) == missing.end()) {
        missing.push_back(std::move(key));
      }
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
    commands.reserve(keys.size());
    for (const std::string& key : keys) {
      commands.push_back({.text = director::askPropertyCommand(key), .expectReply = true});
    }
    const auto answers = scite.sendAll(commands);
    for (std::size_t at = 0; at < answers.size(); ++at) {
      known.emplace(keys[at], answers[at].text);
    }
    if (answers.size() < keys.size()) {
      break;  // SciTE stopped answering: the rest is asked, and missed, one by one
    }
  }
  return known;
}

}  // namespace companion
