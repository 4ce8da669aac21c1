// What every transport to SciTE shares: the client's reply state, the storing of a reply, the
// reply's prefix, and the one call each transport defines to hand SciTE a command.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "platform/re.h"

namespace director {

// How long one command may wait for SciTE, where the transport can limit it: a modal dialog can
// hold SciTE.
inline constexpr std::chrono::milliseconds kAnswerLimit{5000};

// What SciTE puts before a reply's value: ":<address>:", the verb and the key.
inline constexpr std::string_view kReplyPrefixPattern = R"(^:\d+:([^:]+:){2})";

// The last reply, its address prefix removed.
extern std::string received;
// What the reply handler strips from a reply; unset until a reply is first asked for.
extern std::optional<platform::Regex> pattern;
extern std::string interfaceVersion;

// Sets `pattern` to the reply prefix, before each question the client's operations ask.
void installReplyPattern();

// Keeps a reply in `received`, with what `pattern` matches removed once it is set. A reply comes
// as SciTE for Windows writes it: ":<address>:" first and its text in SciTE's reply escapes.
void storeReply(const std::string& text);

// A reply less what the reply prefix matches, whether or not `pattern` is set (read without it).
[[nodiscard]] std::string withoutReplyPrefix(std::string_view reply);

// The value a reply in SciTE for Windows' form stands for: its prefix removed, its escapes undone.
[[nodiscard]] std::string replyValue(std::string_view reply);

// Hands the command to the SciTE in reach, defined once per transport; false when there is none,
// in which case nothing is sent and `received` keeps its value. `expectReply` documents intent
// only: a reply, when SciTE gives one, is stored before the call returns.
bool SendCommand(std::string_view command, bool expectReply);

}  // namespace director
