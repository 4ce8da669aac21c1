// The program an address opens with: a SciTE property's value split into words as the platform's
// users write a program line, each word expanded on its own, the address put in last.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "companion/address/decision.h"
#include "companion/address/hand_over.h"
#include "companion/settings/setting_types.h"

namespace companion {

// `outcome` with the command each of its addresses opens with, when it opened and the address's
// browser setting names a program; unchanged otherwise. In order, so that nothing from the document
// can add an argument or change the program: the raw value is split into words; each word's $(name)
// references are expanded through `lookup` (they may carry the document's text), never split
// again; then, in one pass over each word, %s becomes the address and %% a percent sign. Without
// %s the address is the last argument. A value that does not split, a % before any other
// character, %s in the program's word, no program, or a reference in a circle leaves that
// address out, its line replaced by the line saying why: the outcome is BadTemplate when no
// address is left, PartlyOpened when some are.
[[nodiscard]] Outcome withBrowserCommand(Outcome outcome, ProgramLineRules rules,
                                         const PropertyLookup& lookup);

// Why Windows may not be handed `program`: it starts a .bat or .cmd file through cmd.exe, where
// & % and ! in an argument act whatever its quoting. Nothing for any other program. The name is
// compared as Windows opens it, trailing dots and blanks dropped.
[[nodiscard]] std::optional<std::string> runsThroughCmd(std::string_view program);

}  // namespace companion
