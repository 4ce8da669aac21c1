// Percent-encoding for queries and for whole addresses, and the test for an address to open.
#include "companion/query/uri.h"

#include <algorithm>

#include "platform/ascii.h"

namespace companion {

namespace {

[[nodiscard]] constexpr bool isUnreserved(char c) noexcept {
  return platform::isAsciiAlphanumeric(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

// Unreserved, reserved (gen-delims and sub-delims) and the percent sign of existing escapes.
[[nodiscard]] constexpr bool isUriCharacter(char c) noexcept {
  constexpr std::string_view kReservedOrPercent = ":/?#[]@!$&'()*+,;=%";
  return isUnreserved(c) || kReservedOrPercent.find(c) != std::string_view::npos;
}

// `text` with every byte that `keep` refuses written as %XX.
[[nodiscard]] std::string encodedExcept(std::string_view text, bool (*keep)(char) noexcept) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (keep(c)) {
      out.push_back(c);
    } else {
      const auto byte = static_cast<unsigned char>(c);
      out.push_back('%');
      out.push_back(platform::highHexDigit(byte));
      out.push_back(platform::lowHexDigit(byte));
    }
  }
  return out;
}

}  // namespace

std::string percentEncode(std::string_view text) {
  return encodedExcept(text, isUnreserved);
}

std::string toUriCharacters(std::string_view url) {
  return encodedExcept(url, isUriCharacter);
}

std::size_t percentEncodedSize(char c) noexcept {
  return isUnreserved(c) ? 1 : 3;
}

bool hasWebScheme(std::string_view text) {
  for (const std::string_view scheme :
       {std::string_view("http://"), std::string_view("https://")}) {
    if (text.size() > scheme.size() && platform::startsWithIgnoringCase(text, scheme)) {
      return true;
    }
  }
  return false;
}

bool hasUriScheme(std::string_view text) {
  const auto colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0 || colon + 1 == text.size() ||
      !platform::isAsciiAlphanumeric(text.front()) || platform::isAsciiDigit(text.front())) {
    return false;
  }
  return std::all_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
    return platform::isAsciiAlphanumeric(c) || c == '+' || c == '-' || c == '.';
  });
}

bool isWebUrl(std::string_view text) {
  return hasWebScheme(text) && std::none_of(text.begin(), text.end(), platform::isAsciiWhiteSpace);
}

}  // namespace companion
