// Opening a run's addresses: each handed over in order, none waiting for the one before.
#pragma once

#include "companion/address/decision.h"
#include "companion/run_system.h"
#include "companion/scite/scite.h"

namespace companion {

// Starts every address of `outcome` in its order, each with its program or the default browser,
// then waits for each hand-over in the same order and says what did not open (and which program
// did). The run's code: the outcome's when nothing failed, OpenFailed when nothing opened,
// PartlyOpened in between.
[[nodiscard]] ExitCode openAll(const Scite& scite, const Outcome& outcome, const RunSystem& system);

}  // namespace companion
