// SciTE's own list at the caret, offering the engines, and the wait for the user's pick.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "companion/run_system.h"
#include "companion/scite/scite.h"

namespace companion {

// Shows `names` in SciTE's list at the caret and waits, without a time limit, while SciTE
// answers and the list is ours. The name picked; nothing when the list closed without a pick, was
// replaced by another, or SciTE stopped answering. Leaves nothing behind in SciTE: the handler
// of picks and the properties the run used are taken back, and a list of ours still open is
// closed.
[[nodiscard]] std::optional<std::string> pickEngine(const Scite& scite,
                                                    const std::vector<std::string>& names,
                                                    const RunSystem& system);

}  // namespace companion
