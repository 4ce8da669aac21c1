// Web addresses: percent-encoding and what counts as an address to open as it is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace companion {

// Every byte but the unreserved characters of URIs (letters, digits, - . _ ~) becomes %XX.
[[nodiscard]] std::string percentEncode(std::string_view text);

// Encodes the bytes that may not stand in a URI at all (blanks, quotes, angle brackets, control
// and non-ASCII bytes, ...), so that no browser command line can be split by the URL.
[[nodiscard]] std::string toUriCharacters(std::string_view url);

// How many characters percentEncode makes of one byte.
[[nodiscard]] std::size_t percentEncodedSize(char c) noexcept;

// True for text that begins with http:// or https:// (any case) and has more after it.
[[nodiscard]] bool hasWebScheme(std::string_view text);

// True for text that begins with a URI scheme (a letter, then letters, digits, + - or ., then
// ':') and has more after it.
[[nodiscard]] bool hasUriScheme(std::string_view text);

// A selection opened as it is: one token with a web scheme.
[[nodiscard]] bool isWebUrl(std::string_view text);

}  // namespace companion
