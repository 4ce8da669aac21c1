// One run of the companion, the same on every platform: the selection (or the word at the
// caret), the settings, SciTE's list of engines when they name several, what the user reads, the
// address handed to the browser.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "companion/address/decision.h"
#include "companion/run_system.h"
#include "companion/scite/scite.h"

namespace companion {

// The run for `text`, the selection as the launcher passed it (unescaped, not folded: it is
// converted from the document's encoding first; empty for none).
[[nodiscard]] ExitCode searchSelection(const Scite& scite, const std::string& text,
                                       const RunSystem& system);

// `run`'s exit code; anything it throws is said where the run's lines go, as "!> Unexpected
// error: <message> [<kind>]", and ends it with ExitCode::Unexpected.
[[nodiscard]] int runSaying(const Scite& scite, const std::function<ExitCode()>& run) noexcept;

}  // namespace companion
