// The companion's run over a Scite and a RunSystem: the text read, the settings chosen, the
// outcome decided (in SciTE's strip, or with SciTE's list when several engines are offered),
// then handed on.
#include "companion/run.h"

#include <exception>
#include <optional>
#include <utility>
#include <vector>

#include "companion/address/link_address.h"
#include "companion/address/plan.h"
#include "companion/open/opening.h"
#include "companion/query/command_line.h"
#include "companion/recent/history.h"
#include "companion/recent/recent.h"
#include "companion/scite/document.h"
#include "companion/scite/list_at_caret.h"
#include "companion/scite/lua_literal.h"
#include "companion/scite/search_text.h"
#include "companion/scite/settings_batch.h"
#include "companion/scite/strip.h"
#include "companion/settings/ask.h"
#include "companion/settings/next_search.h"
#include "companion/settings/properties.h"
#include "companion/settings/settings.h"
#include "companion/settings/texts.h"
#include "platform/errors.h"
#include "platform/fatal.h"

namespace companion {

namespace {

// What a run reads before it decides.
struct Reading {
  SearchText search;
  std::string extension;          // the file's, whose settings count
  PropertyLookup properties;      // SciTE's; none while SciTE is out of reach
  std::string engine;             // the engine or group a command steered this search to, if any
  std::optional<FoundLink> link;  // the link in the caret's line that holds the caret
};

// What a run hands on: the outcome, and the query it remembers once the outcome is handed on.
struct Search {
  Outcome outcome;
  std::string query;
};

void sayAll(const Scite& scite, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    scite.say(line);
  }
}

// SciTE's properties, each asked at most once, and those `known` not at all.
[[nodiscard]] PropertyLookup askingScite(const Scite& scite, KnownProperties known) {
  return askingOnce(
      [&scite](const std::string& name) { return scite.ask(name).value_or(std::string()); },
      std::move(known));
}

// The text to search, the extension and SciTE's properties, asked of SciTE when it is in reach:
// the document and the settings every extension shares in one wait, then those it names in a few
// more, none for most. Nothing when the text has a byte with no character in its encoding, which
// is said.
[[nodiscard]] std::optional<Reading> readFromScite(const Scite& scite, const Selection& selection,
                                                   const RunSystem& system) {
  if (!scite.inReach()) {
    return Reading{.search = asUtf8(selection)};
  }
  DocumentAsked first = askDocument(scite, textToFetch(selection, system.editor));
  system.trace("document asked");
  const auto& document = first.document;
  std::string extension =
      document ? document->extension : scite.ask("FileExt").value_or(std::string());
  // Without the document's answer, every setting of the extension may be set.
  SettingsAsked asked = askSettingsOf(
      scite,
      document.value_or(
          Document{.extension = extension, .extensionSettings = extensionSettingKeys(extension)}),
      std::move(first.known));
  NextSearch next = nextSearch(asked.next, system.now());
  sayAll(scite, next.lines);
  KnownProperties known =
      askSettingsInBatches(scite, extension, next.engine, std::move(asked.known));
  system.trace("settings asked");
  auto search = readText(scite, selection, document, next, system);
  system.trace("text converted");
  if (!search) {
    return std::nullopt;
  }
  return Reading{.search = std::move(*search),
                 .extension = std::move(extension),
                 .properties = askingScite(scite, std::move(known)),
                 .engine = std::move(next.engine)};
}

// The search the user makes in SciTE's strip, its query field holding the text read.
[[nodiscard]] Search searchFromStrip(const Scite& scite, const Settings& settings,
                                     const Reading& reading, RecentSearches& recent,
                                     const RunSystem& system) {
  const std::vector<std::string> engines = offeredEngines(settings);
  if (engines.size() > 1) {
    sayAll(scite, settings.notes);  // said with the outcome otherwise
  }
  const StripAnswer answer =
      askInStrip(scite,
                 {.query = std::string(withinSearchBytes(reading.search.text)),
                  .engines = engines,
                  .recent = [&] { return recent.list(scite, system); }},
                 system);
  Search search{.query = collapseWhiteSpace(answer.query)};
  search.outcome =
      afterStrip(settings,
                 {.text = search.query,
                  .maxUrlLength = system.maxUrlLength,
                  .destination = answer.choice == StripChoice::copyAddress ? Destination::clipboard
                                                                           : Destination::browser,
                  .programLineRules = system.programLineRules,
                  .properties = reading.properties},
                 answer);
  return search;
}

// The plan's search of the text read: at once, or after a pick in SciTE's list when several
// engines are offered.
[[nodiscard]] Search searchByPlan(const Scite& scite, const Settings& settings,
                                  const Reading& reading, const RunSystem& system) {
  const SearchText& read = reading.search;
  const SearchRequest request{.text = read.text,
                              .fromCaret = read.caret,
                              .paneWord = read.paneWord,
                              .maxUrlLength = system.maxUrlLength,
                              .programLineRules = system.programLineRules,
                              .properties = reading.properties};
  Plan plan = companion::plan(settings, request, reading.link);
  if (plan.offer.empty()) {
    return {.outcome = std::move(plan.outcome), .query = read.text};
  }
  sayAll(scite, plan.outcome.lines);
  return {.outcome = afterList(settings, request, pickEngine(scite, plan.offer, system)),
          .query = read.text};
}

// With the word at the caret, a link in its line that holds the caret comes before it: its match
// is then the text searched, and what the strip shows. A pattern that gave up is said at once.
void takeLinkAtCaret(const Scite& scite, const Settings& settings, Reading& reading,
                     const RunSystem& system) {
  const std::optional<LineAtCaret>& line = reading.search.line;
  if (!line || settings.links.empty()) {
    return;
  }
  LinkSearch found = linkAtCaret(settings.links,
                                 {.text = line->text,
                                  .caret = line->caret,
                                  .cutBefore = line->cutBefore,
                                  .cutAfter = line->cutAfter},
                                 system.maxUrlLength);
  sayAll(scite, found.notes);
  if (found.link) {
    reading.search.text = found.link->match;
    reading.search.paneWord.clear();
    reading.search.caret = CaretText::link;
    reading.link = std::move(found.link);
  }
}

// The addresses on the clipboard instead of in a browser, a group's one a line: the outcome's
// code, PartlyOpened for a group made in part.
[[nodiscard]] ExitCode copyAddresses(const Scite& scite, const Outcome& outcome) {
  std::string copied;
  for (const Opening& opening : outcome.openings) {
    copied += (copied.empty() ? "" : "\n") + opening.url;
  }
  if (!scite.run("editor:CopyText(" + luaLiteral(copied) + ")")) {
    return ExitCode::Unexpected;  // SciTE is gone: nothing can be said there either
  }
  sayAll(scite, outcome.lines);
  return outcome.code;
}

// Said before the shell is asked: the browser may take the foreground as it opens.
[[nodiscard]] ExitCode sayAndOpen(const Scite& scite, const Outcome& outcome,
                                  const RunSystem& system) {
  sayAll(scite, outcome.lines);
  system.trace("said");
  return openAll(scite, outcome, system);
}

// The outcome's addresses copied or opened, and the query remembered once any went.
[[nodiscard]] ExitCode handOn(const Scite& scite, const Search& search, RecentSearches& recent,
                              const RunSystem& system) {
  const Outcome& outcome = search.outcome;
  if (outcome.destination == Destination::browser && outcome.openings.empty()) {
    sayAll(scite, outcome.lines);
    return outcome.code;
  }
  system.trace("decided");
  const ExitCode code = outcome.destination == Destination::clipboard
                            ? copyAddresses(scite, outcome)
                            : sayAndOpen(scite, outcome, system);
  system.trace("handed over");
  // Only now: the user waits for the browser, not for this.
  if (code == ExitCode::Opened || code == ExitCode::PartlyOpened) {
    recent.remember(scite, search.query, system);
    system.trace("remembered");
  }
  return code;
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

}  // namespace

ExitCode searchSelection(const Scite& scite, const std::string& text, const RunSystem& system) {
  auto reading = readFromScite(scite, selectionOf(text), system);
  if (!reading) {
    return ExitCode::InvalidText;
  }
  const bool asks = scite.inReach() && asksFirst(reading->extension, reading->properties);
  const Settings settings = settingsForSearch(reading->extension, reading->properties,
                                              system.readIni, reading->engine, asks);
  takeLinkAtCaret(scite, settings, *reading, system);
  RecentSearches recent(system.editor);
  // A steered search with no engine to search with opens nothing, strip or not.
  const bool strip = asks && !(settings.steered && settings.choices.empty());
  const Search search = strip ? searchFromStrip(scite, settings, *reading, recent, system)
                              : searchByPlan(scite, settings, *reading, system);
  return handOn(scite, search, recent, system);
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
