// The Lua that gathers the document's fields into extender.result, and the reply read back into
// one Document.
#include "companion/scite/document.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>
#include <vector>

#include "companion/query/caret.h"
#include "companion/recent/recent.h"
#include "companion/scite/settings_batch.h"
#include "director/operations.h"

namespace companion {

namespace {

// The Lua expressions of the reply's fields, in the order Document holds them: the code pages,
// the extension, the caret's places, whether a command set one-shot values and their engine, the
// text. Behind the result separator each, so that a stale
// or foreign result is not taken for them; the text comes last, as it may hold anything.
constexpr auto kFields = std::to_array<std::string_view>(
    {"cp", "e.StyleCharacterSet[32]", "output.CodePage", "props['FileExt']", "k", "ws", "we", "pre",
     "post", "nx", "ne", "t"});

// The Lua code that sets every field of `text` it fetches; the others stay 0 or ''.
[[nodiscard]] std::string fetchLua(DocumentText text) {
  switch (text) {
    case DocumentText::caretLine: {
      const std::string around = std::to_string(kCaretLineReach);
      return "local p = e.CurrentPos local l, c = e:GetCurLine() local ls = p - c "
             "local a = math.max(c - " +
             around + ", 0) local b = math.min(c + " + around +
             ", #l) t = l:sub(a + 1, b) k, pre, post = c - a, a, #l - b "
             "ws = e:WordStartPosition(p, true) - ls - a we = e:WordEndPosition(p, true) - ls - a ";
    }
    case DocumentText::selectionUnlessUtf8:
      return "if cp ~= " + std::to_string(kUtf8CodePage) + " then t = e:GetSelText() end ";
    case DocumentText::none:
      break;
  }
  return {};
}

[[nodiscard]] std::string documentLua(DocumentText text) {
  const std::string separator = "..'" + std::string(director::kResultSeparator) + "'..";
  std::string fields = "''";
  for (const std::string_view field : kFields) {
    fields += separator + std::string(field);
  }
  // Whether a command set any one-shot value: only then are they asked. Lua sees values expanded,
  // so they are asked raw afterwards.
  std::string anyNext = "local nx = 0 ";
  for (const std::string_view key : kNextKeys) {
    anyNext += "if props['" + std::string(key) + "'] ~= '' then nx = 1 end ";
  }
  // The engine's name too, when it is one by isEngineName's rule (and so the same expanded): its
  // keys go in the next batch with the others.
  anyNext += "local ne = props['" + std::string(kNextEngineKey) +
             "'] if not ne:match('^[A-Za-z0-9._+-]+$') then ne = '' end ";
  return "local e = editor local cp = e.CodePage local t = '' "
         "local k, ws, we, pre, post = 0, 0, 0, 0, 0 " +
         fetchLua(text) + anyNext + "props['" + std::string(director::kResultProperty) +
         "'] = " + fields;
}

// The reply's fields read in their order, each behind the result separator; the last takes the
// rest of the reply. One field missing or not a number spoils the whole.
class ReplyFields {
public:
  explicit ReplyFields(std::string_view reply) : rest_(reply) {}

  [[nodiscard]] std::string_view text() {
    ++read_;
    const std::string_view separator = director::kResultSeparator;
    if (!rest_.starts_with(separator)) {
      whole_ = false;
      return {};
    }
    rest_.remove_prefix(separator.size());
    const bool last = read_ == kFields.size();
    const std::string_view field = rest_.substr(0, last ? rest_.size() : rest_.find(separator));
    rest_.remove_prefix(field.size());
    return field;
  }

  [[nodiscard]] int number() {
    const std::string_view field = text();
    int value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    whole_ = whole_ && error == std::errc() && end == field.data() + field.size();
    return value;
  }

  // Every field was there, and each number one.
  [[nodiscard]] bool whole() const { return whole_ && read_ == kFields.size(); }

private:
  std::string_view rest_;
  std::size_t read_ = 0;
  bool whole_ = true;
};

[[nodiscard]] std::optional<Document> parseDocument(std::string_view reply) {
  ReplyFields fields(reply);
  // A braced list is read left to right: the fields in kFields' order.
  Document document{.pages = {.document = fields.number(),
                              .characterSet = fields.number(),
                              .output = fields.number()},
                    .extension = std::string(fields.text()),
                    .caret = {.caret = fields.number(),
                              .wordStart = fields.number(),
                              .wordEnd = fields.number(),
                              .cutBefore = fields.number() > 0,
                              .cutAfter = fields.number() > 0},
                    .nextSet = fields.number() > 0,
                    .nextEngine = std::string(fields.text()),
                    .text = std::string(fields.text())};
  if (!fields.whole()) {
    return std::nullopt;
  }
  return document;
}

}  // namespace

std::optional<Document> askDocument(const Scite& scite, DocumentText text) {
  const auto answers = scite.sendAll(
      {{.text = director::doStringCommand(documentLua(text))},
       {.text = director::askPropertyCommand(director::kResultProperty), .expectReply = true}});
  if (answers.empty()) {
    return std::nullopt;
  }
  auto document = parseDocument(answers.front().text);
  if (document) {
    document->cut = answers.front().cut;
  }
  return document;
}

SettingsAsked emptyResultAndAskSettings(const Scite& scite, const Document& document) {
  const bool nextSet = document.nextSet;
  std::vector<std::string> keys = sciteKeys(document.extension);
  keys.emplace_back(kSciteBrowserKey);
  const std::vector<std::string> strip = stripKeys(document.extension);
  keys.insert(keys.end(), strip.begin(), strip.end());
  if (!document.nextEngine.empty()) {
    const std::vector<std::string> engine = keysOfEngine(document.nextEngine);
    keys.insert(keys.end(), engine.begin(), engine.end());
  }
  const std::size_t settingKeys = keys.size();
  if (nextSet) {
    keys.insert(keys.end(), kNextKeys.begin(), kNextKeys.end());
  }
  std::vector<Command> commands{{.text = director::propertyCommand(director::kResultProperty, "")}};
  for (const std::string& key : keys) {
    commands.push_back({.text = director::askPropertyCommand(key), .expectReply = true});
  }
  if (nextSet) {  // read once: emptied right after they are asked
    for (const std::string_view key : kNextKeys) {
      commands.push_back({.text = director::propertyCommand(key, "")});
    }
  }
  auto answers = scite.sendAll(commands);
  SettingsAsked asked;
  for (std::size_t at = 0; at < std::min(answers.size(), settingKeys); ++at) {
    asked.known.emplace(keys[at], std::move(answers[at].text));
  }
  if (nextSet && answers.size() == keys.size()) {
    const auto next = answers.begin() + static_cast<std::ptrdiff_t>(settingKeys);
    asked.next = {.engine = std::move(next[0].text),
                  .text = std::move(next[1].text),
                  .pane = std::move(next[2].text),
                  .at = std::move(next[3].text),
                  .textCut = next[1].cut};
  }
  return asked;
}

}  // namespace companion
