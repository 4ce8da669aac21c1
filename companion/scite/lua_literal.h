// User text as a Lua string literal inside a command to SciTE's director.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace companion {

// The most a literal takes per byte of text: a byte written as \ddd, its backslash doubled.
inline constexpr std::size_t kLuaLiteralGrowth = 5;

// `text`, any bytes, as a quoted Lua short string for a command SciTE unescapes before Lua reads
// it. Every byte but printable ASCII, and the quote and the backslash, goes as a three-digit
// decimal escape, so the literal is pure ASCII: no raw line break splits the command, no byte can
// stop the GTK SciTE's request reader, and Lua 5.3 and 5.4 read it the same. The backslashes are
// then doubled, as SciTE turns \\ into \ before Lua sees the code.
[[nodiscard]] std::string luaLiteral(std::string_view text);

}  // namespace companion
