// Which encoding a document's bytes are in, decided the way the editor component decides it for
// drawing them, so that the text searched is the text the user sees.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace companion {

// Which SciTE runs the tool: each draws a character set its own way.
enum class EditorKind { windows, gtk };

// What SciTE says about a document: editor.CodePage, editor.StyleCharacterSet[32] (the default
// style's) and output.CodePage.
struct EditorCodePages {
  int document = 0;
  int characterSet = 1;
  int output = 0;
  bool operator==(const EditorCodePages&) const = default;
};

inline constexpr int kUtf8CodePage = 65001;

struct Encoding {
  enum class Kind {
    utf8,      // the bytes are UTF-8 already
    codePage,  // a Windows code page, converted by the system (0: the system's ANSI code page)
    charset,   // a charset iconv knows by name
    latin1,    // each byte is the character of the same number
  };
  Kind kind = Kind::utf8;
  std::uint32_t codePage = 0;  // for Kind::codePage
  std::string_view charset;    // for Kind::charset
  bool operator==(const Encoding&) const = default;
};

// The encoding `editor` draws a document in: a UTF-8 document is UTF-8 whatever its character
// set; otherwise SciTE for Windows lets the character set pick the code page (keeping the
// document's for the default set and those it has no code page for), and the GTK SciTE names an
// iconv charset by the character set alone, drawing Latin-1 where it names none.
[[nodiscard]] Encoding documentEncoding(EditorKind editor, const EditorCodePages& pages);

// How the output pane's bytes are drawn: its own code page, the document's character set.
[[nodiscard]] Encoding outputPaneEncoding(EditorKind editor, const EditorCodePages& pages);

// How the user's lines name an encoding: "UTF-8", "code page 932", "SHIFT-JIS", "ISO-8859-1".
[[nodiscard]] std::string encodingName(const Encoding& encoding);

}  // namespace companion
