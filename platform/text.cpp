// The run time's own UTF-8/UTF-16 converter.
#include "platform/text.h"

#include <cstdint>

namespace platform {

namespace {

constexpr char32_t kMaxCodePoint = 0x10FFFF;

[[nodiscard]] constexpr bool isSurrogate(char32_t value) noexcept {
  return value >= 0xD800 && value <= 0xDFFF;
}

void appendUtf16(WString& out, char32_t value) {
  if (value > 0xFFFF) {
    const char32_t offset = value - 0x10000;
    out.push_back(static_cast<WCHAR>(0xD800 + (offset >> 10)));
    out.push_back(static_cast<WCHAR>(0xDC00 + (offset & 0x3FF)));
  } else {
    out.push_back(static_cast<WCHAR>(value));
  }
}

void appendUtf8(std::string& out, char32_t value) {
  const auto byte = [&out](char32_t bits) { out.push_back(static_cast<char>(bits)); };
  if (value < 0x80) {
    byte(value);
  } else if (value < 0x800) {
    byte(0xC0 | (value >> 6));
    byte(0x80 | (value & 0x3F));
  } else if (value < 0x10000) {
    byte(0xE0 | (value >> 12));
    byte(0x80 | ((value >> 6) & 0x3F));
    byte(0x80 | (value & 0x3F));
  } else {
    byte(0xF0 | (value >> 18));
    byte(0x80 | ((value >> 12) & 0x3F));
    byte(0x80 | ((value >> 6) & 0x3F));
    byte(0x80 | (value & 0x3F));
  }
}

}  // namespace

std::size_t utf8SequenceLength(char first) noexcept {
  const auto lead = static_cast<unsigned char>(first);
  if (lead < 0x80) {
    return 1;
  }
  if ((lead & 0xE0) == 0xC0) {
    return 2;
  }
  if ((lead & 0xF0) == 0xE0) {
    return 3;
  }
  if ((lead & 0xF8) == 0xF0) {
    return 4;
  }
  return 0;  // a continuation byte or 11111xxx: not a lead byte
}

std::size_t utf8Length(std::string_view text) noexcept {
  if (text.empty()) {
    return 0;
  }
  const auto at = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = at(0);
  if (lead < 0x80) {
    return 1;
  }
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    low = lead == 0xE0 ? 0xA0 : low;
    high = lead == 0xED ? 0x9F : high;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    low = lead == 0xF0 ? 0x90 : low;
    high = lead == 0xF4 ? 0x8F : high;
  } else {
    return 0;
  }
  if (text.size() < length || at(1) < low || at(1) > high) {
    return 0;
  }
  for (std::size_t i = 2; i < length; ++i) {
    if ((at(i) & 0xC0) != 0x80) {
      return 0;
    }
  }
  return length;
}

bool isUtf8(std::string_view text) noexcept {
  while (!text.empty()) {
    const std::size_t length = utf8Length(text);
    if (length == 0) {
      return false;
    }
    text.remove_prefix(length);
  }
  return true;
}

WString toUtf16(std::string_view utf8) {
  WString out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = utf8SequenceLength(utf8[i]);
    if (length == 0) {
      appendUtf16(out, kReplacementCharacter);
      ++i;
      continue;
    }
    if (i + length > utf8.size()) {
      appendUtf16(out, kReplacementCharacter);
      break;
    }
    static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t value = lead & kLeadBits[length];
    for (std::size_t k = 1; k < length; ++k) {
      value = (value << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
    }
    appendUtf16(out, isSurrogate(value) || value > kMaxCodePoint ? kReplacementCharacter : value);
    i += length;
  }
  return out;
}

std::string toUtf8(WStringView utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size() && utf16[i] != 0; ++i) {
    const char32_t unit = utf16[i];
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    if (high && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
      appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (char32_t{utf16[i + 1]} - 0xDC00));
      ++i;
    } else {
      appendUtf8(out, isSurrogate(unit) ? kReplacementCharacter : unit);
    }
  }
  return out;
}

std::string latin1ToUtf8(std::string_view latin1) {
  std::string out;
  out.reserve(latin1.size() * 2);
  for (const char byte : latin1) {
    appendUtf8(out, static_cast<unsigned char>(byte));
  }
  return out;
}

std::string toUtf8(const WCHAR* zeroTerminated) {
  return zeroTerminated == nullptr ? std::string() : toUtf8(WStringView(zeroTerminated));
}

}  // namespace platform
