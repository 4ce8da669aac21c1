// The reply escapes (one-letter names and octal bytes), read and written, and the escaping of
// output texts and of request lines.
#include "director/escapes.h"

#include <algorithm>
#include <array>

#include "platform/ascii.h"
#include "platform/text.h"

namespace director {

namespace {

struct NamedEscape {
  char letter;
  char byte;
};

// The one-letter escapes, both directions read from this one table.
constexpr std::array<NamedEscape, 8> kNamedEscapes{{{'a', '\a'},
                                                    {'b', '\b'},
                                                    {'f', '\f'},
                                                    {'n', '\n'},
                                                    {'r', '\r'},
                                                    {'t', '\t'},
                                                    {'v', '\v'},
                                                    {'\\', '\\'}}};

// The byte a one-letter escape stands for; NUL when the letter names none.
[[nodiscard]] constexpr char namedEscape(char letter) noexcept {
  const auto* found = std::find_if(kNamedEscapes.begin(), kNamedEscapes.end(),
                                   [letter](NamedEscape e) { return e.letter == letter; });
  return found == kNamedEscapes.end() ? '\0' : found->byte;
}

// The letter of a one-letter escape for a control byte; NUL when it has none.
[[nodiscard]] constexpr char controlLetter(char byte) noexcept {
  if (byte == '\\') {
    return '\0';  // not a control byte: the caller escapes a backslash its own way
  }
  const auto* found = std::find_if(kNamedEscapes.begin(), kNamedEscapes.end(),
                                   [byte](NamedEscape e) { return e.byte == byte; });
  return found == kNamedEscapes.end() ? '\0' : found->letter;
}

// Three octal digits that fit a byte; \400 and above name no byte and are left alone.
[[nodiscard]] std::optional<char> octalEscape(std::string_view digits) noexcept {
  if (digits.size() < 3 ||
      !std::all_of(digits.begin(), digits.begin() + 3, platform::isOctalDigit)) {
    return std::nullopt;
  }
  const int value = (digits[0] - '0') * 64 + (digits[1] - '0') * 8 + (digits[2] - '0');
  if (value > 0xFF) {
    return std::nullopt;
  }
  return static_cast<char>(static_cast<unsigned char>(value));
}

[[nodiscard]] constexpr bool isControl(unsigned char byte) noexcept {
  return byte < 0x20 || byte == 0x7F;
}

// Both grammars read three octal digits as one byte; written always with all three.
void appendOctal(std::string& out, unsigned char byte) {
  out += '\\';
  out += static_cast<char>('0' + (byte >> 6));
  out += static_cast<char>('0' + ((byte >> 3) & 7));
  out += static_cast<char>('0' + (byte & 7));
}

}  // namespace

std::optional<Escape> readEscape(std::string_view rest) noexcept {
  if (rest.empty()) {
    return std::nullopt;
  }
  if (const char named = namedEscape(rest[0]); named != '\0') {
    return Escape{named, 1};
  }
  if (const auto byte = octalEscape(rest.substr(0, 3))) {
    return Escape{*byte, 3};
  }
  return std::nullopt;
}

std::string unescapeReply(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto escape = text[i] == '\\' ? readEscape(text.substr(i + 1)) : std::nullopt;
    if (escape) {
      out.push_back(escape->byte);
      i += escape->length;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::string outputEscaped(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '\\':
        escaped += "\\\\";
        break;
      case '\r':
        escaped += "\\r";
        break;
      case '\n':
        escaped += "\\n";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string replyEscaped(std::string_view raw) {
  std::string escaped;
  escaped.reserve(raw.size());
  for (const char c : raw) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      escaped += "\\\\";
    } else if (const char letter = controlLetter(c); letter != '\0') {
      escaped += '\\';
      escaped += letter;
    } else if (byte < 0x20) {
      appendOctal(escaped, byte);
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::string requestEscaped(std::string_view command) {
  std::string out;
  out.reserve(command.size());
  std::size_t i = 0;
  while (i < command.size()) {
    const auto byte = static_cast<unsigned char>(command[i]);
    const std::size_t length = platform::utf8Length(command.substr(i));
    if (length == 0 || isControl(byte) || (i == 0 && byte == ':')) {
      appendOctal(out, byte);
      ++i;
    } else {
      out.append(command.substr(i, length));
      i += length;
    }
  }
  return out;
}

bool isRawRequestField(std::string_view text) noexcept {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = platform::utf8Length(text.substr(i));
    if (length == 0 || isControl(static_cast<unsigned char>(text[i])) || text[i] == ':') {
      return false;
    }
    i += length;
  }
  return true;
}

}  // namespace director
