// The document as a run asks SciTE for it, in one dostring and one askproperty: how SciTE draws
// its bytes, the file's extension and, when asked for, the text itself; the settings of every
// extension in the same batch, and those the answer names in one more when it names any.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "companion/query/encoding.h"
#include "companion/scite/scite.h"
#include "companion/settings/next_search.h"
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
  bool operator==(const CaretPlaces&) const = default;
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
  CaretPlaces caret;     // with DocumentText::caretLine; zero otherwise
  bool nextSet = false;  // a command set some of the websearch.next.* values
  // The keys of linkListKeys that are set, as Lua sees them expanded: only these are asked.
  std::vector<std::string> linkListsSet;
  std::string nextEngine;  // websearch.next.engine when it is an engine name, else empty
  // The names of the link list that counts, as Lua sees it expanded: their keys are asked with
  // the settings.
  std::vector<std::string> linkNames;
  // The settings of the extension that are set, of extensionSettingKeys: only these are asked.
  std::vector<std::string> extensionSettings;
  std::string text;  // the caret's line around it, or the selection fetched; raw bytes
  bool cut = false;  // the reply stopped at the transport's size, somewhere in the text
  bool operator==(const Document&) const = default;
};

// The settings a file's `extension` adds, each in place of a general one ("websearch.url.py"
// before "websearch.url"); none without an extension.
[[nodiscard]] std::vector<std::string> extensionSettingKeys(std::string_view extension);

// What the first batch gives: the document, and the settings every extension shares.
struct DocumentAsked {
  // Nothing when SciTE does not say (an old SciTE), or says something else than the fields
  // asked for.
  std::optional<Document> document;
  KnownProperties known;  // raw values by name
};

// The document with `text`, and the settings of no extension (the templates, the browser,
// whether to show the strip), in one wait for SciTE: the code, the question, extender.result
// emptied again, so that nothing of this run is left in SciTE, and the settings asked.
[[nodiscard]] DocumentAsked askDocument(const Scite& scite, DocumentText text);

}  // namespace companion
