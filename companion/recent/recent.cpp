// The recent searches over SciTE's property and the history file.
#include "companion/recent/recent.h"

#include "companion/recent/history.h"
#include "companion/settings/properties.h"
#include "companion/settings/texts.h"
#include "director/escapes.h"
#include "director/operations.h"

namespace companion {

void RecentSearches::askScite(const Scite& scite) {
  if (asked_) {
    return;
  }
  asked_ = true;
  // The values in the order asked: the list, its size, save.find, the session keys, the folder.
  std::vector<std::string_view> keys{kHistoryKey, kHistorySizeKey, kSaveFindKey};
  keys.insert(keys.end(), std::begin(kSaveSessionKeys), std::end(kSaveSessionKeys));
  keys.push_back(kUserHomeKey);
  std::vector<Command> commands;
  commands.reserve(keys.size());
  for (const std::string_view key : keys) {
    commands.push_back({.text = director::askPropertyCommand(key), .expectReply = true});
  }
  std::vector<std::string> values;
  values.reserve(keys.size());
  for (Answer& answer : scite.sendAll(commands)) {
    values.push_back(std::move(answer.text));
  }
  answered_ = values.size() == keys.size();
  values.resize(keys.size());  // what SciTE did not answer counts as unset
  const std::string& listValue = values[0];
  const std::string& sizeValue = values[1];
  const std::string& saveFind = values[2];
  const std::vector<std::string> sessionValues(values.begin() + 3, values.end() - 1);
  const std::string& userHome = values.back();
  size_ = historySize(sizeValue);
  list_ = historyFromProperty(listValue, size_);
  inScite_ = list_.has_value();
  if (keepsFindStrings(saveFind, sessionValues) && !userHome.empty()) {
    path_ = historyFilePath(userHome, editor_);
  }
}

const std::vector<std::string>& RecentSearches::list(const Scite& scite, const RunSystem& system) {
  askScite(scite);
  if (!list_) {
    const auto text = !path_.empty() && system.readFile ? system.readFile(path_) : std::nullopt;
    list_ = text ? historyFromFile(*text, size_) : std::vector<std::string>();
  }
  return *list_;
}

void RecentSearches::remember(const Scite& scite, const std::string& search,
                              const RunSystem& system) {
  if (!scite.inReach()) {
    return;  // no SciTE to remember in
  }
  askScite(scite);
  // Without SciTE's list, the search would be put in its place; without the size, remembered
  // past what the user keeps.
  if (!answered_ || size_ == 0) {
    return;  // remembers nothing and writes nothing
  }
  const std::vector<std::string> before = list(scite, system);
  std::vector<std::string> after = remembered(before, search, size_);
  if (inScite_ && after == before) {
    return;
  }
  (void)scite.sendAll({{.text = director::propertyCommand(
                            kHistoryKey, director::outputEscaped(historyPropertyValue(after)))}});
  inScite_ = true;
  const bool changed = after != before;
  list_ = std::move(after);
  if (!changed || path_.empty() || !system.replaceFile) {
    return;  // nothing new, or SciTE keeps no find strings on disk: nor do we
  }
  if (const auto failure = system.replaceFile(path_, historyFileText(*list_))) {
    scite.say(historyNotKeptLine(path_, *failure));
  }
}

}  // namespace companion
