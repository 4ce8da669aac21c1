// The lines the user reads in SciTE's output pane (or on standard error), unescaped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "companion/settings/setting_types.h"

namespace companion {

inline constexpr std::string_view kOpenLabel = "+> Open: ";
inline constexpr std::string_view kSearchLabel = "+> Search: ";

[[nodiscard]] std::string nothingToSearchLine();
[[nodiscard]] std::string wordAtCaretLine(std::string_view word);
[[nodiscard]] std::string addressAtCaretLine(std::string_view address);
// What a run searches instead of the selection the launcher echoed.
[[nodiscard]] std::string outputPaneLine(std::string_view message);
[[nodiscard]] std::string commandTextLine(std::string_view text);
// The text a link's pattern matched, said before the address it opens.
[[nodiscard]] std::string linkLine(std::string_view name, std::string_view match);
[[nodiscard]] std::string badLinkNameLine(std::string_view listKey, std::string_view name);
[[nodiscard]] std::string linkKeyUnsetLine(std::string_view key);
[[nodiscard]] std::string badLinkPatternLine(std::string_view key, std::string_view why);
// `browser` is where a link's addresses open: any scheme will do for a program.
[[nodiscard]] std::string badLinkAddressLine(std::string_view key, const BrowserSetting& browser);
[[nodiscard]] std::string linkGaveUpLine(std::string_view key);
[[nodiscard]] std::string cutLine(std::size_t characters);
[[nodiscard]] std::string invalidTextLine(std::string_view encodingName);
[[nodiscard]] std::string nothingInOutputPaneLine();
// websearch.next.at, `at` its raw value: not set, or no time of this press.
[[nodiscard]] std::string nextUntimedLine(std::string_view at);
[[nodiscard]] std::string nextTooOldLine(std::int64_t seconds);
[[nodiscard]] std::string unknownNextEngineLine(std::string_view name);
// `browser` is where the template's searches open: any scheme will do for a program.
[[nodiscard]] std::string badTemplateLine(const TemplateSetting& setting,
                                          const BrowserSetting& browser);
[[nodiscard]] std::string selfReferenceLine(const TemplateSetting& setting);
[[nodiscard]] std::string noRoomForWordsLine(const TemplateSetting& setting,
                                             std::size_t maxUrlLength);
[[nodiscard]] std::string badEngineNameLine(std::string_view listKey, std::string_view name);
[[nodiscard]] std::string namesNoEngineLine(std::string_view listKey);
[[nodiscard]] std::string noEngineChosenLine();
[[nodiscard]] std::string engineNotOfferedLine(std::string_view typed);
[[nodiscard]] std::string searchCancelledLine();
[[nodiscard]] std::string copiedLine(std::string_view url);
[[nodiscard]] std::string historyNotKeptLine(std::string_view path, std::string_view systemMessage);
[[nodiscard]] std::string alsoAnEngineLine(std::string_view groupKey, std::string_view name);
[[nodiscard]] std::string noSuchEngineLine(std::string_view groupKey, std::string_view name);
[[nodiscard]] std::string groupInGroupLine(std::string_view groupKey, std::string_view name);
[[nodiscard]] std::string tooManyMembersLine(std::string_view groupKey, std::size_t members);
// `url` names the address that did not open when the run opens several; empty when it opens one.
[[nodiscard]] std::string browserFailedLine(std::string_view systemMessage, std::int64_t code,
                                            std::string_view url = {});
[[nodiscard]] std::string openedWithLine(std::string_view program);
[[nodiscard]] std::string couldNotStartLine(std::string_view program, std::string_view key,
                                            std::string_view systemMessage,
                                            std::string_view url = {});
[[nodiscard]] std::string notACommandLineLine(std::string_view key, std::string_view why);
// Anything the run did not anticipate: what was said about it and what kind of failure it was.
[[nodiscard]] std::string unexpectedErrorLine(std::string_view message, std::string_view kind);

}  // namespace companion
