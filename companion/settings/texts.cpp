// The user's lines, and the place of a setting that every message about one starts with.
#include "companion/settings/texts.h"

#include "companion/settings/next_search.h"
#include "companion/settings/properties.h"

namespace companion {

namespace {

// "!> <ini path>, line <N>: <key>=" or "!> SciTE property <key>", the start of every message
// about a setting.
[[nodiscard]] std::string settingPlace(const TemplateSetting& setting) {
  switch (setting.source) {
    case SettingSource::Scite:
      return "!> SciTE property " + setting.key;
    case SettingSource::Ini:
      return "!> " + setting.iniPath + ", line " + std::to_string(setting.line) + ": " +
             setting.key + "=";
    case SettingSource::BuiltIn:
      break;
  }
  return "!> The built-in " + setting.key + "=";
}

// 2048 as "2,048", the way the user's lines write numbers.
[[nodiscard]] std::string withThousandsSeparators(std::size_t number) {
  std::string digits = std::to_string(number);
  for (auto at = digits.size(); at > 3; at -= 3) {
    digits.insert(at - 3, 1, ',');
  }
  return digits;
}

// The system's text without the line break and full stop it may end with.
[[nodiscard]] std::string_view withoutEnd(std::string_view systemMessage) {
  const auto end = systemMessage.find_last_not_of(" \r\n.");
  return end == std::string_view::npos ? std::string_view() : systemMessage.substr(0, end + 1);
}

}  // namespace

std::string nothingToSearchLine() {
  return "!> Nothing to search: select some text, or put the caret in a word.";
}

std::string wordAtCaretLine(std::string_view word) {
  return "+> Word at caret: " + std::string(word);
}

std::string addressAtCaretLine(std::string_view address) {
  return "+> Address at caret: " + std::string(address);
}

std::string outputPaneLine(std::string_view message) {
  return "+> Output pane: " + std::string(message);
}

std::string commandTextLine(std::string_view text) {
  return "+> Text from " + std::string(kNextTextKey) + ": " + std::string(text);
}

std::string linkLine(std::string_view name, std::string_view match) {
  return "+> Link " + std::string(name) + ": " + std::string(match);
}

std::string badLinkNameLine(std::string_view listKey, std::string_view name) {
  return "!> SciTE property " + std::string(listKey) + " names \"" + std::string(name) +
         "\": a link name is letters, digits and . _ + - only.";
}

std::string linkKeyUnsetLine(std::string_view key) {
  return "!> SciTE property " + std::string(key) + " is not set: the link is left out.";
}

std::string badLinkPatternLine(std::string_view key, std::string_view why) {
  return "!> SciTE property " + std::string(key) + " is no pattern: " + std::string(why) +
         ". The link is left out.";
}

std::string badLinkAddressLine(std::string_view key, const BrowserSetting& browser) {
  const std::string_view scheme =
      browser.namesProgram() ? "a scheme (such as https:)" : "http:// or https://";
  return "!> SciTE property " + std::string(key) + " must begin with " + std::string(scheme) +
         ". The link is left out.";
}

std::string linkGaveUpLine(std::string_view key) {
  return "!> SciTE property " + std::string(key) +
         " takes too long on this text: the link is passed over.";
}

std::string cutLine(std::size_t characters) {
  return "+> Cut to " + std::to_string(characters) +
         " characters: the selection is too long for a search address.";
}

std::string invalidTextLine(std::string_view encodingName) {
  return "!> The selection is not valid " + std::string(encodingName) + " text: nothing opened.";
}

std::string nothingInOutputPaneLine() {
  return "!> Nothing to search in the output pane: select some text there, or put its caret on a "
         "line.";
}

std::string nextUntimedLine(std::string_view at) {
  const std::string why = at.empty()
                              ? std::string(" is not set")
                              : " is \"" + std::string(at) + "\", no os.time() of this search";
  return "!> SciTE property " + std::string(kNextAtKey) + why +
         ": the websearch.next.* values steer nothing. Set it to os.time() with them.";
}

std::string nextTooOldLine(std::int64_t seconds) {
  return "!> SciTE property " + std::string(kNextAtKey) + " is " + std::to_string(seconds) +
         " seconds old, more than " + std::to_string(kNextMaxAgeSeconds) +
         ": the websearch.next.* values left behind steer nothing.";
}

std::string unknownNextEngineLine(std::string_view name) {
  return "!> SciTE property " + std::string(kNextEngineKey) + " names \"" + std::string(name) +
         "\", which is no engine or group: nothing opened.";
}

std::string badTemplateLine(const TemplateSetting& setting, const BrowserSetting& browser) {
  if (browser.namesProgram()) {
    return settingPlace(setting) + " must begin with a scheme (such as https:) and contain " +
           "{query}.";
  }
  return settingPlace(setting) + " must begin with http:// or https:// and contain {query}.";
}

std::string selfReferenceLine(const TemplateSetting& setting) {
  return settingPlace(setting) + " refers to itself or nests more than " +
         std::to_string(kMaxReferenceNesting) + " levels.";
}

std::string noRoomForWordsLine(const TemplateSetting& setting, std::size_t maxUrlLength) {
  return settingPlace(setting) + " leaves no room for the search words within " +
         withThousandsSeparators(maxUrlLength) + " characters.";
}

std::string badEngineNameLine(std::string_view listKey, std::string_view name) {
  return "!> SciTE property " + std::string(listKey) + " names \"" + std::string(name) +
         "\": an engine name is letters, digits and . _ + - only.";
}

std::string namesNoEngineLine(std::string_view listKey) {
  return "!> SciTE property " + std::string(listKey) + " names no engine.";
}

std::string noEngineChosenLine() {
  return "+> No engine chosen: nothing opened.";
}

std::string engineNotOfferedLine(std::string_view typed) {
  return "!> No engine \"" + std::string(typed) + "\" is offered: nothing opened.";
}

std::string searchCancelledLine() {
  return "+> Search cancelled: nothing opened.";
}

std::string copiedLine(std::string_view url) {
  return "+> Copied: " + std::string(url);
}

std::string historyNotKeptLine(std::string_view path, std::string_view systemMessage) {
  return "!> The recent searches could not be kept in " + std::string(path) + ": " +
         std::string(withoutEnd(systemMessage)) + ".";
}

std::string alsoAnEngineLine(std::string_view groupKey, std::string_view name) {
  return "!> SciTE property " + std::string(groupKey) + ": \"" + std::string(name) +
         "\" is an engine too; the group counts.";
}

std::string noSuchEngineLine(std::string_view groupKey, std::string_view name) {
  return "!> SciTE property " + std::string(groupKey) + " names \"" + std::string(name) +
         "\", which is no engine: left out.";
}

std::string groupInGroupLine(std::string_view groupKey, std::string_view name) {
  return "!> SciTE property " + std::string(groupKey) + " names the group \"" + std::string(name) +
         "\": a group holds engines only. Nothing of it opens.";
}

std::string tooManyMembersLine(std::string_view groupKey, std::size_t members) {
  return "!> SciTE property " + std::string(groupKey) + " names " + std::to_string(members) +
         " engines, more than " + std::to_string(kMaxGroupMembers) + ". Nothing of it opens.";
}

std::string browserFailedLine(std::string_view systemMessage, std::int64_t code,
                              std::string_view url) {
  const std::string forUrl = url.empty() ? "" : " for " + std::string(url);
  return "!> The browser could not be started" + forUrl + ": " +
         std::string(withoutEnd(systemMessage)) + " (" + std::to_string(code) + ").";
}

std::string openedWithLine(std::string_view program) {
  return "+> Opened with: " + std::string(program);
}

std::string couldNotStartLine(std::string_view program, std::string_view key,
                              std::string_view systemMessage, std::string_view url) {
  const std::string start = "!> Could not start " + std::string(program) + " (" + std::string(key) +
                            ")" + (url.empty() ? "" : " for " + std::string(url));
  return start + ": " + std::string(withoutEnd(systemMessage)) +
         (url.empty() ? ". Nothing opened." : ".");
}

std::string notACommandLineLine(std::string_view key, std::string_view why) {
  return "!> SciTE property " + std::string(key) +
         " is not a command line we can run: " + std::string(why) + ".";
}

std::string unexpectedErrorLine(std::string_view message, std::string_view kind) {
  return "!> Unexpected error: " + std::string(message) + " [" + std::string(kind) + "]";
}

}  // namespace companion
