// The links websearch.links names, each read and checked, and compiled once.
#include "companion/settings/links.h"

#include <algorithm>
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

// The engine's message and the offset it names: raiseInvalidRegex puts the pattern on the line
// after the message, and under it a caret at that offset.
[[nodiscard]] std::string engineMessage(std::string_view message) {
  const std::size_t end = message.find('\n');
  const std::size_t caretLine = message.find('\n', end == std::string_view::npos ? end : end + 1);
  const std::size_t caret = message.find('^', caretLine);
  std::string why(message.substr(0, end));
  if (caretLine != std::string_view::npos && caret != std::string_view::npos) {
    why += " at offset " + std::to_string(caret - caretLine - 1);
  }
  return why;
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
    why = engineMessage(error.message());
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
  std::string why;
  auto forms = compiled(pattern, why);
  if (!forms) {
    notes.push_back(badLinkPatternLine(keys[0], why));
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
  const std::string pattern = std::string(kLinkKeyPrefix) + std::string(name);
  return {pattern, pattern + ".url"};
}

std::vector<std::string> linkListKeys(std::string_view fileExt) {
  return keysForExtension(kSciteLinksKey, fileExt);
}

LinkSettings linkSettings(std::string_view fileExt, const PropertyLookup& lookup,
                          const BrowserSetting& browser) {
  LinkSettings settings;
  std::vector<std::string> keys = linkListKeys(fileExt);
  const auto set = std::find_if(keys.begin(), keys.end(),
                                [&lookup](const std::string& key) { return !lookup(key).empty(); });
  if (set == keys.end()) {
    return settings;
  }
  const TemplateSetting list = sciteSetting(*set, lookup);
  if (list.refersToItself) {
    settings.notes.push_back(selfReferenceLine(list));
    return settings;
  }
  for (const std::string& name : distinctWords(list.value)) {
    if (!isEngineName(name)) {
      settings.notes.push_back(badLinkNameLine(list.key, name));
    } else if (auto link = usableLink(name, lookup, browser, settings.notes)) {
      settings.links.push_back(std::move(*link));
    }
  }
  return settings;
}

}  // namespace companion
