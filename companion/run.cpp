// The companion's run over a Scite and a RunSystem.
#include "companion/run.h"

#include <algorithm>
#include <charconv>
#include <exception>
#include <optional>
#include <utility>
#include <vector>

#include "companion/address/plan.h"
#include "companion/open/opening.h"
#include "companion/query/caret.h"
#include "companion/query/command_line.h"
#include "companion/query/encoding.h"
#include "companion/query/uri.h"
#include "companion/recent/history.h"
#include "companion/recent/recent.h"
#include "companion/scite/list_at_caret.h"
#include "companion/scite/lua_literal.h"
#include "companion/scite/settings_batch.h"
#include "companion/scite/strip.h"
#include "companion/settings/properties.h"
#include "companion/settings/settings.h"
#include "companion/texts.h"
#include "director/escapes.h"
#include "director/operations.h"
#include "platform/errors.h"
#include "platform/fatal.h"
#include "platform/text.h"

namespace companion {

namespace {

// Where the caret and the word at it are in the caret's line as fetched (byte offsets), and
// whether the line goes on beyond what was fetched.
struct CaretPlaces {
  int caret = 0;
  int wordStart = 0;
  int wordEnd = 0;
  bool cutBefore = false;
  bool cutAfter = false;
};

// What the run asks SciTE of the document, in one dostring and one askproperty: how SciTE draws
// its bytes, the file's extension and, when asked for, the text itself.
struct Document {
  EditorCodePages pages;
  std::string extension;
  CaretPlaces caret;
  std::string text;  // the caret's line around it, or the selection fetched; raw bytes
  bool cut = false;  // the reply stopped at the transport's size, somewhere in the text
};

constexpr std::size_t kDocumentFields = 10;

// The fields behind the result separator, so that a stale or foreign result is not taken for
// them; the text comes last, as it may hold anything. Without a selection, the caret's line
// around it, as much on each side as an address may be long, and where the caret and the word
// at the caret (by the editor's word rules) are in it. The selection is fetched only where the
// launcher's command line has lost its bytes.
[[nodiscard]] std::string documentLua(bool atCaret, bool selectionUnlessUtf8) {
  std::string lua =
      "local e = editor local cp = e.CodePage local t = '' local k, ws, we, pre, post = 0, 0, 0, "
      "0, 0 ";
  if (atCaret) {
    const std::string around = std::to_string(kCaretLineReach);
    lua +=
        "local p = e.CurrentPos local l, c = e:GetCurLine() local ls = p - c "
        "local a = math.max(c - " +
        around + ", 0) local b = math.min(c + " + around +
        ", #l) t = l:sub(a + 1, b) k, pre, post = c - a, a, #l - b "
        "ws = e:WordStartPosition(p, true) - ls - a we = e:WordEndPosition(p, true) - ls - a ";
  } else if (selectionUnlessUtf8) {
    lua += "if cp ~= " + std::to_string(kUtf8CodePage) + " then t = e:GetSelText() end ";
  }
  const std::string separator = "..'" + std::string(director::kResultSeparator) + "'..";
  std::string fields = "''";
  for (const std::string_view field : {"cp", "e.StyleCharacterSet[32]", "output.CodePage",
                                       "props['FileExt']", "k", "ws", "we", "pre", "post", "t"}) {
    fields += separator + std::string(field);
  }
  return lua + "props['" + std::string(director::kResultProperty) + "'] = " + fields;
}

[[nodiscard]] std::optional<int> number(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

[[nodiscard]] std::optional<Document> parseDocument(std::string_view reply) {
  std::vector<std::string_view> fields;
  const std::string_view separator = director::kResultSeparator;
  for (std::size_t field = 0; field < kDocumentFields; ++field) {
    if (!reply.starts_with(separator)) {
      return std::nullopt;
    }
    reply.remove_prefix(separator.size());
    const std::size_t end = field + 1 < kDocumentFields ? reply.find(separator) : reply.size();
    fields.push_back(reply.substr(0, end));
    reply.remove_prefix(fields.back().size());
  }
  const auto document = number(fields[0]);
  const auto characterSet = number(fields[1]);
  const auto output = number(fields[2]);
  const auto caret = number(fields[4]);
  const auto wordStart = number(fields[5]);
  const auto wordEnd = number(fields[6]);
  const auto before = number(fields[7]);
  const auto after = number(fields[8]);
  if (!document || !characterSet || !output || !caret || !wordStart || !wordEnd || !before ||
      !after) {
    return std::nullopt;
  }
  return Document{
      .pages = {.document = *document, .characterSet = *characterSet, .output = *output},
      .extension = std::string(fields[3]),
      .caret = {.caret = *caret,
                .wordStart = *wordStart,
                .wordEnd = *wordEnd,
                .cutBefore = *before > 0,
                .cutAfter = *after > 0},
      .text = std::string(fields[9])};
}

// Nothing when SciTE does not say. The code and the question go out at once; extender.result is
// left set, for emptyResultAndAskSettings to empty.
[[nodiscard]] std::optional<Document> askDocument(const Scite& scite, bool atCaret,
                                                  bool selectionUnlessUtf8) {
  const auto answers = scite.sendAll(
      {{.text = director::doStringCommand(documentLua(atCaret, selectionUnlessUtf8))},
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

// Empties extender.result, so that nothing of this run is left in SciTE, and asks at once for
// every setting the run may read for this extension: one wait for SciTE instead of one a key.
// The raw values SciTE gave, by name.
[[nodiscard]] KnownProperties emptyResultAndAskSettings(const Scite& scite,
                                                        std::string_view extension) {
  std::vector<std::string> keys = sciteKeys(extension);
  keys.emplace_back(kSciteBrowserKey);
  const std::vector<std::string> strip = stripKeys(extension);
  keys.insert(keys.end(), strip.begin(), strip.end());
  std::vector<Command> commands{{.text = director::propertyCommand(director::kResultProperty, "")}};
  for (const std::string& key : keys) {
    commands.push_back({.text = director::askPropertyCommand(key), .expectReply = true});
  }
  auto answers = scite.sendAll(commands);
  KnownProperties known;
  for (std::size_t at = 0; at < answers.size(); ++at) {
    known.emplace(keys[at], std::move(answers[at].text));
  }
  return known;
}

[[nodiscard]] std::optional<std::string> toUtf8(std::string_view bytes, const Encoding& encoding,
                                                const RunSystem& system) {
  switch (encoding.kind) {
    case Encoding::Kind::utf8:
      return std::string(bytes);
    case Encoding::Kind::latin1:
      return platform::latin1ToUtf8(bytes);
    case Encoding::Kind::codePage:
    case Encoding::Kind::charset:
      break;
  }
  return system.toUtf8(bytes, encoding);
}

// A selection fetched here, cut as the launcher's command line cuts it had it carried these
// characters: in SciTE's reply escapes, between whole characters and escapes.
[[nodiscard]] std::string cutAsCommandLine(std::string_view utf8, std::size_t room) {
  return director::unescapeReply(director::selectionWithin(director::replyEscaped(utf8), room));
}

// The text to search, in UTF-8 and folded, with what the pane is told of it.
struct SearchText {
  std::string text;
  std::string paneWord;  // the text at the caret in the output pane's encoding, when not UTF-8
  std::string extension;
  CaretText caret = CaretText::none;
};

// The bytes of the word at the caret in the line's part the run fetched; the word stops where the
// part does.
[[nodiscard]] std::string_view wordIn(const Document& document) {
  const std::string_view line = document.text;
  const auto clamped = [&line](int at) {
    return std::clamp(static_cast<std::size_t>(std::max(at, 0)), std::size_t{0}, line.size());
  };
  const std::size_t start = clamped(document.caret.wordStart);
  return line.substr(start, std::max(clamped(document.caret.wordEnd), start) - start);
}

// The web address the caret is in, in UTF-8, when it opens as it is; the run around the caret is
// converted on each side of it, so that the caret stays between the same characters.
[[nodiscard]] std::optional<std::string> readAddressAtCaret(const Document& document,
                                                            const Encoding& encoding,
                                                            const RunSystem& system) {
  const std::size_t caret = static_cast<std::size_t>(std::max(document.caret.caret, 0));
  if (caret > document.text.size()) {
    return std::nullopt;
  }
  const auto run = caretRun({.text = document.text,
                             .caret = caret,
                             .cutBefore = document.caret.cutBefore,
                             .cutAfter = document.caret.cutAfter || document.cut});
  if (!run) {
    return std::nullopt;
  }
  const auto before = toUtf8(run->before, encoding, system);
  const auto after = toUtf8(run->after, encoding, system);
  if (!before || !after) {
    return std::nullopt;  // the word's own check says so
  }
  auto address = addressAtCaret(*before, *after);
  if (!address || !opensAsIs(*address, system.maxUrlLength)) {
    return std::nullopt;
  }
  return address;
}

// The text as SciTE holds it, converted before anything looks at it; nothing when it has a byte
// with no character in its encoding, which is said. `folded` is the launcher's `text` folded:
// when empty, the run searches the word at the caret.
[[nodiscard]] std::optional<SearchText> readText(const Scite& scite, const std::string& text,
                                                 const std::string& folded,
                                                 const std::optional<Document>& document,
                                                 const RunSystem& system) {
  const bool wordAtCaret = folded.empty();
  if (!document) {  // an old SciTE: taken as UTF-8, as it always was
    return SearchText{.text = folded, .caret = wordAtCaret ? CaretText::word : CaretText::none};
  }
  const Encoding encoding = documentEncoding(system.editor, document->pages);
  const bool paneInUtf8 = document->pages.output == kUtf8CodePage;
  if (wordAtCaret) {
    if (auto address = readAddressAtCaret(*document, encoding, system)) {
      return SearchText{.text = *address,
                        .paneWord = paneInUtf8 ? "" : toUriCharacters(*address),
                        .caret = CaretText::address};
    }
  }
  const bool fetched =
      !wordAtCaret && system.editor == EditorKind::windows && encoding.kind != Encoding::Kind::utf8;
  std::string_view bytes = wordAtCaret ? wordIn(*document)
                           : fetched   ? std::string_view(document->text)
                                       : text;
  auto converted = toUtf8(bytes, encoding, system);
  if (!converted && document->cut && !bytes.empty()) {
    // The pipe's size, not the user, parted the last character from its trail byte.
    bytes.remove_suffix(1);
    converted = toUtf8(bytes, encoding, system);
  }
  if (!converted) {
    scite.say(invalidTextLine(encodingName(encoding)));
    return std::nullopt;
  }
  if (fetched) {
    *converted = cutAsCommandLine(*converted, system.selectionRoom);
  }
  // A pane that is not UTF-8 shows the document's own bytes as the document does.
  return SearchText{.text = collapseWhiteSpace(*converted),
                    .paneWord = wordAtCaret && !paneInUtf8 ? collapseWhiteSpace(bytes) : "",
                    .caret = wordAtCaret ? CaretText::word : CaretText::none};
}

void sayAll(const Scite& scite, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    scite.say(line);
  }
}

// Says what ended the run: the error's message and kind, the text of any other exception.
void sayUnexpected(const Scite& scite, const std::exception_ptr& failure) noexcept {
  try {
    std::string line;
    try {
      std::rethrow_exception(failure);
    } catch (const platform::Error& error) {
      line = unexpectedErrorLine(error.message(), error.kind());
    } catch (const std::exception& error) {
      line = unexpectedErrorLine(error.what(), "std::exception");
    } catch (...) {
      line = unexpectedErrorLine("no details", "unknown");
    }
    scite.sayLast(line);
  } catch (...) {  // not even the line could be built
    platform::showErrorMessage("!> Unexpected error: out of memory [unknown]\n");
  }
}

// The addresses on the clipboard instead of in a browser, a group's one a line.
[[nodiscard]] ExitCode copyAddresses(const Scite& scite, const Outcome& outcome) {
  std::string copied;
  for (const Opening& opening : outcome.openings) {
    copied += (copied.empty() ? "" : "\n") + opening.url;
  }
  if (!scite.run("editor:CopyText(" + luaLiteral(copied) + ")")) {
    return ExitCode::Unexpected;  // SciTE is gone: nothing can be said there either
  }
  sayAll(scite, outcome.lines);
  return ExitCode::Opened;
}

// What the strip leads to; `query` keeps the text its request points into.
[[nodiscard]] Outcome searchFromStrip(const Scite& scite, const Settings& settings,
                                      const SearchText& read, std::string& query,
                                      const PropertyLookup& sciteProperty, RecentSearches& recent,
                                      const RunSystem& system) {
  const std::vector<std::string> engines = offeredEngines(settings);
  if (engines.size() > 1) {
    sayAll(scite, settings.notes);  // said with the outcome otherwise
  }
  const StripAnswer answer = askInStrip(scite,
                                        {.query = std::string(withinSearchBytes(read.text)),
                                         .engines = engines,
                                         .recent = recent.list(scite, system)},
                                        system);
  query = collapseWhiteSpace(answer.query);
  const SearchRequest request{.text = query,
                              .maxUrlLength = system.maxUrlLength,
                              .destination = answer.choice == StripChoice::copyAddress
                                                 ? Destination::clipboard
                                                 : Destination::browser,
                              .commandLineRules = system.commandLineRules,
                              .properties = sciteProperty};
  return afterStrip(settings, request, answer);
}

}  // namespace

ExitCode searchSelection(const Scite& scite, const std::string& text, const RunSystem& system) {
  SearchText read{.text = collapseWhiteSpace(text)};
  const bool atCaret = read.text.empty();
  read.caret = atCaret ? CaretText::word : CaretText::none;
  PropertyLookup sciteProperty;  // none while SciTE is out of reach
  if (scite.inReach()) {
    // Only where the launcher's command line has lost the selection's bytes is it fetched.
    const auto document = askDocument(scite, atCaret, system.editor == EditorKind::windows);
    read.extension = document ? document->extension : scite.ask("FileExt").value_or(std::string());
    KnownProperties known = askSettingsInBatches(scite, read.extension,
                                                 emptyResultAndAskSettings(scite, read.extension));
    auto fromScite = readText(scite, text, read.text, document, system);
    if (!fromScite) {
      return ExitCode::InvalidText;
    }
    read.text = std::move(fromScite->text);
    read.paneWord = std::move(fromScite->paneWord);
    read.caret = fromScite->caret;
    sciteProperty = askingOnce(
        [&scite](const std::string& name) { return scite.ask(name).value_or(std::string()); },
        std::move(known));
  }
  const Settings settings = chooseSettings(read.extension, sciteProperty, system.readIni);
  RecentSearches recent(system.editor);
  std::string query = read.text;  // what is searched, and remembered
  Outcome outcome;
  if (scite.inReach() && asksFirst(read.extension, sciteProperty)) {
    outcome = searchFromStrip(scite, settings, read, query, sciteProperty, recent, system);
  } else {
    const SearchRequest request{.text = read.text,
                                .fromCaret = read.text.empty() ? CaretText::none : read.caret,
                                .paneWord = read.paneWord,
                                .maxUrlLength = system.maxUrlLength,
                                .commandLineRules = system.commandLineRules,
                                .properties = sciteProperty};
    const Plan plan = companion::plan(settings, request);
    outcome = plan.outcome;
    if (!plan.offer.empty()) {
      sayAll(scite, plan.outcome.lines);
      outcome = afterList(settings, request, pickEngine(scite, plan.offer, system));
    }
  }
  if (outcome.destination == Destination::clipboard) {
    const ExitCode copied = copyAddresses(scite, outcome);
    if (copied == ExitCode::Opened) {
      recent.remember(scite, query, system);
    }
    return copied;
  }
  // Said before the shell is asked: the browser may take the foreground as it opens.
  sayAll(scite, outcome.lines);
  if (outcome.openings.empty()) {
    return outcome.code;
  }
  const ExitCode opened = openAll(scite, outcome, system);
  // Only now: the user waits for the browser, not for this.
  if (opened == ExitCode::Opened || opened == ExitCode::PartlyOpened) {
    recent.remember(scite, query, system);
  }
  return opened;
}

int runSaying(const Scite& scite, const std::function<ExitCode()>& run) noexcept {
  try {
    return static_cast<int>(run());
  } catch (...) {
    sayUnexpected(scite, std::current_exception());
  }
  return static_cast<int>(ExitCode::Unexpected);
}

}  // namespace companion
