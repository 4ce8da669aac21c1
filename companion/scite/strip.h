// SciTE's user strip, where the user edits the search, picks a recent one and an engine before
// anything opens, and the wait for what they choose.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "companion/address/plan.h"
#include "companion/run_system.h"
#include "companion/scite/scite.h"
#include "companion/settings/setting_types.h"

namespace companion {

struct StripOffer {
  std::string query;                 // the query field's text at the start, UTF-8
  std::vector<std::string> engines;  // the names offered: with one the label names it, with
                                     // several an engine field holds them, the first in it
  // The query field's list, newest first: asked once the strip is up.
  std::function<std::vector<std::string>()> recent;
};

// Shows the strip and waits, without a time limit, while SciTE answers and the strip is ours.
// A cancel too when the user left the strip (Escape, or a click back in the editor or the
// output pane), when another script replaced it, and when SciTE stopped answering. Leaves nothing
// behind in SciTE: the handler of events and the properties the run used are taken back, and a
// strip of ours still open is closed; whatever a run that was killed left is taken back first.
[[nodiscard]] StripAnswer askInStrip(const Scite& scite, const StripOffer& offer,
                                     const RunSystem& system);

}  // namespace companion
