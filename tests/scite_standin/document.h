// The editor's document as the stand-in's Lua `editor` object sees it: bytes, a selection, and
// lines ended by CR, LF or CR LF as in the editor component.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

class Document {
public:
  Document() = default;
  Document(std::string text, std::int64_t anchor, std::int64_t caret);

  [[nodiscard]] const std::string& text() const noexcept { return text_; }
  [[nodiscard]] std::int64_t length() const noexcept;
  [[nodiscard]] std::int64_t anchor() const noexcept { return anchor_; }
  [[nodiscard]] std::int64_t currentPos() const noexcept { return caret_; }
  [[nodiscard]] std::int64_t selectionStart() const noexcept;
  [[nodiscard]] std::int64_t selectionEnd() const noexcept;
  [[nodiscard]] std::string selectedText() const;
  [[nodiscard]] std::int64_t lineCount() const noexcept;

  // A position before the start counts as 0, one beyond the end as the end.
  [[nodiscard]] std::int64_t lineFromPosition(std::int64_t position) const noexcept;
  // The start of a line; a negative line gives the caret's line start, one beyond the last -1.
  [[nodiscard]] std::int64_t positionFromLine(std::int64_t line) const noexcept;
  // The line with its line end; empty beyond the last line.
  [[nodiscard]] std::string line(std::int64_t line) const;
  // The byte at a position as a signed char, as the editor component reports it; 0 outside.
  [[nodiscard]] int charAt(std::int64_t position) const noexcept;
  // Characters (UTF-8) from the line start; tabs advance to the next multiple of 8.
  [[nodiscard]] std::int64_t column(std::int64_t position) const noexcept;
  [[nodiscard]] int styleAt(std::int64_t position) const noexcept;
  // The bytes from `start` up to `end`, both clamped; empty unless start < end.
  [[nodiscard]] std::string textRange(std::int64_t start, std::int64_t end) const;
  // Where the word around a position starts and ends, as the editor component finds it with its
  // default character classes: word characters are ASCII letters and digits, '_' and every byte
  // from 0x80. With onlyWordCharacters the run of word characters touching the position (none:
  // the position itself); otherwise the run of the class (word, blank, line end, punctuation) of
  // the character before (for the start) or after (for the end) the position.
  [[nodiscard]] std::int64_t wordStartPosition(std::int64_t position,
                                               bool onlyWordCharacters) const noexcept;
  [[nodiscard]] std::int64_t wordEndPosition(std::int64_t position,
                                             bool onlyWordCharacters) const noexcept;
  void setStyle(int style) noexcept { style_ = style; }

private:
  [[nodiscard]] std::int64_t clamp(std::int64_t position) const noexcept;
  [[nodiscard]] std::int64_t lineEnd(std::int64_t line) const noexcept;
  [[nodiscard]] char byteAt(std::int64_t position) const noexcept {
    return text_[static_cast<std::size_t>(position)];
  }

  std::string text_;
  std::int64_t anchor_ = 0;
  std::int64_t caret_ = 0;
  int style_ = 0;
  std::vector<std::int64_t> lineStarts_{0};
};

}  // namespace standin
