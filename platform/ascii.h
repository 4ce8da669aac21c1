// ASCII character tests, case folding and hex digits: the text rules of protocols and file
// formats, which never depend on the locale.
#pragma once

#include <algorithm>
#include <string_view>

namespace platform {

inline constexpr std::string_view kHexDigits = "0123456789ABCDEF";

[[nodiscard]] constexpr bool isAsciiDigit(char c) noexcept {
  return c >= '0' && c <= '9';
}

[[nodiscard]] constexpr bool isOctalDigit(char c) noexcept {
  return c >= '0' && c <= '7';
}

// Blank, tab, line feed, vertical tab, form feed, carriage return.
inline constexpr std::string_view kAsciiWhiteSpace = " \t\n\v\f\r";

[[nodiscard]] constexpr bool isAsciiWhiteSpace(char c) noexcept {
  return kAsciiWhiteSpace.find(c) != std::string_view::npos;
}

[[nodiscard]] constexpr bool isAsciiAlphanumeric(char c) noexcept {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || isAsciiDigit(c);
}

[[nodiscard]] constexpr char lowerAscii(char c) noexcept {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

[[nodiscard]] constexpr bool startsWithIgnoringCase(std::string_view text,
                                                    std::string_view prefix) noexcept {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(),
                    [](char a, char b) { return lowerAscii(a) == lowerAscii(b); });
}

[[nodiscard]] constexpr bool equalsIgnoringCase(std::string_view a, std::string_view b) noexcept {
  return a.size() == b.size() && startsWithIgnoringCase(a, b);
}

// The two upper-case hex digits of a byte, high nibble first.
[[nodiscard]] constexpr char highHexDigit(unsigned char byte) noexcept {
  return kHexDigits[byte >> 4];
}
[[nodiscard]] constexpr char lowHexDigit(unsigned char byte) noexcept {
  return kHexDigits[byte & 0x0F];
}

}  // namespace platform
