// Recent searches: newest first, no repeats, bounded; kept in a SciTE property while SciTE runs,
// and in a file of one search a line where the user keeps SciTE's find strings across sessions.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "companion/query/encoding.h"

namespace companion {

inline constexpr std::string_view kHistorySizeKey = "websearch.history.size";
// Where SciTE holds the list while it runs: a property survives SciTE's re-reading of its files.
inline constexpr std::string_view kHistoryKey = "websearch.history.searches";
inline constexpr std::size_t kDefaultHistorySize = 20;
// A search longer than this is not remembered, and the strip's field holds no more: the strip's
// Lua takes up to five bytes a byte, and the GTK SciTE's request pipe 64 KiB at most.
inline constexpr std::size_t kMaxSearchBytes = 1024;
// All the searches remembered take no more than this: the property, the file and the strip's list.
inline constexpr std::size_t kMaxHistoryBytes = 8192;

// The most of the history file read: the searches it may hold with room for damaged lines.
inline constexpr std::size_t kMaxHistoryFileBytes = std::size_t{64} * 1024;

// The keys a run asks to find the history and whether SciTE keeps find strings on disk.
inline constexpr std::string_view kSaveFindKey = "save.find";
inline constexpr std::string_view kSaveSessionKeys[] = {"save.session", "save.recent",
                                                        "save.position"};
inline constexpr std::string_view kUserHomeKey = "SciteUserHome";

// A search that can be remembered: not empty, UTF-8, no control bytes (the property, the file
// and the strip's list separate searches with them), at most kMaxSearchBytes.
[[nodiscard]] bool isRememberable(std::string_view search);

// The longest start of UTF-8 `text` within kMaxSearchBytes that ends between characters.
[[nodiscard]] std::string_view withinSearchBytes(std::string_view text) noexcept;

// websearch.history.size's raw value: a count of searches; the default when unset or not a
// count. 0 remembers nothing.
[[nodiscard]] std::size_t historySize(std::string_view value);

// `searches` with `search` put first, an earlier copy of it dropped, and the oldest dropped
// beyond `size` searches or kMaxHistoryBytes. A search that is not rememberable changes nothing.
[[nodiscard]] std::vector<std::string> remembered(std::vector<std::string> searches,
                                                  const std::string& search, std::size_t size);

// The property's value for `searches`, which never holds a line break (property: stops at the
// first). Even an empty list gives a value, so that SciTE's empty answer means "never set".
[[nodiscard]] std::string historyPropertyValue(const std::vector<std::string>& searches);
// The list in the property's value; nothing when it was never set in this SciTE. Read as
// tolerantly as the file.
[[nodiscard]] std::optional<std::vector<std::string>> historyFromProperty(std::string_view value,
                                                                          std::size_t size);

// The file's text: one search a line, UTF-8, each line ended by a line feed.
[[nodiscard]] std::string historyFileText(const std::vector<std::string>& searches);
// The searches in a file's text, in order, with what `remembered` would keep: a line that is not
// a rememberable search (not UTF-8, too long) is dropped, as is a repeat; CR LF ends a line too.
[[nodiscard]] std::vector<std::string> historyFromFile(std::string_view text, std::size_t size);

// Whether SciTE keeps its find strings across sessions, from the raw values of save.find and of
// kSaveSessionKeys in order: save.find on, and one of the others, without which SciTE writes no
// session file at all.
[[nodiscard]] bool keepsFindStrings(std::string_view saveFind,
                                    const std::vector<std::string>& sessionValues);

// The history file in SciTE's user folder, named as that SciTE names its own files there.
[[nodiscard]] std::string historyFilePath(std::string_view userHome, EditorKind editor);

}  // namespace companion
