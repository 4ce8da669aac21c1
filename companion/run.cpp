// The companion's run over a Scite and a RunSystem.
#include "companion/run.h"

#include <charconv>
#include <exception>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "companion/browser_command.h"
#include "companion/command_line.h"
#include "companion/encoding.h"
#include "companion/engine_list.h"
#include "companion/engines.h"
#include "companion/history.h"
#include "companion/lua_literal.h"
#include "companion/properties.h"
#include "companion/recent.h"
#include "companion/settings.h"
#include "companion/strip.h"
#include "companion/texts.h"
#include "director/escapes.h"
#include "director/operations.h"
#include "platform/errors.h"
#include "platform/fatal.h"
#include "platform/text.h"

namespace companion {

namespace {

// What the run asks SciTE of the document, in one dostring and one askproperty: how SciTE draws
// its bytes, the file's extension and, when asked for, the text itself.
struct Document {
  EditorCodePages pages;
  std::string extension;
  std::string text;  // the word at the caret, or the selection fetched; raw bytes
  bool cut = false;  // the reply stopped at the transport's size, somewhere in the text
};

constexpr std::size_t kDocumentFields = 5;

// The fields behind the result separator, so that a stale or foreign result is not taken for
// them; the text comes last, as it may hold anything. The word at the caret goes by the editor's
// word rules. The selection is fetched only where the launcher's command line has lost its bytes.
[[nodiscard]] std::string documentLua(bool wordAtCaret, bool selectionUnlessUtf8) {
  std::string lua = "local e = editor local cp = e.CodePage local t = '' ";
  if (wordAtCaret) {
    lua +=
        "local p = e.CurrentPos t = e:textrange(e:WordStartPosition(p, true), "
        "e:WordEndPosition(p, true)) ";
  } else if (selectionUnlessUtf8) {
    lua += "if cp ~= " + std::to_string(kUtf8CodePage) + " then t = e:GetSelText() end ";
  }
  const std::string separator = "..'" + std::string(director::kResultSeparator) + "'..";
  return lua + "props['" + std::string(director::kResultProperty) + "'] = ''" + separator + "cp" +
         separator + "e.StyleCharacterSet[32]" + separator + "output.CodePage" + separator +
         "props['FileExt']" + separator + "t";
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
  if (!document || !characterSet || !output) {
    return std::nullopt;
  }
  return Document{
      .pages = {.document = *document, .characterSet = *characterSet, .output = *output},
      .extension = std::string(fields[3]),
      .text = std::string(fields[4])};
}

// Nothing when SciTE does not say. The code and the question go out at once; extender.result is
// left set, for emptyResultAndAskSettings to empty.
[[nodiscard]] std::optional<Document> askDocument(const Scite& scite, bool wordAtCaret,
                                                  bool selectionUnlessUtf8) {
  const auto answers = scite.sendAll(
      {{.text = director::doStringCommand(documentLua(wordAtCaret, selectionUnlessUtf8))},
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
  std::string paneWord;  // the word at the caret in the output pane's encoding, when not UTF-8
  std::string extension;
};

// The text as SciTE holds it, converted before anything looks at it; nothing when it has a byte
// with no character in its encoding, which is said. `folded` is the launcher's `text` folded:
// when empty, the run searches the word at the caret.
[[nodiscard]] std::optional<SearchText> readText(const Scite& scite, const std::string& text,
                                                 const std::string& folded,
                                                 const std::optional<Document>& document,
                                                 const RunSystem& system) {
  const bool wordAtCaret = folded.empty();
  if (!document) {  // an old SciTE: taken as UTF-8, as it always was
    return SearchText{.text = folded};
  }
  const Encoding encoding = documentEncoding(system.editor, document->pages);
  const bool fetched =
      !wordAtCaret && system.editor == EditorKind::windows && encoding.kind != Encoding::Kind::utf8;
  std::string_view bytes = wordAtCaret || fetched ? document->text : text;
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
  const bool paneInUtf8 = document->pages.output == kUtf8CodePage;
  return SearchText{.text = collapseWhiteSpace(*converted),
                    .paneWord = wordAtCaret && !paneInUtf8 ? collapseWhiteSpace(bytes) : ""};
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

[[nodiscard]] ExitCode openWithDefaultBrowser(const Scite& scite, const std::string& url,
                                              const RunSystem& system) {
  if (const auto failure = system.openInBrowser(url)) {
    scite.say(browserFailedLine(failure->reason, failure->code));
    return ExitCode::OpenFailed;
  }
  return ExitCode::Opened;
}

// The program the user named, and nothing else when it does not start: they asked for it.
[[nodiscard]] ExitCode startNamedProgram(const Scite& scite, const ProgramCommand& command,
                                         const BrowserSetting& browser, const RunSystem& system) {
  if (const auto failure = system.startProgram(command)) {
    scite.say(couldNotStartLine(command.program, browser.key, failure->reason));
    return ExitCode::OpenFailed;
  }
  scite.say(openedWithLine(command.program));
  return ExitCode::Opened;
}

// The address on the clipboard instead of in a browser, said in place of the line that would
// have said where it opens.
[[nodiscard]] ExitCode copyAddress(const Scite& scite, Outcome outcome) {
  if (!scite.run("editor:CopyText(" + luaLiteral(outcome.url) + ")")) {
    return ExitCode::Unexpected;  // SciTE is gone: nothing can be said there either
  }
  outcome.lines.back() = copiedLine(outcome.url);
  sayAll(scite, outcome.lines);
  return ExitCode::Opened;
}

// What the strip leads to; `query` keeps the text its request points into.
[[nodiscard]] std::pair<Outcome, StripChoice> searchFromStrip(
    const Scite& scite, const Settings& settings, const SearchText& read, std::string& query,
    RecentSearches& recent, const RunSystem& system) {
  const std::vector<std::string> engines = offeredEngines(settings);
  if (engines.size() > 1) {
    sayAll(scite, settings.notes);  // said with the outcome otherwise
  }
  const StripAnswer answer = askInStrip(scite,
                                        {.query = std::string(withinSearchBytes(read.text)),
                                         .engines = engines,
                                         .recent = recent.list(system)},
                                        system);
  query = collapseWhiteSpace(answer.query);
  const SearchRequest request{.text = query, .maxUrlLength = system.maxUrlLength};
  return {afterStrip(settings, request, answer), answer.choice};
}

}  // namespace

ExitCode searchSelection(const Scite& scite, const std::string& text, const RunSystem& system) {
  SearchText read{.text = collapseWhiteSpace(text)};
  const bool fromCaret = read.text.empty();
  PropertyLookup sciteProperty;  // none while SciTE is out of reach
  if (scite.inReach()) {
    // Only where the launcher's command line has lost the selection's bytes is it fetched.
    const auto document = askDocument(scite, fromCaret, system.editor == EditorKind::windows);
    read.extension = document ? document->extension : scite.ask("FileExt").value_or(std::string());
    KnownProperties known = emptyResultAndAskSettings(scite, read.extension);
    auto fromScite = readText(scite, text, read.text, document, system);
    if (!fromScite) {
      return ExitCode::InvalidText;
    }
    read.text = std::move(fromScite->text);
    read.paneWord = std::move(fromScite->paneWord);
    sciteProperty = askingOnce(
        [&scite](const std::string& name) { return scite.ask(name).value_or(std::string()); },
        std::move(known));
  }
  const Settings settings = chooseSettings(read.extension, sciteProperty, system.readIni);
  const PropertyLookup known =
      sciteProperty ? sciteProperty : [](const std::string&) { return std::string(); };
  RecentSearches recent(known, system.editor);
  std::string query = read.text;  // what is searched, and remembered
  Outcome outcome;
  StripChoice choice = StripChoice::search;
  if (scite.inReach() && asksFirst(read.extension, known)) {
    std::tie(outcome, choice) = searchFromStrip(scite, settings, read, query, recent, system);
  } else {
    const SearchRequest request{.text = read.text,
                                .fromCaret = fromCaret && !read.text.empty(),
                                .paneWord = read.paneWord,
                                .maxUrlLength = system.maxUrlLength};
    const Plan plan = companion::plan(settings, request);
    outcome = plan.outcome;
    if (!plan.offer.empty()) {
      sayAll(scite, plan.outcome.lines);
      outcome = afterList(settings, request, pickEngine(scite, plan.offer, system));
    }
  }
  if (choice == StripChoice::copyAddress && outcome.code == ExitCode::Opened) {
    const ExitCode copied = copyAddress(scite, std::move(outcome));
    if (copied == ExitCode::Opened) {
      recent.remember(scite, query, system);
    }
    return copied;
  }
  outcome = withBrowserCommand(std::move(outcome), system.commandLineRules, sciteProperty);
  // Said before the shell is asked: the browser may take the foreground as it opens.
  sayAll(scite, outcome.lines);
  if (outcome.code != ExitCode::Opened) {
    return outcome.code;
  }
  const ExitCode opened = outcome.command
                              ? startNamedProgram(scite, *outcome.command, outcome.browser, system)
                              : openWithDefaultBrowser(scite, outcome.url, system);
  // Only now: the user waits for the browser, not for this.
  if (opened == ExitCode::Opened) {
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
