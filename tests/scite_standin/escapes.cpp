// SciTE's backslash escapes, and the stand-in's file escapes.
#include "escapes.h"

#include <array>
#include <optional>

namespace standin {

namespace {

[[nodiscard]] bool isOctal(char c) noexcept {
  return c >= '0' && c <= '7';
}

[[nodiscard]] std::optional<unsigned> hexValue(char c) noexcept {
  if (c >= '0' && c <= '9') {
    return static_cast<unsigned>(c - '0');
  }
  if (c >= 'a' && c <= 'f') {
    return static_cast<unsigned>(c - 'a' + 10);
  }
  if (c >= 'A' && c <= 'F') {
    return static_cast<unsigned>(c - 'A' + 10);
  }
  return std::nullopt;
}

// Two hex digits at text[at], at+1, if both are there.
[[nodiscard]] std::optional<char> hexPair(std::string_view text, std::size_t at) noexcept {
  if (at + 1 >= text.size()) {
    return std::nullopt;
  }
  const auto high = hexValue(text[at]);
  const auto low = hexValue(text[at + 1]);
  if (!high || !low) {
    return std::nullopt;
  }
  return static_cast<char>(*high * 16 + *low);
}

[[nodiscard]] std::optional<char> controlEscape(char letter) noexcept {
  switch (letter) {
    case 'a':
      return '\a';
    case 'b':
      return '\b';
    case 'f':
      return '\f';
    case 'n':
      return '\n';
    case 'r':
      return '\r';
    case 't':
      return '\t';
    case 'v':
      return '\v';
    default:
      return std::nullopt;
  }
}

[[nodiscard]] std::optional<char> controlLetter(char c) noexcept {
  constexpr std::string_view kControls = "\a\b\f\n\r\t\v";
  constexpr std::string_view kLetters = "abfnrtv";
  const auto at = kControls.find(c);
  return at == std::string_view::npos ? std::nullopt : std::optional<char>(kLetters[at]);
}

}  // namespace

std::string unslash(std::string_view text) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '\\') {
      out += text[i++];
      continue;
    }
    if (++i == text.size()) {
      break;
    }
    const char c = text[i];
    if (const auto control = controlEscape(c)) {
      out += *control;
      ++i;
    } else if (isOctal(c)) {
      unsigned value = 0;
      for (int digits = 0; digits < 3 && i < text.size() && isOctal(text[i]); ++digits, ++i) {
        value = value * 8 + static_cast<unsigned>(text[i] - '0');
      }
      out += static_cast<char>(value);
    } else if (c == 'x') {
      if (const auto byte = hexPair(text, i + 1)) {
        out += *byte;
        i += 4;  // x, two digits, and the character after them
      } else {
        out += '\0';
        ++i;
      }
    } else {
      out += c;
      ++i;
    }
  }
  return out;
}

std::string slash(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (const auto letter = controlLetter(c)) {
      out += '\\';
      out += *letter;
    } else if (byte < 0x20) {
      const std::array<char, 4> octal = {'\\', static_cast<char>('0' + (byte >> 6)),
                                         static_cast<char>('0' + ((byte >> 3) & 7)),
                                         static_cast<char>('0' + (byte & 7))};
      out.append(octal.begin(), octal.end());
    } else {
      out += c;
    }
  }
  return out;
}

std::string decodeValue(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    if (c == 'n') {
      out += '\n';
    } else if (c == 'r') {
      out += '\r';
    } else if (c == 't') {
      out += '\t';
    } else if (c == '0') {
      out += '\0';
    } else if (const auto byte = c == 'x' ? hexPair(text, i + 1) : std::nullopt) {
      out += *byte;
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

std::string encodeValue(std::string_view text) {
  static constexpr std::string_view kHex = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace standin
