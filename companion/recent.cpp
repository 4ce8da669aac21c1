// The recent searches over SciTE's property and the history file.
#include "companion/recent.h"

#include <charconv>

#include "companion/history.h"
#include "companion/properties.h"
#include "companion/texts.h"
#include "director/escapes.h"
#include "director/operations.h"

namespace companion {

namespace {

constexpr std::string_view kAskKey = "websearch.ask";

}  // namespace

std::vector<std::string> stripKeys(std::string_view extension) {
  std::vector<std::string> keys;
  if (!extension.empty()) {
    keys.push_back(keyForExtension(kAskKey, extension));
  }
  keys.emplace_back(kAskKey);
  keys.emplace_back(kHistoryKey);
  keys.emplace_back(kHistorySizeKey);
  keys.emplace_back(kSaveFindKey);
  keys.insert(keys.end(), std::begin(kSaveSessionKeys), std::end(kSaveSessionKeys));
  keys.emplace_back(kUserHomeKey);
  return keys;
}

bool asksFirst(std::string_view extension, const PropertyLookup& lookup) {
  std::string value =
      extension.empty() ? std::string() : lookup(keyForExtension(kAskKey, extension));
  if (value.empty()) {
    value = lookup(std::string(kAskKey));
  }
  int number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  return error == std::errc() && number != 0;
}

RecentSearches::RecentSearches(const PropertyLookup& lookup, EditorKind editor)
    : size_(historySize(lookup(std::string(kHistorySizeKey)))) {
  std::vector<std::string> sessionValues;
  for (const std::string_view key : kSaveSessionKeys) {
    sessionValues.push_back(lookup(std::string(key)));
  }
  onDisk_ = keepsFindStrings(lookup(std::string(kSaveFindKey)), sessionValues);
  const std::string userHome = onDisk_ ? lookup(std::string(kUserHomeKey)) : std::string();
  onDisk_ = onDisk_ && !userHome.empty();
  path_ = onDisk_ ? historyFilePath(userHome, editor) : std::string();
  list_ = historyFromProperty(lookup(std::string(kHistoryKey)), size_);
  inScite_ = list_.has_value();
}

const std::vector<std::string>& RecentSearches::list(const RunSystem& system) {
  if (!list_) {
    const auto text = onDisk_ && system.readFile ? system.readFile(path_) : std::nullopt;
    list_ = text ? historyFromFile(*text, size_) : std::vector<std::string>();
  }
  return *list_;
}

void RecentSearches::remember(const Scite& scite, const std::string& search,
                              const RunSystem& system) {
  if (size_ == 0) {
    return;  // remembers nothing and writes nothing
  }
  const std::vector<std::string> before = list(system);
  std::vector<std::string> after = remembered(before, search, size_);
  if (inScite_ && after == before) {
    return;
  }
  (void)scite.sendAll({{.text = director::propertyCommand(
                            kHistoryKey, director::outputEscaped(historyPropertyValue(after)))}});
  inScite_ = true;
  if (onDisk_ && after != before && system.replaceFile) {
    if (const auto failure = system.replaceFile(path_, historyFileText(after))) {
      scite.say(historyNotKeptLine(path_, *failure));
    }
  }
  list_ = std::move(after);
}

}  // namespace companion
