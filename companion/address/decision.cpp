// Text and template to address: a web address opened as it is, else a search cut so that the
// address stays within the shell's limit.
#include "companion/address/decision.h"

#include <algorithm>
#include <utility>

#include "companion/query/uri.h"
#include "companion/settings/texts.h"

namespace companion {

namespace {

[[nodiscard]] std::string fillTemplate(std::string_view urlTemplate, std::string_view query) {
  std::string out;
  std::size_t from = 0;
  for (auto at = urlTemplate.find(kQueryPlaceholder); at != std::string_view::npos;
       at = urlTemplate.find(kQueryPlaceholder, from)) {
    out.append(urlTemplate.substr(from, at - from));
    out.append(query);
    from = at + kQueryPlaceholder.size();
  }
  out.append(urlTemplate.substr(from));
  return out;
}

[[nodiscard]] constexpr bool isContinuationByte(char c) noexcept {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

[[nodiscard]] std::size_t characterCount(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return !isContinuationByte(c); }));
}

[[nodiscard]] std::size_t placeholderCount(std::string_view urlTemplate) {
  std::size_t count = 0;
  for (auto at = urlTemplate.find(kQueryPlaceholder); at != std::string_view::npos;
       at = urlTemplate.find(kQueryPlaceholder, at + kQueryPlaceholder.size())) {
    ++count;
  }
  return count;
}

// How many bytes of `text` to search for when its encoding may take `budget` characters: all of
// it if it fits, else up to the last blank that fits, else up to the last whole character that
// fits. Cutting the raw text keeps every percent escape whole. One pass: the encoded size of
// each prefix grows by a byte's own share.
[[nodiscard]] std::size_t fittingLength(std::string_view text, std::size_t budget) {
  std::size_t used = 0;
  std::size_t lastBlank = 0;
  std::size_t lastCharacterEnd = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!isContinuationByte(text[i])) {
      lastCharacterEnd = i;
      if (text[i] == ' ') {
        lastBlank = i;
      }
    }
    used += percentEncodedSize(text[i]);
    if (used > budget) {
      return lastBlank > 0 ? lastBlank : lastCharacterEnd;
    }
  }
  return text.size();
}

[[nodiscard]] Outcome refused(Outcome outcome, ExitCode code, std::string line) {
  outcome.code = code;
  outcome.lines.push_back(std::move(line));
  return outcome;
}

[[nodiscard]] Outcome opened(Outcome outcome, std::string_view label, std::string url,
                             BrowserSetting browser) {
  outcome.code = ExitCode::Opened;
  outcome.lines.push_back(std::string(label) + url);
  outcome.openings.push_back(
      {.url = std::move(url), .browser = std::move(browser), .line = outcome.lines.size() - 1});
  return outcome;
}

// The search address for `text`, the words cut so that it stays within the request's limit.
[[nodiscard]] Outcome search(Outcome outcome, const SearchRequest& request) {
  const TemplateSetting& setting = request.setting;
  const std::size_t limit = request.maxUrlLength;
  // The template's own characters are fixed; every placeholder takes the same encoded words.
  const std::size_t fixedSize = toUriCharacters(fillTemplate(setting.value, "")).size();
  const std::size_t budget =
      fixedSize < limit ? (limit - fixedSize) / placeholderCount(setting.value) : 0;
  const std::string_view text = request.text;
  const std::size_t kept = fittingLength(text, budget);
  if (kept == 0) {
    return refused(std::move(outcome), ExitCode::BadTemplate, noRoomForWordsLine(setting, limit));
  }
  const std::string_view words = text.substr(0, kept);
  if (kept < text.size()) {
    outcome.lines.push_back(cutLine(characterCount(words)));
  }
  return opened(std::move(outcome), kSearchLabel,
                toUriCharacters(fillTemplate(setting.value, percentEncode(words))),
                request.searchBrowser);
}

}  // namespace

bool opensAsIs(std::string_view text, std::size_t maxUrlLength) {
  return isWebUrl(text) && toUriCharacters(text).size() <= maxUrlLength;
}

std::optional<std::string> textLine(const SearchRequest& request) {
  const std::string_view caretText = request.paneWord.empty() ? request.text : request.paneWord;
  switch (request.fromCaret) {
    case CaretText::word:
      return wordAtCaretLine(caretText);
    case CaretText::address:
      return addressAtCaretLine(caretText);
    case CaretText::outputPane:
      return outputPaneLine(caretText);
    case CaretText::commandText:
      return commandTextLine(caretText);
    case CaretText::none:
    case CaretText::link:
      break;
  }
  return std::nullopt;
}

Outcome decide(const SearchRequest& request) {
  Outcome outcome;
  if (request.text.empty()) {
    return refused(std::move(outcome), ExitCode::NothingToSearch,
                   request.fromCaret == CaretText::outputPane ? nothingInOutputPaneLine()
                                                              : nothingToSearchLine());
  }
  if (auto line = textLine(request)) {
    outcome.lines.push_back(std::move(*line));
  }
  const TemplateSetting& setting = request.setting;
  // Checked before a URL selection too, so that a broken setting shows on every run.
  if (setting.refersToItself) {
    return refused(std::move(outcome), ExitCode::BadTemplate, selfReferenceLine(setting));
  }
  if (!isValidTemplate(setting.value, request.searchBrowser)) {
    return refused(std::move(outcome), ExitCode::BadTemplate,
                   badTemplateLine(setting, request.searchBrowser));
  }
  if (opensAsIs(request.text, request.maxUrlLength)) {
    return opened(std::move(outcome), kOpenLabel, toUriCharacters(request.text),
                  request.addressBrowser);
  }
  return search(std::move(outcome), request);
}

}  // namespace companion
