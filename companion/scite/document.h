// The document as a run asks SciTE for it, in one dostring and one askproperty: how SciTE draws
// its bytes, the file's extension and, when asked for, the text itself; then the settings, asked
// in the batch that takes the answer back.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "companion/query/encoding.h"
#include "companion/query/next_search.h"
#include "companion/scite/scite.h"
#include "companion/settings/properties.h"

namespace companion {

// Where the caret and the word at it are in the caret's line as fetched (byte offsets), and
// whether the line goes on beyond what was fetched.
struct CaretPlaces {
  int caret = 0;
  int wordStart = 0;
  int wordEnd = 0;
  bool cutBefore = false;
  bool cutAfter = false;
};

// What of the document's text a run fetches.
enum class DocumentText {
  none,
  // The selection, where the document is not in UTF-8 (SciTE's CodePage).
  selectionUnlessUtf8,
  // The caret's line around the caret, as much on each side as an address may be long, and where
  // the caret and the word at the caret (by the editor's word rules) are in it.
  caretLine,
};

struct Document {
  EditorCodePages pages;
  std::string extension;
  CaretPlaces caret;       // with DocumentText::caretLine; zero otherwise
  bool nextSet = false;    // a command set some of the websearch.next.* values
  std::string nextEngine;  // websearch.next.engine when it is an engine name, else empty
  std::string text;        // the caret's line around it, or the selection fetched; raw bytes
  bool cut = false;        // the reply stopped at the transport's size, somewhere in the text
};

// The document with `text`; nothing when SciTE does not say (an old SciTE), or says something
// else than the fields asked for. The code and the question go out at once; extender.result is
// left set, for emptyResultAndAskSettings to empty.
[[nodiscard]] std::optional<Document> askDocument(const Scite& scite, DocumentText text);

// What the batch after the document gives: the settings' raw values by name, and the one-shot
// values (empty unless asked).
struct SettingsAsked {
  KnownProperties known;
  NextValues next;
};

// Empties extender.result, so that nothing of this run is left in SciTE, and asks in the same
// batch every setting the run may read for files of the document's extension (the templates, the
// browser, whether to show the strip, the keys of its nextEngine): one wait for SciTE instead of
// one a key. When a command set them (nextSet), the websearch.next.* values too, all emptied in
// the same batch right after they are asked: they steer one search.
[[nodiscard]] SettingsAsked emptyResultAndAskSettings(const Scite& scite, const Document& document);

}  // namespace companion
