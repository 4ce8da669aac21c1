// The director's backslash escapes in both directions, two different grammars. What we read:
// SciTE escapes the texts of its replies, and so the selection the launcher passes on, with
// \a \b \f \n \r \t \v, \\ and three octal digits that fit a byte; the companion undoes them, the
// launcher never cuts through one. What we write: SciTE reads named, \xHH and octal escapes in
// the texts it is sent, so a text for its output pane has its backslashes doubled, and the GTK
// SciTE's request reader takes strict UTF-8 lines only.
// A library of its own that needs no window and makes no system call, below the director client.
// Our own helpers, so lowerCamelCase; the director's operations keep their UpperCamelCase names.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// The text escaped so that SciTE, which decodes escapes in output texts, shows it as it is:
// backslashes doubled, line breaks written as \r and \n.
[[nodiscard]] std::string outputEscaped(std::string_view text);

// A reply's raw text escaped as SciTE for Windows escapes the replies it sends (the GTK SciTE
// sends them raw): \a \b \f \n \r \t \v named, the backslash doubled, other bytes below 0x20
// as three octal digits. unescapeReply gives the raw text back.
[[nodiscard]] std::string replyEscaped(std::string_view raw);

// The longest command line the system starts a process with, in UTF-16 units with its NUL: the
// launcher's command line carries the escaped selection within it.
inline constexpr std::size_t kMaxCommandLineUnits = 32767;

// The longest start of an escaped `selection` whose UTF-16 form takes at most `room` units. It
// ends between whole characters and whole escapes, so the companion reads a prefix of what SciTE
// sent, never half a character or a broken escape.
[[nodiscard]] std::string_view selectionWithin(std::string_view selection, std::size_t room);

// `text` in pieces of at most `room` bytes, each ending between whole characters and whole
// escapes, for a channel whose requests have a size limit; in order, nothing left out.
[[nodiscard]] std::vector<std::string_view> piecesWithin(std::string_view text, std::size_t room);

// A command made fit for one line to the GTK SciTE. It stops reading requests for good at a byte
// that is not UTF-8, and a raw line break would end the request: such bytes and the other control
// bytes go as three-digit octal escapes, which unlike \xHH swallow nothing after them, and so
// does a ':' that starts the command (it would name a reply path). Backslashes are left as they
// are, escapes meant for SciTE.
[[nodiscard]] std::string requestEscaped(std::string_view command);

// Whether `text` can stand raw as a field of a request line (a reply path): strict UTF-8 without
// control bytes, and no ':', which would end the field early.
[[nodiscard]] bool isRawRequestField(std::string_view text) noexcept;

}  // namespace director
