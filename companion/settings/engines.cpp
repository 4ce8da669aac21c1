// The engines of a websearch.engines key: each name's engine or group, with notes for the rest.
#include "companion/settings/engines.h"

#include <algorithm>
#include <utility>

#include "companion/settings/next_search.h"
#include "companion/settings/properties.h"
#include "companion/settings/texts.h"
#include "platform/ascii.h"

namespace companion {

namespace {

[[nodiscard]] std::vector<std::string> words(std::string_view text) {
  std::vector<std::string> found;
  for (std::size_t at = 0; at < text.size();) {
    const auto end = std::find_if(text.begin() + static_cast<std::ptrdiff_t>(at), text.end(),
                                  platform::isAsciiWhiteSpace) -
                     text.begin();
    const auto length = static_cast<std::size_t>(end) - at;
    if (length > 0) {
      found.emplace_back(text.substr(at, length));
    }
    at += length + 1;
  }
  return found;
}

[[nodiscard]] std::string groupKey(std::string_view name) {
  return std::string(kSciteGroupKeyPrefix) + std::string(name);
}

[[nodiscard]] std::string engineKey(std::string_view name) {
  return std::string(kSciteEngineKeyPrefix) + std::string(name);
}

// The engine `name` with where its searches open; nothing, with a note, when its template is no
// usable one.
[[nodiscard]] std::optional<Engine> usableEngine(const std::string& name,
                                                 const PropertyLookup& lookup,
                                                 std::vector<std::string>& notes) {
  TemplateSetting engine = sciteSetting(engineKey(name), lookup);
  BrowserSetting browser = browserSetting(name, lookup);
  if (engine.refersToItself) {
    notes.push_back(selfReferenceLine(engine));
  } else if (!isValidTemplate(engine.value, browser)) {
    notes.push_back(badTemplateLine(engine, browser));
  } else {
    return Engine{.name = name, .setting = std::move(engine), .browser = std::move(browser)};
  }
  return std::nullopt;
}

// The group `name` (its websearch.group.<name> is set) with its usable members in its order;
// nothing when it has none, names a group or too many engines. Every member left out is noted.
[[nodiscard]] std::optional<Choice> usableGroup(const std::string& name,
                                                const PropertyLookup& lookup,
                                                std::vector<std::string>& notes) {
  const TemplateSetting group = sciteSetting(groupKey(name), lookup);
  if (group.refersToItself) {
    notes.push_back(selfReferenceLine(group));
    return std::nullopt;
  }
  const std::vector<std::string> members = distinctWords(group.value);
  if (members.empty()) {
    notes.push_back(namesNoEngineLine(group.key));
    return std::nullopt;
  }
  // Refused whole before any member is looked at: the user meant something else.
  if (members.size() > kMaxGroupMembers) {
    notes.push_back(tooManyMembersLine(group.key, members.size()));
    return std::nullopt;
  }
  for (const std::string& member : members) {
    if (isEngineName(member) && !lookup(groupKey(member)).empty()) {
      notes.push_back(groupInGroupLine(group.key, member));
      return std::nullopt;
    }
  }
  Choice choice{.name = name};
  for (const std::string& member : members) {
    if (!isEngineName(member)) {
      notes.push_back(badEngineNameLine(group.key, member));
    } else if (lookup(engineKey(member)).empty()) {
      notes.push_back(noSuchEngineLine(group.key, member));
    } else if (auto engine = usableEngine(member, lookup, notes)) {
      choice.engines.push_back(std::move(*engine));
    }
  }
  if (choice.engines.empty()) {
    return std::nullopt;
  }
  return choice;
}

}  // namespace

std::vector<std::string> distinctWords(std::string_view text) {
  std::vector<std::string> names = words(text);
  std::vector<std::string> distinct;
  for (std::string& name : names) {
    if (std::find(distinct.begin(), distinct.end(), name) == distinct.end()) {
      distinct.push_back(std::move(name));
    }
  }
  return distinct;
}

bool isEngineName(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return platform::isAsciiAlphanumeric(c) || c == '.' || c == '_' || c == '+' || c == '-';
  });
}

Settings engineList(const TemplateSetting& list, const PropertyLookup& lookup) {
  Settings settings{.engineListKey = list.key};
  if (list.refersToItself) {
    settings.notes.push_back(selfReferenceLine(list));
    return settings;
  }
  const std::vector<std::string> names = distinctWords(list.value);
  if (names.empty()) {
    settings.notes.push_back(namesNoEngineLine(list.key));
  }
  for (const std::string& name : names) {
    if (!isEngineName(name)) {
      settings.notes.push_back(badEngineNameLine(list.key, name));
      continue;
    }
    if (!lookup(groupKey(name)).empty()) {
      if (!lookup(engineKey(name)).empty()) {
        settings.notes.push_back(alsoAnEngineLine(groupKey(name), name));
      }
      if (auto group = usableGroup(name, lookup, settings.notes)) {
        settings.choices.push_back(std::move(*group));
      }
    } else if (auto engine = usableEngine(name, lookup, settings.notes)) {
      settings.choices.push_back({.name = name, .engines = {std::move(*engine)}});
    }
  }
  return settings;
}

Settings steeredTo(Settings settings, const std::string& name, const PropertyLookup& lookup) {
  std::vector<std::string> notes;
  std::optional<Choice> steered;
  if (isEngineName(name) && !lookup(groupKey(name)).empty()) {
    steered = usableGroup(name, lookup, notes);
  } else if (isEngineName(name) && !lookup(engineKey(name)).empty()) {
    if (auto engine = usableEngine(name, lookup, notes)) {
      steered = Choice{.name = name, .engines = {std::move(*engine)}};
    }
  } else {
    notes.push_back(unknownNextEngineLine(name));
  }
  settings.notes.insert(settings.notes.end(), notes.begin(), notes.end());
  settings.engineListKey = kNextEngineKey;
  settings.steered = true;
  std::erase_if(settings.choices, [&name](const Choice& choice) { return choice.name == name; });
  if (!steered) {
    settings.choices.clear();
    return settings;
  }
  settings.choices.insert(settings.choices.begin(), std::move(*steered));
  return settings;
}

}  // namespace companion
