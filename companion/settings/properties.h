// The search engine as SciTE's own properties set it: the keys asked, in order, and the
// expansion of $(name) references in the value chosen, with SciTE answered through a callback.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "companion/settings/setting_types.h"

namespace companion {

inline constexpr std::string_view kSciteUrlKey = "websearch.url";
// A chain of references in SciTE's properties deeper than this is refused rather than expanded.
inline constexpr std::size_t kMaxReferenceNesting = 10;
// At most this many references are expanded in all, SciTE's own cap; the rest stay as text.
inline constexpr int kMaxExpansions = 200;
// An expansion grows no further than this: far beyond any address, so the verdict stays.
inline constexpr std::size_t kMaxExpandedBytes = std::size_t{64} * 1024;

inline constexpr std::string_view kSciteEnginesKey = "websearch.engines";
inline constexpr std::string_view kSciteEngineKeyPrefix = "websearch.engine.";
inline constexpr std::string_view kSciteBrowserKey = "websearch.browser";
inline constexpr std::string_view kSciteGroupKeyPrefix = "websearch.group.";
// A group opens at most this many engines: a slip in its value cannot open a hundred tabs.
inline constexpr std::size_t kMaxGroupMembers = 8;

// `key` for files of extension `fileExt`: "<key>.<ext>", the extension in lower-case ASCII.
[[nodiscard]] std::string keyForExtension(std::string_view key, std::string_view fileExt);

// `key` for files of `fileExt` (none without an extension), then `key` itself: the order a
// setting that an extension may override is read in.
[[nodiscard]] std::vector<std::string> keysForExtension(std::string_view key,
                                                        std::string_view fileExt);

// The keys asked, most specific first: websearch.engines.<ext>, websearch.url.<ext> (the
// extension in lower-case ASCII; no such keys without an extension), websearch.engines,
// websearch.url.
[[nodiscard]] std::vector<std::string> sciteKeys(std::string_view fileExt);

// True for websearch.engines and websearch.engines.<ext>: a list of engine names.
[[nodiscard]] bool isEngineListKey(std::string_view key);

// Raw values already answered, by name.
using KnownProperties = std::map<std::string, std::string, std::less<>>;

// `lookup` asking SciTE at most once per name, and never for a name in `known`; the copies share
// what was answered.
[[nodiscard]] PropertyLookup askingOnce(PropertyLookup lookup, KnownProperties known = {});

// The property `key` with each $(name) in its raw value replaced by that property's own expanded
// value, the innermost reference first, as SciTE expands its properties; an undefined name and
// SciTE's expression forms ($(= ...), $(star ...), ...) give nothing, a "$(" without ")" stays as
// text. Unlike SciTE, a reference back to a name on its own chain (the key included) or a chain
// deeper than kMaxReferenceNesting marks the setting refersToItself instead of expanding to
// blanks: the user must see a broken setting.
[[nodiscard]] TemplateSetting sciteSetting(const std::string& key, const PropertyLookup& lookup);

// `text`, a part of the value of `key`, expanded as sciteSetting expands a whole value; nothing
// for a reference that runs in a circle or nests too deep.
[[nodiscard]] std::optional<std::string> expandReferences(const std::string& key, std::string text,
                                                          const PropertyLookup& lookup);

// Where the addresses of engine `engine` open: websearch.browser.<engine> when it is set,
// else websearch.browser, set or not (an empty `engine` asks for websearch.browser only).
[[nodiscard]] BrowserSetting browserSetting(std::string_view engine, const PropertyLookup& lookup);

// The first of sciteKeys whose raw value is not empty, expanded; nothing when none is set. Asks
// `lookup` at most once per name.
[[nodiscard]] std::optional<TemplateSetting> templateFromScite(std::string_view fileExt,
                                                               const PropertyLookup& lookup);

}  // namespace companion
