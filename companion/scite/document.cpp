// The Lua that gathers the document's fields into extender.result, and the reply read back into
// one Document.
#include "companion/scite/document.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>
#include <vector>

#include "companion/query/caret.h"
#include "companion/settings/ask.h"
#include "companion/settings/engines.h"
#include "companion/settings/links.h"
#include "companion/settings/properties.h"
#include "director/operations.h"

namespace companion {

namespace {

// The Lua expressions of the reply's fields, in the order Document holds them: the code pages,
// the extension, the caret's places, the document's flags (kFlag*), a command's engine and the
// link list that counts, which settings of the extension are set, the text. Behind the result
// separator each, so that a stale or foreign result is not taken for them; the text comes last, as
// it may hold anything.
constexpr auto kFields = std::to_array<std::string_view>(
    {"cp", "e.StyleCharacterSet[32]", "output.CodePage", "props['FileExt']", "k", "ws", "we", "pre",
     "post", "fl", "ne", "ln", "px", "t"});

// The bits of the flags field: a command set some one-shot value; websearch.links is set;
// websearch.links.<ext> is set.
constexpr int kFlagNextSet = 1;
constexpr int kFlagLinksSet = 2;
constexpr int kFlagExtensionLinksSet = 4;

// Every setting a run reads for files of `extension`, in the order it reads them.
[[nodiscard]] std::vector<std::string> settingKeys(std::string_view extension) {
  std::vector<std::string> keys = sciteKeys(extension);
  keys.emplace_back(kSciteBrowserKey);
  const std::vector<std::string> strip = stripKeys(extension);
  keys.insert(keys.end(), strip.begin(), strip.end());
  return keys;
}

// The settings a file's extension adds ("websearch.url.py"), by the key each stands in for
// ("websearch.url"), in the order read.
[[nodiscard]] std::vector<std::string> byExtensionBases() {
  constexpr std::string_view kAnyExtension = ".x";
  const std::vector<std::string> general = settingKeys({});
  std::vector<std::string> bases;
  for (std::string& key : settingKeys(kAnyExtension.substr(1))) {
    if (std::find(general.begin(), general.end(), key) == general.end()) {
      key.resize(key.size() - kAnyExtension.size());
      bases.push_back(std::move(key));
    }
  }
  return bases;
}

// Lua that sets px to one flag a setting of byExtensionBases: 1 where the file's extension has
// it set. Lua sees values expanded, so a value that expands to nothing counts as not set; set
// ones are asked raw afterwards. The extension in lower case as keyForExtension has it, ASCII only.
[[nodiscard]] std::string byExtensionLua() {
  std::string lua =
      "local x = props['FileExt']:gsub('[A-Z]', string.lower) local px = '' "
      "for _, k in ipairs({";
  for (const std::string& base : byExtensionBases()) {
    lua += "'" + base + "', ";
  }
  return lua + "}) do px = px .. ((x ~= '' and props[k .. '.' .. x] ~= '') and 1 or 0) end " +
         "if x ~= '' and props['" + std::string(kSciteLinksKey) + ".' .. x] ~= '' then fl = fl + " +
         std::to_string(kFlagExtensionLinksSet) + " end ";
}

// Lua that sets ln to the link list that counts as Lua sees it, the extension's before the
// general one, when it holds only names and blanks: its links' keys then go in the settings'
// batch, and a list that expands to other names than its raw value's costs a batch more.
[[nodiscard]] std::string linkNamesLua() {
  const std::string general = "props['" + std::string(kSciteLinksKey) + "']";
  const std::string own = "props['" + std::string(kSciteLinksKey) + ".' .. x]";
  return "local ln = " + general + " if x ~= '' and " + own + " ~= '' then ln = " + own +
         " end if ln:find('[^%w%s._+-]') then ln = '' end ";
}

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
  // Whether a command set any one-shot value, and whether any link is set: only then are they
  // asked. Lua sees values expanded, so they are asked raw afterwards.
  const std::string set = " ~= '' then fl = ";
  std::string anyNext = "local fl = 0 ";
  for (const std::string_view key : kNextKeys) {
    anyNext += "if props['" + std::string(key) + "']" + set + "1 end ";
  }
  anyNext += "if props['" + std::string(kSciteLinksKey) + "']" + set + "fl + " +
             std::to_string(kFlagLinksSet) + " end ";
  // The engine's name too, when it is one by isEngineName's rule (and so the same expanded): its
  // keys go in the next batch with the others.
  anyNext += "local ne = props['" + std::string(kNextEngineKey) +
             "'] if not ne:match('^[A-Za-z0-9._+-]+$') then ne = '' end ";
  return "local e = editor local cp = e.CodePage local t = '' "
         "local k, ws, we, pre, post = 0, 0, 0, 0, 0 " +
         fetchLua(text) + anyNext + byExtensionLua() + linkNamesLua() + "props['" +
         std::string(director::kResultProperty) + "'] = " + fields;
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

// The settings of `extension` that `flags` marks set, a '0' or '1' for each of
// byExtensionBases; nothing for flags of any other shape.
[[nodiscard]] std::optional<std::vector<std::string>> setByExtension(std::string_view extension,
                                                                     std::string_view flags) {
  const std::vector<std::string> bases = byExtensionBases();
  if (flags.size() != bases.size() || flags.find_first_not_of("01") != std::string_view::npos) {
    return std::nullopt;
  }
  std::vector<std::string> keys;
  for (std::size_t at = 0; at < bases.size(); ++at) {
    if (flags[at] == '1') {
      keys.push_back(keyForExtension(bases[at], extension));
    }
  }
  return keys;
}

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
                              .cutAfter = fields.number() > 0}};
  const int flags = fields.number();
  document.nextSet = (flags & kFlagNextSet) != 0;
  const std::vector<std::string> lists = linkListKeys(document.extension);
  if ((flags & kFlagExtensionLinksSet) != 0 && lists.size() > 1) {
    document.linkListsSet.push_back(lists.front());
  }
  if ((flags & kFlagLinksSet) != 0) {
    document.linkListsSet.push_back(lists.back());
  }
  document.nextEngine = std::string(fields.text());
  for (std::string& name : distinctWords(fields.text())) {
    if (isEngineName(name)) {
      document.linkNames.push_back(std::move(name));
    }
  }
  auto setKeys = setByExtension(document.extension, fields.text());
  document.text = std::string(fields.text());
  if (!fields.whole() || !setKeys) {
    return std::nullopt;
  }
  document.extensionSettings = std::move(*setKeys);
  return document;
}

}  // namespace

std::vector<std::string> extensionSettingKeys(std::string_view extension) {
  std::vector<std::string> keys;
  if (!extension.empty()) {
    for (const std::string& base : byExtensionBases()) {
      keys.push_back(keyForExtension(base, extension));
    }
  }
  return keys;
}

DocumentAsked askDocument(const Scite& scite, DocumentText text) {
  const std::vector<std::string> general = settingKeys({});
  std::vector<Command> commands{
      {.text = director::doStringCommand(documentLua(text))},
      {.text = director::askPropertyCommand(director::kResultProperty), .expectReply = true},
      {.text = director::propertyCommand(director::kResultProperty, "")}};
  for (const std::string& key : general) {
    commands.push_back({.text = director::askPropertyCommand(key), .expectReply = true});
  }
  auto answers = scite.sendAll(commands);
  DocumentAsked asked;
  if (answers.empty()) {
    return asked;
  }
  for (std::size_t at = 1; at < answers.size() && at <= general.size(); ++at) {
    asked.known.emplace(general[at - 1], std::move(answers[at].text));
  }
  asked.document = parseDocument(answers.front().text);
  if (asked.document) {
    asked.document->cut = answers.front().cut;
  }
  return asked;
}

}  // namespace companion
