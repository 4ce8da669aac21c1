// The settings chosen over the answers so far, to learn which keys they still lack.
#include "companion/scite/settings_batch.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "companion/settings/ask.h"
#include "companion/settings/links.h"
#include "companion/settings/settings.h"
#include "director/operations.h"

namespace companion {

namespace {

// A list, its engines and groups, a group's members: deeper references are rare.
constexpr int kMaxBatches = 4;

[[nodiscard]] std::string browserPrefix() {
  return std::string(kSciteBrowserKey) + '.';
}

// The keys of one name of a list: whichever is asked first, the others follow.
[[nodiscard]] std::vector<std::string> keysOfName(const std::string& key) {
  const std::string browser = browserPrefix();
  for (const std::string_view prefix :
       {kSciteGroupKeyPrefix, kSciteEngineKeyPrefix, std::string_view(browser)}) {
    if (key.size() > prefix.size() && key.starts_with(prefix)) {
      return keysOfEngine(std::string_view(key).substr(prefix.size()));
    }
  }
  // A link's pattern is asked first; its address follows.
  const std::string linkPrefix = keysOfLink("").front();
  if (key.size() > linkPrefix.size() && key.starts_with(linkPrefix)) {
    return keysOfLink(std::string_view(key).substr(linkPrefix.size()));
  }
  return {key};
}

// The keys chooseSettings would ask that `known` does not hold, in the order it asks them, each
// name's with it.
[[nodiscard]] std::vector<std::string> missingKeys(std::string_view fileExt,
                                                   const std::string& steered,
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
  (void)settingsForSearch(
      fileExt, fromKnown, [] { return IniFile{}; }, steered, asksFirst(fileExt, fromKnown));
  return missing;
}

}  // namespace

std::vector<std::string> keysOfEngine(std::string_view name) {
  return {std::string(kSciteGroupKeyPrefix) + std::string(name),
          std::string(kSciteEngineKeyPrefix) + std::string(name),
          browserPrefix() + std::string(name)};
}

KnownProperties askSettingsInBatches(const Scite& scite, std::string_view fileExt,
                                     const std::string& steered, KnownProperties known) {
  for (int batch = 0; batch < kMaxBatches; ++batch) {
    const std::vector<std::string> keys = missingKeys(fileExt, steered, known);
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

SettingsAsked askSettingsOf(const Scite& scite, const Document& document, KnownProperties known) {
  const bool nextSet = document.nextSet;
  std::vector<std::string> keys = document.extensionSettings;
  keys.insert(keys.end(), document.linkListsSet.begin(), document.linkListsSet.end());
  if (!document.nextEngine.empty()) {
    const std::vector<std::string> engine = keysOfEngine(document.nextEngine);
    keys.insert(keys.end(), engine.begin(), engine.end());
  }
  if (document.nextEngine.empty()) {  // a command's engine wins over links: none is tried
    for (const std::string& name : document.linkNames) {
      const std::vector<std::string> link = keysOfLink(name);
      keys.insert(keys.end(), link.begin(), link.end());
    }
  }
  const std::size_t settingKeys = keys.size();
  if (nextSet) {
    keys.insert(keys.end(), kNextKeys.begin(), kNextKeys.end());
  }
  std::vector<Command> commands;
  commands.reserve(keys.size() + (nextSet ? kNextKeys.size() : 0));
  for (const std::string& key : keys) {
    commands.push_back({.text = director::askPropertyCommand(key), .expectReply = true});
  }
  if (nextSet) {  // read once: emptied right after they are asked
    for (const std::string_view key : kNextKeys) {
      commands.push_back({.text = director::propertyCommand(key, "")});
    }
  }
  auto answers = commands.empty() ? std::vector<Answer>() : scite.sendAll(commands);
  SettingsAsked asked{.known = std::move(known)};
  for (std::size_t at = 0; at < std::min(answers.size(), settingKeys); ++at) {
    asked.known.emplace(keys[at], std::move(answers[at].text));
  }
  // The extension's other settings are not set, nor are links unless the document says so: none
  // is asked.
  for (std::string& key : linkListKeys(document.extension)) {
    const std::vector<std::string>& lists = document.linkListsSet;
    if (std::find(lists.begin(), lists.end(), key) == lists.end()) {
      asked.known.emplace(std::move(key), std::string());
    }
  }
  const std::vector<std::string>& set = document.extensionSettings;
  for (std::string& key : extensionSettingKeys(document.extension)) {
    if (std::find(set.begin(), set.end(), key) == set.end()) {
      asked.known.emplace(std::move(key), std::string());
    }
  }
  if (nextSet && answers.size() == keys.size()) {
    const auto next = answers.begin() + static_cast<std::ptrdiff_t>(settingKeys);
    asked.next = {.engine = std::move(next[0].text),
                  .text = std::move(next[1].text),
                  .pane = std::move(next[2].text),
                  .at = std::move(next[3].text)};
  }
  return asked;
}

}  // namespace companion
