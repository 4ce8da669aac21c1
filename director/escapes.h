// The backslash escapes SciTE writes into the texts of its replies, and into the selection the
// launcher passes on: \a \b \f \n \r \t \v, \\ and three octal digits that fit a byte. Both
// programs read them by this one grammar: the companion undoes them, the launcher never cuts
// through one.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace director {

struct Escape {
  char byte = '\0';
  std::size_t length = 0;  // characters after the backslash
};

// The escape `rest`, the text after a backslash, starts with. A backslash that starts none, or
// ends the text, stands for itself.
[[nodiscard]] std::optional<Escape> readEscape(std::string_view rest) noexcept;

// Undoes every escape; a backslash that starts none stays as it is.
[[nodiscard]] std::string unescapeReply(std::string_view text);

}  // namespace director
