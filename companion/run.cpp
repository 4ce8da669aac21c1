// The companion's run over a Scite and a RunSystem.
#include "companion/run.h"

#include <algorithm>
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
#include "companion/scite/document.h"
#include "companion/scite/list_at_caret.h"
#include "companion/scite/lua_literal.h"
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
    const auto document = askDocument(scite, atCaret ? DocumentText::caretLine
                                             : system.editor == EditorKind::windows
                                                 ? DocumentText::selectionUnlessUtf8
                                                 : DocumentText::none);
    read.extension = document ? document->extension : scite.ask("FileExt").value_or(std::string());
    KnownProperties known = emptyResultAndAskSettings(scite, read.extension);
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
