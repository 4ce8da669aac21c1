// One run of the companion, the same on every platform: the selection (or the word at the
// caret), the settings, SciTE's list of engines when they name several, what the user reads, the
// address handed to the browser.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "companion/browser.h"
#include "companion/scite.h"
#include "companion/settings.h"
#include "companion/websearch.h"

namespace companion {

// What a run needs of the system under it: one of these a platform.
struct RunSystem {
  IniReader readIni;                         // websearch.ini beside the program
  std::size_t maxUrlLength = kMaxUrlLength;  // the longest address its shell takes
  // Hands the address to the browser: why it failed, or nothing.
  std::function<std::optional<BrowserFailure>(const std::string& url)> openInBrowser;
  std::function<void(std::chrono::milliseconds)> pause;  // between looks at SciTE's list
  std::function<std::uint32_t()> processId;              // makes the run's names in SciTE unique
};

// The run for `text`, the selection as the launcher passed it (folded; empty for none).
[[nodiscard]] ExitCode searchSelection(const Scite& scite, std::string text,
                                       const RunSystem& system);

// `run`'s exit code; anything it throws is said where the run's lines go, as "!> Unexpected
// error: <message> [<kind>]", and ends it with ExitCode::Unexpected.
[[nodiscard]] int runSaying(const Scite& scite, const std::function<ExitCode()>& run) noexcept;

}  // namespace companion
