// The text a run searches, read from what the launcher passed and what SciTE says of the document:
// the selection, the word at the caret or the web address the caret is in, in UTF-8 and folded.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "companion/address/decision.h"
#include "companion/query/encoding.h"
#include "companion/run_system.h"
#include "companion/scite/document.h"
#include "companion/scite/scite.h"
#include "companion/settings/next_search.h"

namespace companion {

// The selection as the launcher passed it, and the same folded: empty when nothing is selected,
// and the run searches what the caret is in.
struct Selection {
  std::string_view bytes;  // unescaped, in the document's encoding: not converted yet
  std::string folded;      // bytes with their white space folded
};

[[nodiscard]] Selection selectionOf(std::string_view bytes);

// The caret's line in UTF-8, as far as it was fetched, where links are looked for.
struct LineAtCaret {
  std::string text;
  std::size_t caret = 0;   // a byte offset into text
  bool cutBefore = false;  // the line goes on before text
  bool cutAfter = false;   // the line goes on after text
  bool operator==(const LineAtCaret&) const = default;
};

// The text to search, in UTF-8 and folded, with what the pane is told of it.
struct SearchText {
  std::string text;
  std::string paneWord;  // the text at the caret in the output pane's encoding, when not UTF-8
  CaretText caret = CaretText::none;
  // With the word at the caret, where the document says links are set: the line it is in.
  std::optional<LineAtCaret> line;
};

// What of the document readText needs fetched: the caret's line when nothing is selected, the
// selection only where the launcher's command line has lost its bytes (SciTE for Windows, a
// document not in UTF-8).
[[nodiscard]] DocumentText textToFetch(const Selection& selection, EditorKind editor);

// The selection taken as UTF-8, as it always was where SciTE says nothing of the document.
[[nodiscard]] SearchText asUtf8(const Selection& selection);

// The text as SciTE holds it, converted before anything looks at it; nothing when it has a byte
// with no character in its encoding, which is said. A text `next` steers to comes instead of the
// selection or the caret's: from the output pane (even an empty one), in its encoding and as
// paneMessage reads it; one for the focused pane only when the output pane has the focus.
// Without a document (an old SciTE), asUtf8.
[[nodiscard]] std::optional<SearchText> readText(const Scite& scite, const Selection& selection,
                                                 const std::optional<Document>& document,
                                                 const NextSearch& next, const RunSystem& system);

}  // namespace companion
