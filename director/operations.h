// Editor operations on top of the command channel: the output pane, properties, and Lua code run
// inside SciTE with its result fetched through the property extender.result.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace director {

// What ParseLuaSelection gets from a "<@@>"-separated Lua result.
struct LuaSelection {
  std::string text;
  std::int64_t length = 0;
  bool operator==(const LuaSelection&) const = default;
};

inline constexpr std::string_view kResultSeparator = "<@@>";
inline constexpr std::string_view kClearOutputCommand =
    "extender:dostring do output:ClearAll() end";
// The property through which Lua code run in SciTE hands its result back.
inline constexpr std::string_view kResultProperty = "extender.result";

// The command that writes a text (already escaped) to the output pane, a line break after it
// when asked.
[[nodiscard]] std::string outputCommand(std::string_view text, bool lineEnd);

// The commands that run Lua code in SciTE, ask for a property's raw value and set one.
[[nodiscard]] std::string doStringCommand(std::string_view lua);
[[nodiscard]] std::string askPropertyCommand(std::string_view key);
[[nodiscard]] std::string propertyCommand(std::string_view key, std::string_view value);

// Each returns whether the command reached a director window. ClearOutput is the transport's:
// on Windows it sends on its own rather than through SendCommand, with the same framing and
// result.
bool ClearOutput();
bool OutputConsole(std::string_view text, bool lineEnd);
// False without sending when the code defines no function whose name can be found.
bool LuaFuncRun(std::string_view code, std::string_view arguments);
// On success `received` holds the property's value (empty when SciTE did not answer).
bool GetProperty(std::string_view key);
bool SetProperty(std::string_view key, std::string_view value);

// Splits `received` at "<@@>"; exactly two parts fill the record and empty extender.result in
// SciTE, anything else gives ("", 0). A malformed number raises ValueError, leaving both alone.
void ParseLuaSelection(LuaSelection& selection);

// Optional sign, then digits each followed by any number of '_'; nothing else. Raises
// ValueError "invalid integer: <text>" or "Parsed integer outside of valid range".
[[nodiscard]] std::int64_t parseInt(std::string_view text);

// Runs a function definition or a bare expression, asks SciTE for extender.result: the steps
// of LuaFuncGet before its parser runs.
void runAndFetchLuaResult(std::string_view code, std::string_view arguments);

// Runs the code in SciTE and fetches its result; the parser always runs once, afterwards, on
// whatever `received` then holds.
template <typename Record, typename Parser>
void LuaFuncGet(std::string_view code, Parser&& parser, std::string_view arguments,
                Record& result) {
  runAndFetchLuaResult(code, arguments);
  parser(result);
}

}  // namespace director
