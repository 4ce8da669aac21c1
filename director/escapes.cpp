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

// The bytes of the whole escape or character `rest` starts with; at least one, so that a stray
// continuation byte (a Latin-1 text) moves on.
[[nodiscard]] std::size_t wholeStep(std::string_view rest) {
  const auto escape = rest.front() == '\\' ? readEscape(rest.substr(1)) : std::nullopt;
  return escape
             ? 1 + escape->length
             : std::clamp<std::size_t>(platform::utf8SequenceLength(rest.front()), 1, rest.size());
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

std::string_view selectionWithin(std::string_view selection, std::size_t room) {
  // No byte becomes more than one UTF-16 unit: what fits in bytes fits.
  if (selection.size() <= room) {
    return selection;
  }
  std::size_t kept = 0;
  while (kept < selection.size()) {
    const std::string_view rest = selection.substr(kept);
    const std::size_t step = wholeStep(rest);
    const std::size_t units = platform::toUtf16(rest.substr(0, step)).size();
    if (units > room) {
      break;
    }
    room -= units;
    kept += step;
  }
  return selection.substr(0, kept);
}

std::vector<std::string_view> piecesWithin(std::string_view text, std::size_t room) {
  std::vector<std::string_view> pieces;
  while (!text.empty()) {
    std::size_t size = 0;
    while (size < text.size()) {
      const std::size_t step = wholeStep(text.substr(size));
      if (size + step > room && size > 0) {
        break;
      }
      size += step;  // a first step longer than the room still goes: nothing is lost
    }
    pieces.push_back(text.substr(0, size));
    text.remove_prefix(size);
  }
  return pieces;
}

}  // namespace director
