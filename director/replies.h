// What every transport to SciTE shares: the client's reply state, the storing of a reply, and
// the one call each transport defines to hand SciTE a command.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/re.h"

namespace director {

// The last reply, its address prefix removed.
extern std::string received;
// What the reply handler strips from a reply; unset until a reply is first asked for.
extern std::optional<platform::Regex> pattern;
extern std::string interfaceVersion;

// Keeps a reply in `received`, with what `pattern` matches removed once it is set. A reply comes
// as SciTE for Windows writes it: ":<address>:" first and its text in SciTE's reply escapes.
void StoreReply(const std::string& text);

// Hands the command to the SciTE in reach, defined once per transport; false when there is none,
// in which case nothing is sent and `received` keeps its value. `expectReply` documents intent
// only: a reply, when SciTE gives one, is stored before the call returns.
bool SendCommand(std::string_view command, bool expectReply);

}  // namespace director
