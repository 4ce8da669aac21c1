// Backslash escapes as SciTE's director interface reads and writes them, and the plain escapes
// of the stand-in's own scenario and property files.
#pragma once

#include <string>
#include <string_view>

namespace standin {

// SciTE's decoding of an incoming command: \a \b \f \n \r \t \v, octal \o \oo \ooo, \xHH
// (which also swallows the character after the two digits; \x without two hex digits gives NUL
// and consumes only the x); after a backslash any other character stands for itself. A lone
// backslash at the very end is dropped.
[[nodiscard]] std::string unslash(std::string_view text);

// SciTE's encoding of a reply: \a \b \f \n \r \t \v, the backslash doubled, other bytes below
// 0x20 as a 3-digit octal escape; everything else unchanged.
[[nodiscard]] std::string slash(std::string_view text);

// The stand-in's own files: \\ \n \r \t \0 and \xHH (exactly two hex digits); any other byte
// stands for itself. Lossless for every byte string: decodeValue(encodeValue(s)) == s.
[[nodiscard]] std::string decodeValue(std::string_view text);
[[nodiscard]] std::string encodeValue(std::string_view text);

}  // namespace standin
