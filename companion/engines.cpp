// The engines of a websearch.engines key, and the run's plan around SciTE's list.
#include "companion/engines.h"

#include <algorithm>
#include <utility>

#include "companion/properties.h"
#include "companion/texts.h"
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

[[nodiscard]] Outcome withNotes(const Settings& settings, Outcome outcome) {
  outcome.lines.insert(outcome.lines.begin(), settings.notes.begin(), settings.notes.end());
  for (Opening& opening : outcome.openings) {
    opening.line += settings.notes.size();
  }
  return outcome;
}

// Each name once, in the order first given.
[[nodiscard]] std::vector<std::string> distinctWords(std::string_view text) {
  std::vector<std::string> names = words(text);
  std::vector<std::string> distinct;
  for (std::string& name : names) {
    if (std::find(distinct.begin(), distinct.end(), name) == distinct.end()) {
      distinct.push_back(std::move(name));
    }
  }
  return distinct;
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

[[nodiscard]] SearchRequest forEngine(SearchRequest request, const Engine& engine) {
  request.setting = engine.setting;
  request.searchBrowser = engine.browser;
  return request;
}

// The outcome of searching with every engine of `choice`, in order, each address on its own
// line; what is said of the caret is said once. Opened when every one did, PartlyOpened when
// some did, else the first one's code.
[[nodiscard]] Outcome decideChoice(const Choice& choice, SearchRequest request) {
  Outcome all;
  std::size_t opened = 0;
  for (const Engine& engine : choice.engines) {
    Outcome one = decide(forEngine(request, engine));
    request.fromCaret = CaretText::none;
    for (Opening& opening : one.openings) {
      opening.line += all.lines.size();
      all.openings.push_back(std::move(opening));
    }
    all.lines.insert(all.lines.end(), one.lines.begin(), one.lines.end());
    if (one.code == ExitCode::Opened) {
      ++opened;
    } else if (opened == 0 && all.code == ExitCode::Opened) {
      all.code = one.code;  // the first failure, unless something opened before it
    }
  }
  if (opened > 0) {
    all.code = opened == choice.engines.size() ? ExitCode::Opened : ExitCode::PartlyOpened;
  }
  return all;
}

}  // namespace

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

Plan plan(const Settings& settings, SearchRequest request) {
  request.addressBrowser = settings.browser;
  if (settings.engineListKey.empty()) {
    request.setting = settings.setting;
    request.searchBrowser = settings.browser;
    return {.outcome = decide(request)};
  }
  if (settings.choices.empty() && !request.text.empty()) {
    return {.outcome = {.code = ExitCode::BadTemplate, .lines = settings.notes}};
  }
  if (request.text.empty() || opensAsIs(request.text, request.maxUrlLength)) {
    // Any engine serves when none is needed, and an address opens once: each template is a
    // usable one.
    if (!settings.choices.empty()) {
      request = forEngine(request, settings.choices.front().engines.front());
    }
    return {.outcome = withNotes(settings, decide(request))};
  }
  if (settings.choices.size() == 1) {
    return {.outcome = withNotes(settings, decideChoice(settings.choices.front(), request))};
  }
  Plan offered{.outcome = {.lines = settings.notes}};
  for (const Choice& choice : settings.choices) {
    offered.offer.push_back(choice.name);
  }
  return offered;
}

Outcome afterList(const Settings& settings, SearchRequest request,
                  const std::optional<std::string>& picked) {
  const auto choice =
      std::find_if(settings.choices.begin(), settings.choices.end(),
                   [&picked](const Choice& candidate) { return candidate.name == picked; });
  if (choice == settings.choices.end()) {
    return {.code = ExitCode::NoEngineChosen, .lines = {noEngineChosenLine()}};
  }
  request.addressBrowser = settings.browser;
  return decideChoice(*choice, request);
}

}  // namespace companion
