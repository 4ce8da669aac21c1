// UTF-8 <-> UTF-16 conversion for window discovery, command lines and paths. Decoding goes by
// the lead byte alone; anything it cannot decode becomes U+FFFD, so no input is refused.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/wide.h"

namespace platform {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// 110xxxxx starts two bytes, 1110xxxx three, 11110xxx four; the low six bits of each following
// byte are taken unchecked. Other lead bytes, cut-off sequences, encoded surrogates and values
// above U+10FFFF give U+FFFD; values above U+FFFF give a surrogate pair.
[[nodiscard]] WString toUtf16(std::string_view utf8);

// The bytes of the sequence that `lead` starts by the rules above; 0 for a byte that starts none.
[[nodiscard]] std::size_t utf8SequenceLength(char lead) noexcept;

// The length of the well-formed UTF-8 sequence `text` starts with (no overlong forms, no
// surrogates, nothing above U+10FFFF, no cut-off sequence), as GLib accepts it; 0 when it starts
// with none. Not folded into utf8SequenceLength: that one reproduces the run time's converter,
// which decodes by the lead byte alone, and the launcher must cut text where it does; this one
// is what the GTK SciTE's request reader refuses, and a text it passes must be strict.
[[nodiscard]] std::size_t utf8Length(std::string_view text) noexcept;

// Whether `text` is nothing but such sequences.
[[nodiscard]] bool isUtf8(std::string_view text) noexcept;

// Each byte as the character of the same number, as the GTK editor draws what it cannot convert.
[[nodiscard]] std::string latin1ToUtf8(std::string_view latin1);

// Reads UTF-16 up to the first NUL (or the end of the view), joins surrogate pairs and writes
// U+FFFD for a lone surrogate.
[[nodiscard]] std::string toUtf8(WStringView utf16);
[[nodiscard]] std::string toUtf8(const WCHAR* zeroTerminated);

}  // namespace platform
