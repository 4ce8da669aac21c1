// The companion's run over a Scite and a RunSystem.
#include "companion/run.h"

#include <exception>
#include <utility>
#include <vector>

#include "companion/browser_command.h"
#include "companion/command_line.h"
#include "companion/engine_list.h"
#include "companion/engines.h"
#include "companion/properties.h"
#include "companion/settings.h"
#include "companion/texts.h"
#include "director/operations.h"
#include "platform/binding.h"
#include "platform/errors.h"

namespace companion {

namespace {

// Puts the word at the caret, by the editor's word rules, into extender.result behind the result
// separator, so that a stale or foreign result is not taken for it.
constexpr std::string_view kLuaWordAtCaret =
    "local p = editor.CurrentPos "
    "local a, b = editor:WordStartPosition(p, true), editor:WordEndPosition(p, true) "
    "props['extender.result'] = '<@@>'..editor:textrange(a, b)";

// The word at the caret, folded; empty when there is none or SciTE does not say. extender.result
// is emptied either way, so nothing of this run is left in SciTE.
[[nodiscard]] std::string wordAtCaret(const Scite& scite) {
  const auto reply =
      scite.run(kLuaWordAtCaret) ? scite.ask(director::kResultProperty) : std::nullopt;
  (void)scite.send("property:" + std::string(director::kResultProperty) + "=", false);
  if (!reply || !reply->starts_with(director::kResultSeparator)) {
    return {};
  }
  return collapseWhiteSpace(reply->substr(director::kResultSeparator.size()));
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

}  // namespace

ExitCode searchSelection(const Scite& scite, std::string text, const RunSystem& system) {
  const bool fromCaret = text.empty() && scite.inReach();
  if (fromCaret) {
    text = wordAtCaret(scite);
  }
  PropertyLookup sciteProperty;  // none while SciTE is out of reach
  if (scite.inReach()) {
    sciteProperty = askingOnce(
        [&scite](const std::string& name) { return scite.ask(name).value_or(std::string()); });
  }
  const std::string extension = sciteProperty ? sciteProperty("FileExt") : std::string();
  const Settings settings = chooseSettings(extension, sciteProperty, system.readIni);
  const SearchRequest request{
      .text = text, .fromCaret = fromCaret && !text.empty(), .maxUrlLength = system.maxUrlLength};
  const Plan plan = companion::plan(settings, request);
  Outcome outcome = plan.outcome;
  if (!plan.offer.empty()) {
    sayAll(scite, plan.outcome.lines);
    outcome = afterList(settings, request, pickEngine(scite, plan.offer, system));
  }
  outcome = withBrowserCommand(std::move(outcome), system.commandLineRules, sciteProperty);
  // Said before the shell is asked: the browser may take the foreground as it opens.
  sayAll(scite, outcome.lines);
  if (outcome.code != ExitCode::Opened) {
    return outcome.code;
  }
  return outcome.command ? startNamedProgram(scite, *outcome.command, outcome.browser, system)
                         : openWithDefaultBrowser(scite, outcome.url, system);
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
