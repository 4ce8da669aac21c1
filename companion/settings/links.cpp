// The links websearch.links names, each read and checked, and compiled once.
#include "companion/settings/links.h"

#include <optional>
#include <utility>

#include "companion/query/uri.h"
#include "companion/settings/engines.h"
#include "companion/settings/properties.h"
#include "companion/settings/texts.h"
#include "platform/errors.h"

namespace companion {

namespace {

constexpr std::string_view kLinkKeyPrefix = "websearch.link.";

// The engine's message without the pattern and the caret it adds on lines of their own.
[[nodiscard]] std::string firstLine(std::string_view message) {
  return std::string(message.substr(0, message.find('\n')));
}

// Both forms of `pattern`, or why the engine refuses it. A whole text must match all of it, not
// only a first alternative: the pattern is put in a group that runs from the text's start to its
// end.
[[nodiscard]] std::optional<std::pair<platform::Regex, platform::Regex>> compiled(
    const std::string& pattern, std::string& why) {
  constexpr auto kFlags = platform::RegexFlags::utf8 | platform::RegexFlags::limited;
  try {
    platform::Regex anywhere = platform::re(pattern, kFlags);
    return std::pair(std::move(anywhere), platform::re("\\A(?:" + pattern + ")\\z", kFlags));
  } catch (const platform::RegexError& error) {
    why = firstLine(error.message());
  }
  return std::nullopt;
}

// The link `name` when all of it is usable; else nothing, with a note saying why.
[[nodiscard]] std::optional<Link> usableLink(const std::string& name, const PropertyLookup& lookup,
                                             const BrowserSetting& browser,
                                             std::vector<std::string>& notes) {
  const std::vector<std::string> keys = keysOfLink(name);
  std::string pattern = lookup(keys[0]);
  if (pattern.empty()) {
    notes.push_back(linkKeyUnsetLine(keys[0]));
    return std::nullopt;
  }
  TemplateSetting url = sciteSetting(keys[1], lookup);
  if (url.refersToItself) {
    notes.push_back(selfReferenceLine(url));
    return std::nullopt;
  }
  if (url.value.empty()) {
    notes.push_back(linkKeyUnsetLine(keys[1]));
    return std::nullopt;
  }
  if (!(browser.namesProgram() ? hasUriScheme(url.value) : hasWebScheme(url.value))) {
    notes.push_back(badLinkAddressLine(keys[1], browser));
    return std::nullopt;
  }
  std::string why;
  auto forms = compiled(pattern, why);
  if (!forms) {
    notes.push_back(badLinkPatternLine(keys[0], why));
    return std::nullopt;
  }
  return Link{.name = name,
              .patternKey = keys[0],
              .pattern = std::move(pattern),
              .urlKey = keys[1],
              .url = std::move(url.value),
              .anywhere = std::move(forms->first),
              .whole = std::move(forms->second)};
}

}  // namespace

std::vector<std::string> keysOfLink(std::string_view name) {
  const std::string prefix = std::string(kLinkKeyPrefix) + std::string(name);
  return {prefix + ".pattern", prefix + ".url"};
}

LinkSettings linkSettings(const PropertyLookup& lookup, const BrowserSetting& browser) {
  LinkSettings settings;
  const TemplateSetting list = sciteSetting(std::string(kSciteLinksKey), lookup);
  if (list.refersToItself) {
    settings.notes.push_back(selfReferenceLine(list));
    return settings;
  }
  for (const std::string& name : distinctWords(list.value)) {
    if (!isEngineName(name)) {
      settings.notes.push_back(badLinkNameLine(name));
    } else if (auto link = usableLink(name, lookup, browser, settings.notes)) {
      settings.links.push_back(std::move(*link));
    }
  }
  return settings;
}

}  // namespace companion
