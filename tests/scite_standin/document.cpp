// Positions, lines and the selection of the stand-in's document.
#include "document.h"

#include <algorithm>

#include "platform/ascii.h"

namespace standin {

namespace {

enum class CharClass { space, lineEnd, word, punctuation };

CharClass classOf(char c) noexcept {
  if (c == '\r' || c == '\n') {
    return CharClass::lineEnd;
  }
  if (static_cast<unsigned char>(c) >= 0x80 || platform::isAsciiAlphanumeric(c) || c == '_') {
    return CharClass::word;
  }
  return static_cast<unsigned char>(c) <= ' ' ? CharClass::space : CharClass::punctuation;
}

}  // namespace

Document::Document(std::string text, std::int64_t anchor, std::int64_t caret)
    : text_(std::move(text)) {
  anchor_ = clamp(anchor);
  caret_ = clamp(caret);
  for (std::size_t i = 0; i < text_.size(); ++i) {
    const bool crlf = text_[i] == '\r' && i + 1 < text_.size() && text_[i + 1] == '\n';
    if ((text_[i] == '\r' && !crlf) || text_[i] == '\n') {
      lineStarts_.push_back(static_cast<std::int64_t>(i) + 1);
    }
  }
}

std::int64_t Document::length() const noexcept {
  return static_cast<std::int64_t>(text_.size());
}

std::int64_t Document::clamp(std::int64_t position) const noexcept {
  return std::clamp<std::int64_t>(position, 0, length());
}

std::int64_t Document::selectionStart() const noexcept {
  return std::min(anchor_, caret_);
}
std::int64_t Document::selectionEnd() const noexcept {
  return std::max(anchor_, caret_);
}

std::string Document::selectedText() const {
  return text_.substr(static_cast<std::size_t>(selectionStart()),
                      static_cast<std::size_t>(selectionEnd() - selectionStart()));
}

std::int64_t Document::lineCount() const noexcept {
  return static_cast<std::int64_t>(lineStarts_.size());
}

std::int64_t Document::lineFromPosition(std::int64_t position) const noexcept {
  const auto after = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), clamp(position));
  return static_cast<std::int64_t>(after - lineStarts_.begin()) - 1;
}

std::int64_t Document::positionFromLine(std::int64_t line) const noexcept {
  if (line < 0) {
    return lineStarts_[static_cast<std::size_t>(lineFromPosition(caret_))];
  }
  return line < lineCount() ? lineStarts_[static_cast<std::size_t>(line)] : -1;
}

std::int64_t Document::lineEnd(std::int64_t line) const noexcept {
  return line + 1 < lineCount() ? lineStarts_[static_cast<std::size_t>(line + 1)] : length();
}

std::string Document::line(std::int64_t line) const {
  if (line < 0 || line >= lineCount()) {
    return {};
  }
  const auto start = lineStarts_[static_cast<std::size_t>(line)];
  return text_.substr(static_cast<std::size_t>(start),
                      static_cast<std::size_t>(lineEnd(line) - start));
}

int Document::charAt(std::int64_t position) const noexcept {
  if (position < 0 || position >= length()) {
    return 0;
  }
  return static_cast<signed char>(text_[static_cast<std::size_t>(position)]);
}

std::int64_t Document::column(std::int64_t position) const noexcept {
  const std::int64_t end = clamp(position);
  std::int64_t column = 0;
  for (auto i = positionFromLine(lineFromPosition(end)); i < end; ++i) {
    const auto byte = static_cast<unsigned char>(text_[static_cast<std::size_t>(i)]);
    if (byte == '\t') {
      column = (column / 8 + 1) * 8;
    } else if ((byte & 0xC0) != 0x80) {  // a UTF-8 character counts once
      ++column;
    }
  }
  return column;
}

int Document::styleAt(std::int64_t position) const noexcept {
  return position < 0 || position >= length() ? 0 : style_;
}

std::string Document::textRange(std::int64_t start, std::int64_t end) const {
  start = clamp(start);
  end = clamp(end);
  return start < end
             ? text_.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start))
             : std::string();
}

std::int64_t Document::wordStartPosition(std::int64_t position,
                                         bool onlyWordCharacters) const noexcept {
  auto at = clamp(position);
  const CharClass run = onlyWordCharacters || at == 0 ? CharClass::word : classOf(byteAt(at - 1));
  while (at > 0 && classOf(byteAt(at - 1)) == run) {
    --at;
  }
  return at;
}

std::int64_t Document::wordEndPosition(std::int64_t position,
                                       bool onlyWordCharacters) const noexcept {
  auto at = clamp(position);
  const CharClass run =
      onlyWordCharacters || at == length() ? CharClass::word : classOf(byteAt(at));
  while (at < length() && classOf(byteAt(at)) == run) {
    ++at;
  }
  return at;
}

}  // namespace standin
