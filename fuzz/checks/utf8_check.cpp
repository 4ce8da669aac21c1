// The run time's converter: UTF-8 -> UTF-16 by the lead byte alone, and UTF-16 -> UTF-8 with
// lone surrogates replaced. Checked against the decoding rules and against strict UTF-8.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/checks/check.h"
#include "platform/text.h"

namespace fuzz {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

void appendUnits(WString& out, char32_t value) {
  if (value >= 0x10000) {
    out.push_back(static_cast<char16_t>(0xD800 | ((value - 0x10000) >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 | (value & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(value));
  }
}

// The rules, phrased by the count of leading one bits: 0 is ASCII, 2 to 4 start a sequence of
// that many bytes whose followers give six bits each, unchecked; 1 and 5 or more are no lead.
[[nodiscard]] WString decodeByTheRules(std::string_view bytes) {
  WString out;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<std::uint8_t>(bytes[i]);
    const int ones = std::countl_one(lead);
    const std::size_t count = ones == 0 ? 1 : static_cast<std::size_t>(ones);
    if (ones == 1 || ones > 4) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    if (bytes.size() - i < count) {
      out.push_back(kReplacement);  // cut off: the rest of the text is that one sequence
      break;
    }
    char32_t value = ones == 0 ? lead : (lead & (0x7Fu >> ones));
    for (std::size_t k = 1; k < count; ++k) {
      value = (value << 6) | (static_cast<std::uint8_t>(bytes[i + k]) & 0x3Fu);
    }
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    appendUnits(out, surrogate || value > 0x10FFFF ? char32_t{kReplacement} : value);
    i += count;
  }
  return out;
}

// Well-formed UTF-8 as the Unicode standard defines it: shortest form, no surrogates, at most
// U+10FFFF.
[[nodiscard]] bool isStrictUtf8(std::string_view bytes) {
  std::size_t i = 0;
  const auto at = [&bytes](std::size_t k) { return static_cast<std::uint8_t>(bytes[k]); };
  const auto follower = [&](std::size_t k, std::uint8_t low, std::uint8_t high) {
    return k < bytes.size() && at(k) >= low && at(k) <= high;
  };
  while (i < bytes.size()) {
    const std::uint8_t b = at(i);
    std::size_t length = 0;
    if (b <= 0x7F) {
      length = 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
      length = follower(i + 1, 0x80, 0xBF) ? 2 : 0;
    } else if (b >= 0xE0 && b <= 0xEF) {
      const std::uint8_t low = b == 0xE0 ? 0xA0 : 0x80;
      const std::uint8_t high = b == 0xED ? 0x9F : 0xBF;
      length = follower(i + 1, low, high) && follower(i + 2, 0x80, 0xBF) ? 3 : 0;
    } else if (b >= 0xF0 && b <= 0xF4) {
      const std::uint8_t low = b == 0xF0 ? 0x90 : 0x80;
      const std::uint8_t high = b == 0xF4 ? 0x8F : 0xBF;
      length =
          follower(i + 1, low, high) && follower(i + 2, 0x80, 0xBF) && follower(i + 3, 0x80, 0xBF)
              ? 4
              : 0;
    }
    if (length == 0) {
      return false;
    }
    i += length;
  }
  return true;
}

// UTF-16 up to its first NUL, with every unit that is not part of a pair made U+FFFD.
[[nodiscard]] WString pairedOrReplaced(WStringView units) {
  WString out;
  for (std::size_t i = 0; i < units.size() && units[i] != 0; ++i) {
    const char16_t unit = units[i];
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      out.push_back(unit);
      out.push_back(units[++i]);
    } else {
      out.push_back(high || low ? kReplacement : unit);
    }
  }
  return out;
}

[[nodiscard]] std::string_view untilNul(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

void checkFromUtf8(std::string_view bytes) {
  const WString wide = platform::toUtf16(bytes);
  expect(wide == decodeByTheRules(bytes),
         "UTF-8 decodes by the lead byte, with U+FFFD exactly where the rules put it");
  expect(pairedOrReplaced(wide) == WStringView(wide).substr(0, wide.find(char16_t{0})),
         "decoding never yields a lone surrogate");
  if (isStrictUtf8(bytes)) {
    // The way back stops at the first NUL.
    expect(platform::toUtf8(wide) == untilNul(bytes), "valid UTF-8 survives the round trip");
  }
}

void checkFromUtf16(std::string_view bytes) {
  // The same bytes read as little-endian UTF-16 units; an odd last byte is left out.
  WString units;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units.push_back(static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                          (static_cast<std::uint8_t>(bytes[i + 1]) << 8)));
  }
  const std::string narrow = platform::toUtf8(units);
  expect(isStrictUtf8(narrow), "encoding any UTF-16 gives valid UTF-8");
  expect(narrow.find('\0') == std::string::npos, "encoding stops at the first NUL");
  expect(platform::toUtf16(narrow) == pairedOrReplaced(units),
         "UTF-16 survives the round trip, lone surrogates as U+FFFD");
  WString terminated = units;
  terminated.push_back(0);
  expect(platform::toUtf8(terminated.c_str()) == narrow,
         "the NUL-terminated form reads the same units");
}

}  // namespace

void checkUtf8(Bytes input) {
  const std::string_view bytes = asText(input);
  checkFromUtf8(bytes);
  checkFromUtf16(bytes);
}

}  // namespace fuzz
