// The three fixed patterns read by hand. None of them can backtrack into a different match: each
// repeated class stops at a byte that the next item needs, so one left-to-right scan decides.
#include "fuzz/checks/models.h"

namespace fuzz {

namespace {

// The engine's built-in tables without options: ASCII only, \s includes the vertical tab.
[[nodiscard]] constexpr bool isDigit(char c) noexcept {
  return c >= '0' && c <= '9';
}
[[nodiscard]] constexpr bool isWord(char c) noexcept {
  return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
[[nodiscard]] constexpr bool isSpace(char c) noexcept {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads bytes from `pos` while `accepts` holds; returns the new position.
template <typename Predicate>
[[nodiscard]] std::size_t skipWhile(std::string_view text, std::size_t pos, Predicate accepts) {
  while (pos < text.size() && accepts(text[pos])) {
    ++pos;
  }
  return pos;
}

[[nodiscard]] bool literalAt(std::string_view text, std::size_t pos, std::string_view literal) {
  return text.substr(pos, literal.size()) == literal;
}

// "(" already taken at `pos`: the optional ([^\)]+) that closes both function patterns.
[[nodiscard]] ModelMatch withParameters(std::size_t pos, std::string name, std::string_view text) {
  const std::size_t end = skipWhile(text, pos, [](char c) { return c != ')'; });
  ModelMatch match{end, std::move(name), std::nullopt};
  if (end > pos) {
    match.group2 = std::string(text.substr(pos, end - pos));
  }
  return match;
}

[[nodiscard]] std::optional<ModelMatch> assignedFrom(std::string_view text, std::size_t start) {
  const std::size_t nameEnd = skipWhile(text, start, isWord);
  if (nameEnd == start) {
    return std::nullopt;
  }
  std::size_t pos = skipWhile(text, nameEnd, isSpace);
  if (!literalAt(text, pos, "=")) {
    return std::nullopt;
  }
  pos = skipWhile(text, pos + 1, isSpace);
  if (!literalAt(text, pos, "function(")) {
    return std::nullopt;
  }
  return withParameters(pos + 9, std::string(text.substr(start, nameEnd - start)), text);
}

}  // namespace

std::optional<ModelMatch> replyPrefixModel(std::string_view text) {
  if (!literalAt(text, 0, ":")) {
    return std::nullopt;
  }
  const std::size_t digitsEnd = skipWhile(text, 1, isDigit);
  if (digitsEnd == 1 || !literalAt(text, digitsEnd, ":")) {
    return std::nullopt;
  }
  std::size_t pos = digitsEnd + 1;
  std::string field;
  for (int repetition = 0; repetition < 2; ++repetition) {
    const std::size_t fieldEnd = skipWhile(text, pos, [](char c) { return c != ':'; });
    if (fieldEnd == pos || fieldEnd == text.size()) {
      return std::nullopt;
    }
    field = std::string(text.substr(pos, fieldEnd + 1 - pos));
    pos = fieldEnd + 1;
  }
  return ModelMatch{pos, std::move(field), std::nullopt};
}

std::optional<ModelMatch> functionNameModel(std::string_view text) {
  // Text that starts with "local " cannot also start with "function ", so taking the optional
  // prefix whenever it is there loses no match.
  const std::size_t start = literalAt(text, 0, "local ") ? 6 : 0;
  if (!literalAt(text, start, "function ")) {
    return std::nullopt;
  }
  const std::size_t nameStart = start + 9;
  const std::size_t nameEnd = skipWhile(text, nameStart, [](char c) { return c != '('; });
  if (nameEnd == nameStart || nameEnd == text.size()) {
    return std::nullopt;
  }
  return withParameters(nameEnd + 1, std::string(text.substr(nameStart, nameEnd - nameStart)),
                        text);
}

std::optional<ModelMatch> assignedFunctionModel(std::string_view text) {
  // The engine tries the optional "local" and one blank first and falls back to none, in which
  // case "local" itself may be the name.
  if (literalAt(text, 0, "local") && text.size() > 5 && isSpace(text[5])) {
    if (auto match = assignedFrom(text, 6)) {
      return match;
    }
  }
  return assignedFrom(text, 0);
}

}  // namespace fuzz
