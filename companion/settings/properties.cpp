// SciTE's properties as the source of the template: which key, and $(name) expansion.
#include "companion/settings/properties.h"

#include <algorithm>
#include <map>
#include <memory>
#include <utility>

#include "platform/ascii.h"

namespace companion {

namespace {

constexpr std::string_view kReferenceStart = "$(";

// SciTE evaluates these forms itself ("$(= 1+2)", "$(star x)", "$(escape x)", "$(scale 9)");
// no property has such a name, so asking for one would only cost a round trip.
[[nodiscard]] bool isExpression(std::string_view name) {
  return name.starts_with('=') || name.find(' ') != std::string_view::npos;
}

class Expander {
public:
  explicit Expander(const PropertyLookup& lookup) : lookup_(lookup) {}

  // Expands `text` in place, SciTE's way; false for a cycle or a chain too deep.
  [[nodiscard]] bool expand(std::string& text, std::vector<std::string>& chain) {
    auto start = text.find(kReferenceStart);
    while (start != std::string::npos && expansionsLeft_ > 0 && text.size() <= kMaxExpandedBytes) {
      const auto end = text.find(')', start + kReferenceStart.size());
      if (end == std::string::npos) {
        break;
      }
      // In "$(a$(b))" the inner reference comes first, so that "a" joins with b's value.
      for (auto inner = text.find(kReferenceStart, start + kReferenceStart.size());
           inner != std::string::npos && inner < end;
           inner = text.find(kReferenceStart, start + kReferenceStart.size())) {
        start = inner;
      }
      const auto nameStart = start + kReferenceStart.size();
      const std::string name = text.substr(nameStart, end - nameStart);
      --expansionsLeft_;
      std::string value;
      if (!isExpression(name)) {
        if (std::find(chain.begin(), chain.end(), name) != chain.end() ||
            chain.size() > kMaxReferenceNesting) {
          return false;
        }
        value = lookup_(name);
        chain.push_back(name);
        const bool expanded = expand(value, chain);
        chain.pop_back();
        if (!expanded) {
          return false;
        }
      }
      text.replace(start, end + 1 - start, value);
      start = text.find(kReferenceStart);
    }
    return true;
  }

private:
  const PropertyLookup& lookup_;
  int expansionsLeft_ = kMaxExpansions;
};

}  // namespace

std::string keyForExtension(std::string_view key, std::string_view fileExt) {
  std::string forExtension(key);
  forExtension += '.';
  std::transform(fileExt.begin(), fileExt.end(), std::back_inserter(forExtension),
                 platform::lowerAscii);
  return forExtension;
}

std::vector<std::string> keysForExtension(std::string_view key, std::string_view fileExt) {
  std::vector<std::string> keys;
  if (!fileExt.empty()) {
    keys.push_back(keyForExtension(key, fileExt));
  }
  keys.emplace_back(key);
  return keys;
}

std::vector<std::string> sciteKeys(std::string_view fileExt) {
  std::vector<std::string> keys;
  if (!fileExt.empty()) {
    keys.push_back(keyForExtension(kSciteEnginesKey, fileExt));
    keys.push_back(keyForExtension(kSciteUrlKey, fileExt));
  }
  keys.emplace_back(kSciteEnginesKey);
  keys.emplace_back(kSciteUrlKey);
  return keys;
}

bool isEngineListKey(std::string_view key) {
  return key == kSciteEnginesKey ||
         (key.starts_with(kSciteEnginesKey) && key[kSciteEnginesKey.size()] == '.');
}

PropertyLookup askingOnce(PropertyLookup lookup, KnownProperties known) {
  auto answered = std::make_shared<KnownProperties>(std::move(known));
  return [answered, lookup = std::move(lookup)](const std::string& name) -> std::string {
    auto found = answered->find(name);
    if (found == answered->end()) {
      found = answered->emplace(name, lookup(name)).first;
    }
    return found->second;
  };
}

std::optional<std::string> expandReferences(const std::string& key, std::string text,
                                            const PropertyLookup& lookup) {
  std::vector<std::string> chain{key};
  if (!Expander(lookup).expand(text, chain)) {
    return std::nullopt;
  }
  return text;
}

BrowserSetting browserSetting(std::string_view engine, const PropertyLookup& lookup) {
  if (!engine.empty()) {
    BrowserSetting own{.key = std::string(kSciteBrowserKey) + '.' + std::string(engine)};
    own.value = lookup(own.key);
    if (own.namesProgram()) {
      return own;
    }
  }
  const std::string key(kSciteBrowserKey);
  return {.key = key, .value = lookup(key)};
}

TemplateSetting sciteSetting(const std::string& key, const PropertyLookup& lookup) {
  auto expanded = expandReferences(key, lookup(key), lookup);
  return {.key = key,
          .value = expanded.value_or(std::string()),
          .source = SettingSource::Scite,
          .refersToItself = !expanded.has_value()};
}

std::optional<TemplateSetting> templateFromScite(std::string_view fileExt,
                                                 const PropertyLookup& lookup) {
  const PropertyLookup once = askingOnce(lookup);
  for (const std::string& key : sciteKeys(fileExt)) {
    if (!once(key).empty()) {
      return sciteSetting(key, once);
    }
  }
  return std::nullopt;
}

}  // namespace companion
