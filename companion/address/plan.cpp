// The run's plan once its settings are known: one engine or group decides at once, several are
// offered first, and what a pick leads to.
#include "companion/address/plan.h"

#include <algorithm>
#include <utility>

#include "companion/address/browser_command.h"
#include "companion/address/link_address.h"
#include "companion/settings/texts.h"
#include "platform/ascii.h"

namespace companion {

namespace {

[[nodiscard]] Outcome withLines(const std::vector<std::string>& lines, Outcome outcome) {
  outcome.lines.insert(outcome.lines.begin(), lines.begin(), lines.end());
  for (Opening& opening : outcome.openings) {
    opening.line += lines.size();
  }
  return outcome;
}

[[nodiscard]] Outcome withNotes(const Settings& settings, Outcome outcome) {
  return withLines(settings.notes, std::move(outcome));
}

[[nodiscard]] SearchRequest forEngine(SearchRequest request, const Engine& engine) {
  request.setting = engine.setting;
  request.searchBrowser = engine.browser;
  return request;
}

// The outcome of searching with every engine of `choice`, in order, each address on its own
// line; what is said of the caret is said once. Opened when every one did, PartlyOpened when
// some did, else the first one's code.
[[nodiscard]] Outcome decideChoice(const Choice& choice, SearchRequest request) {
  Outcome all;
  std::size_t opened = 0;
  for (const Engine& engine : choice.engines) {
    Outcome one = decide(forEngine(request, engine));
    request.fromCaret = CaretText::none;
    for (Opening& opening : one.openings) {
      opening.line += all.lines.size();
      all.openings.push_back(std::move(opening));
    }
    all.lines.insert(all.lines.end(), one.lines.begin(), one.lines.end());
    if (one.code == ExitCode::Opened) {
      ++opened;
    } else if (opened == 0 && all.code == ExitCode::Opened) {
      all.code = one.code;  // the first failure, unless something opened before it
    }
  }
  if (opened > 0) {
    all.code = opened == choice.engines.size() ? ExitCode::Opened : ExitCode::PartlyOpened;
  }
  return all;
}

// The outcome as its addresses leave: copied when the user asked for that and any was made, each
// line then saying so, a member that was not made still named; else each with the program its
// browser setting names, if any. Nothing asked to be copied ever opens in a browser.
[[nodiscard]] Outcome handedOn(Outcome outcome, const SearchRequest& request) {
  if (request.destination == Destination::clipboard && !outcome.openings.empty()) {
    for (const Opening& opening : outcome.openings) {
      outcome.lines.at(opening.line) = copiedLine(opening.url);
    }
    outcome.destination = Destination::clipboard;
    return outcome;
  }
  return withBrowserCommand(std::move(outcome), request.programLineRules, request.properties);
}

// The link found at the caret, or the one the whole text is: a selection, a command's text and
// the output pane's message. An address opens as it is, before any link.
[[nodiscard]] LinkSearch linkOf(const Settings& settings, const SearchRequest& request,
                                const std::optional<FoundLink>& atCaret) {
  if (atCaret) {
    return {.link = atCaret};
  }
  const CaretText from = request.fromCaret;
  const bool whole =
      from == CaretText::none || from == CaretText::commandText || from == CaretText::outputPane;
  if (!whole || settings.links.empty() || opensAsIs(request.text, request.maxUrlLength)) {
    return {};
  }
  return wholeLink(settings.links, request.text, request.maxUrlLength);
}

// The plan's search once no link opens.
[[nodiscard]] Plan searchPlan(const Settings& settings, SearchRequest request) {
  if (settings.engineListKey.empty()) {
    request.setting = settings.setting;
    request.searchBrowser = settings.browser;
    return {.outcome = handedOn(withNotes(settings, decide(request)), request)};
  }
  if (settings.choices.empty() && !request.text.empty()) {
    return {.outcome = {.code = ExitCode::BadTemplate, .lines = settings.notes}};
  }
  if (request.text.empty() || opensAsIs(request.text, request.maxUrlLength)) {
    // Any engine serves when none is needed, and an address opens once: each template is a
    // usable one.
    if (!settings.choices.empty()) {
      request = forEngine(request, settings.choices.front().engines.front());
    }
    return {.outcome = handedOn(withNotes(settings, decide(request)), request)};
  }
  if (settings.choices.size() == 1) {
    return {.outcome = handedOn(
                withNotes(settings, decideChoice(settings.choices.front(), request)), request)};
  }
  Plan offered{.outcome = {.lines = settings.notes}};
  for (const Choice& choice : settings.choices) {
    offered.offer.push_back(choice.name);
  }
  return offered;
}

}  // namespace

Plan plan(const Settings& settings, SearchRequest request,
          const std::optional<FoundLink>& atCaret) {
  if (settings.steered) {
    if (settings.choices.empty()) {
      return {.outcome = {.code = ExitCode::BadTemplate, .lines = settings.notes}};
    }
    Settings steered = settings;
    steered.choices.resize(1);
    steered.steered = false;
    return plan(steered, std::move(request));
  }
  request.addressBrowser = settings.browser;
  const LinkSearch link = linkOf(settings, request, atCaret);
  if (!link.link && link.notes.empty()) {
    return searchPlan(settings, std::move(request));
  }
  Settings noted = settings;
  noted.notes.insert(noted.notes.end(), link.notes.begin(), link.notes.end());
  if (link.link) {
    return {.outcome = handedOn(withNotes(noted, linkOutcome(*link.link, request)), request)};
  }
  return searchPlan(noted, std::move(request));
}

Outcome afterList(const Settings& settings, SearchRequest request,
                  const std::optional<std::string>& picked) {
  const auto choice =
      std::find_if(settings.choices.begin(), settings.choices.end(),
                   [&picked](const Choice& candidate) { return candidate.name == picked; });
  if (choice == settings.choices.end()) {
    return {.code = ExitCode::NoEngineChosen, .lines = {noEngineChosenLine()}};
  }
  request.addressBrowser = settings.browser;
  return handedOn(decideChoice(*choice, request), request);
}

std::vector<std::string> offeredEngines(const Settings& settings) {
  std::vector<std::string> names;
  names.reserve(settings.choices.size());
  for (const Choice& choice : settings.choices) {
    names.push_back(choice.name);
  }
  return names;
}

namespace {

// The search with the engine typed in the strip's engine field, blanks around it ignored: nothing
// opens when it names none offered.
[[nodiscard]] Outcome engineTyped(const Settings& settings, SearchRequest request,
                                  std::string_view engine) {
  std::string_view typed = engine;
  while (!typed.empty() && platform::isAsciiWhiteSpace(typed.front())) {
    typed.remove_prefix(1);
  }
  while (!typed.empty() && platform::isAsciiWhiteSpace(typed.back())) {
    typed.remove_suffix(1);
  }
  const auto offered = std::find_if(settings.choices.begin(), settings.choices.end(),
                                    [typed](const Choice& choice) { return choice.name == typed; });
  if (offered == settings.choices.end()) {
    return {.code = ExitCode::NoEngineChosen, .lines = {engineNotOfferedLine(engine)}};
  }
  return afterList(settings, std::move(request), offered->name);
}

}  // namespace

Outcome afterStrip(const Settings& settings, SearchRequest request, const StripAnswer& answer) {
  if (answer.choice == StripChoice::cancel) {
    return {.code = ExitCode::Cancelled, .lines = {searchCancelledLine()}};
  }
  if (settings.choices.size() < 2) {
    return plan(settings, request).outcome;
  }
  // The settings' notes were said before the strip showed; a link opens whatever engine is typed.
  request.addressBrowser = settings.browser;
  const LinkSearch link = linkOf(settings, request, std::nullopt);
  if (link.link) {
    return handedOn(withLines(link.notes, linkOutcome(*link.link, request)), request);
  }
  return withLines(link.notes, engineTyped(settings, std::move(request), answer.engine));
}

}  // namespace companion
