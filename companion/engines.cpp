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
  return outcome;
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
  const std::vector<std::string> names = words(list.value);
  if (names.empty()) {
    settings.notes.push_back(namesNoEngineLine(list.key));
  }
  for (auto name = names.begin(); name != names.end(); ++name) {
    if (std::find(names.begin(), name, *name) != name) {
      continue;  // said once already, whatever its verdict
    }
    if (!isEngineName(*name)) {
      settings.notes.push_back(badEngineNameLine(list.key, *name));
      continue;
    }
    TemplateSetting engine = sciteSetting(std::string(kSciteEngineKeyPrefix) + *name, lookup);
    BrowserSetting browser = browserSetting(*name, lookup);
    if (engine.refersToItself) {
      settings.notes.push_back(selfReferenceLine(engine));
    } else if (!isValidTemplate(engine.value, browser)) {
      settings.notes.push_back(badTemplateLine(engine, browser));
    } else {
      settings.engines.push_back(
          {.name = *name, .setting = std::move(engine), .browser = std::move(browser)});
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
  if (settings.engines.empty() && !request.text.empty()) {
    return {.outcome = {.code = ExitCode::BadTemplate, .lines = settings.notes}};
  }
  if (settings.engines.size() < 2 || request.text.empty() ||
      opensAsIs(request.text, request.maxUrlLength)) {
    // Any engine serves when none is needed: each template is a usable one.
    if (!settings.engines.empty()) {
      request.setting = settings.engines.front().setting;
      request.searchBrowser = settings.engines.front().browser;
    }
    return {.outcome = withNotes(settings, decide(request))};
  }
  Plan offered{.outcome = {.lines = settings.notes}};
  for (const Engine& engine : settings.engines) {
    offered.offer.push_back(engine.name);
  }
  return offered;
}

Outcome afterList(const Settings& settings, SearchRequest request,
                  const std::optional<std::string>& picked) {
  const auto engine =
      std::find_if(settings.engines.begin(), settings.engines.end(),
                   [&picked](const Engine& candidate) { return candidate.name == picked; });
  if (engine == settings.engines.end()) {
    return {.code = ExitCode::NoEngineChosen, .lines = {noEngineChosenLine()}};
  }
  request.setting = engine->setting;
  request.searchBrowser = engine->browser;
  request.addressBrowser = settings.browser;
  return decide(request);
}

}  // namespace companion
