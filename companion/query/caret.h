// What the caret is in when nothing is selected: the run of non-blank characters around it, and
// the web address that run may be.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace companion {

// How much of the caret's line the run fetches on each side of the caret, in bytes: twice the
// longest address, so that one fetched is whole (a longer one could not open anyway), yet small
// enough that the reply, escaped, stays far within the GTK SciTE's reply pipe.
inline constexpr int kCaretLineReach = 4096;

// The part of the caret's line the run fetched, as SciTE holds it, and where the caret is in it.
struct CaretLine {
  std::string_view text;
  std::size_t caret = 0;   // a byte offset into text
  bool cutBefore = false;  // the line goes on before text
  bool cutAfter = false;   // the line goes on after text
};

// The run of non-blank characters around the caret, on each side of it, as bytes of `line.text`.
struct CaretRun {
  std::string_view before;
  std::string_view after;
  bool operator==(const CaretRun&) const = default;
};

// The run the caret is in or just after; nothing when it reaches a cut end of the text, where it
// is not seen whole. Blanks are the same byte in every encoding SciTE draws, and never part of a
// double-byte character, so the bytes need no converting first.
[[nodiscard]] std::optional<CaretRun> caretRun(const CaretLine& line);

// The web address in a run (given in UTF-8, split at the caret): the run from http:// or
// https:// on, after any opening brackets and quotes, without the punctuation that usually
// follows an address (. , ; : ! ? and a closing bracket or quote with no partner inside it).
// Nothing when the run is no such address or the caret is outside it; the caret just after its
// last character is inside.
[[nodiscard]] std::optional<std::string> addressAtCaret(std::string_view before,
                                                        std::string_view after);

}  // namespace companion
