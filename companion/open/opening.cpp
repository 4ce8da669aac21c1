// The addresses handed over one right after the other, their verdicts read afterwards.
#include "companion/open/opening.h"

#include <optional>
#include <vector>

#include "companion/settings/texts.h"

namespace companion {

namespace {

// The line for an address that did not open; it names the address when the run opens several.
[[nodiscard]] std::string failedLine(const Opening& opening, const BrowserFailure& failure,
                                     bool several) {
  const std::string_view url = several ? std::string_view(opening.url) : std::string_view();
  if (opening.command) {
    return couldNotStartLine(opening.command->program, opening.browser.key, failure.reason, url);
  }
  return browserFailedLine(failure.reason, failure.code, url);
}

}  // namespace

ExitCode openAll(const Scite& scite, const Outcome& outcome, const RunSystem& system) {
  // A program is only started; the default browser's verdict may take a while to come.
  std::vector<BrowserVerdict> verdicts;
  for (const Opening& opening : outcome.openings) {
    if (opening.command) {
      verdicts.push_back([failure = system.startProgram(*opening.command)] { return failure; });
    } else {
      verdicts.push_back(system.openInBrowser(opening.url));
    }
  }
  const bool several = outcome.openings.size() > 1;
  std::size_t failed = 0;
  for (std::size_t at = 0; at < verdicts.size(); ++at) {
    const Opening& opening = outcome.openings[at];
    if (const auto failure = verdicts[at]()) {
      scite.say(failedLine(opening, *failure, several));
      ++failed;
    } else if (opening.command) {
      scite.say(openedWithLine(opening.command->program));
    }
  }
  if (failed == 0) {
    return outcome.code;
  }
  return failed == verdicts.size() ? ExitCode::OpenFailed : ExitCode::PartlyOpened;
}

}  // namespace companion
