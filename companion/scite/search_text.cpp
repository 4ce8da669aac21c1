// The document's bytes converted before anything looks at them: the address at the caret
// converted on each side of the caret, a word or a selection whole.
#include "companion/scite/search_text.h"

#include <algorithm>

#include "companion/query/caret.h"
#include "companion/query/command_line.h"
#include "companion/query/pane_message.h"
#include "companion/query/uri.h"
#include "companion/settings/texts.h"
#include "director/escapes.h"
#include "platform/text.h"

namespace companion {

namespace {

// A character in any encoding SciTE draws has at most four bytes: its trail at most three.
constexpr int kMaxTrailBytes = 3;

[[nodiscard]] std::optional<std::string> toUtf8(std::string_view bytes, const Encoding& encoding,
                                                const RunSystem& system) {
  switch (encoding.kind) {
    case Encoding::Kind::utf8:
      return std::string(bytes);
    case Encoding::Kind::latin1:
      return platform::latin1ToUtf8(bytes);
    case Encoding::Kind::codePage:
    case Encoding::Kind::charset:
      break;
  }
  return system.toUtf8(bytes, encoding);
}

// A selection fetched here, cut as the launcher's command line cuts it had it carried these
// characters: in SciTE's reply escapes, between whole characters and escapes.
[[nodiscard]] std::string cutAsCommandLine(std::string_view utf8, std::size_t room) {
  return director::unescapeReply(director::selectionWithin(director::replyEscaped(utf8), room));
}

// The bytes of the word at the caret in the line's part the run fetched; the word stops where the
// part does.
[[nodiscard]] std::string_view wordIn(const Document& document) {
  const std::string_view line = document.text;
  const auto clamped = [&line](int at) {
    return std::clamp(static_cast<std::size_t>(std::max(at, 0)), std::size_t{0}, line.size());
  };
  const std::size_t start = clamped(document.caret.wordStart);
  return line.substr(start, std::max(clamped(document.caret.wordEnd), start) - start);
}

// The web address the caret is in, in UTF-8, when it opens as it is; the run around the caret is
// converted on each side of it, so that the caret stays between the same characters.
[[nodiscard]] std::optional<std::string> readAddressAtCaret(const Document& document,
                                                            const Encoding& encoding,
                                                            const RunSystem& system) {
  const std::size_t caret = static_cast<std::size_t>(std::max(document.caret.caret, 0));
  if (caret > document.text.size()) {
    return std::nullopt;
  }
  const auto run = caretRun({.text = document.text,
                             .caret = caret,
                             .cutBefore = document.caret.cutBefore,
                             .cutAfter = document.caret.cutAfter || document.cut});
  if (!run) {
    return std::nullopt;
  }
  const auto before = toUtf8(run->before, encoding, system);
  const auto after = toUtf8(run->after, encoding, system);
  if (!before || !after) {
    return std::nullopt;  // the word's own check says so
  }
  auto address = addressAtCaret(*before, *after);
  if (!address || !opensAsIs(*address, system.maxUrlLength)) {
    return std::nullopt;
  }
  return address;
}

// The bytes of a character cut in two at the text's end, that the UTF-8 run around it would
// draw as a character of their own.
[[nodiscard]] std::string_view withoutCutCharacter(std::string_view utf8) {
  for (std::size_t back = 1; back <= std::min<std::size_t>(utf8.size(), 4); ++back) {
    const char lead = utf8[utf8.size() - back];
    if ((static_cast<unsigned char>(lead) & 0xC0) != 0x80) {
      return platform::utf8SequenceLength(lead) > back ? utf8.substr(0, utf8.size() - back) : utf8;
    }
  }
  return utf8;
}

// The text a command set for this search: a command cuts a long one to what a search holds,
// perhaps inside its last character, whose bytes are then left out rather than the text refused.
[[nodiscard]] std::optional<SearchText> readNextText(const Scite& scite, const Document& document,
                                                     const NextSearch& next,
                                                     const RunSystem& system) {
  const Encoding encoding = next.fromOutputPane ? outputPaneEncoding(system.editor, document.pages)
                                                : documentEncoding(system.editor, document.pages);
  std::string_view bytes = next.text;
  if (encoding.kind == Encoding::Kind::utf8) {
    bytes = withoutCutCharacter(bytes);
  }
  auto converted = toUtf8(bytes, encoding, system);
  for (int dropped = 0; !converted && dropped < kMaxTrailBytes && bytes.size() > 1; ++dropped) {
    bytes.remove_suffix(1);
    converted = toUtf8(bytes, encoding, system);
  }
  if (!converted) {
    scite.say(invalidTextLine(encodingName(encoding)));
    return std::nullopt;
  }
  // Said in a pane that is not UTF-8 as the bytes came, as a word at the caret is.
  const bool paneInUtf8 = document.pages.output == kUtf8CodePage;
  if (!next.fromOutputPane) {
    return SearchText{.text = collapseWhiteSpace(*converted),
                      .paneWord = paneInUtf8 ? "" : collapseWhiteSpace(bytes),
                      .caret = CaretText::commandText};
  }
  return SearchText{.text = collapseWhiteSpace(paneMessage(*converted)),
                    .paneWord = paneInUtf8 ? "" : collapseWhiteSpace(paneMessage(bytes)),
                    .caret = CaretText::outputPane};
}

// The caret's line converted on each side of the caret, so that the caret stays between the same
// characters; a character cut in two where the fetched part ends is left out. Nothing when a side
// has a byte with no character: the word's own check says so.
[[nodiscard]] std::optional<LineAtCaret> lineInUtf8(const Document& document,
                                                    const Encoding& encoding,
                                                    const RunSystem& system) {
  const std::string_view text = document.text;
  const std::size_t caret =
      std::min(static_cast<std::size_t>(std::max(document.caret.caret, 0)), text.size());
  auto before = toUtf8(text.substr(0, caret), encoding, system);
  auto after = toUtf8(text.substr(caret), encoding, system);
  if (!before || !after) {
    return std::nullopt;
  }
  LineAtCaret line{.cutBefore = document.caret.cutBefore,
                   .cutAfter = document.caret.cutAfter || document.cut};
  if (line.cutBefore) {  // a character's trail bytes (0x80 to 0xBF) without its first one
    const auto first = std::find_if(before->begin(), before->end(), [](char c) {
      return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    });
    before->erase(before->begin(), first);
  }
  line.text = std::move(*before);
  line.caret = line.text.size();
  line.text += line.cutAfter ? withoutCutCharacter(*after) : std::string_view(*after);
  return line;
}

}  // namespace

Selection selectionOf(std::string_view bytes) {
  return {.bytes = bytes, .folded = collapseWhiteSpace(bytes)};
}

DocumentText textToFetch(const Selection& selection, EditorKind editor) {
  if (selection.folded.empty()) {
    return DocumentText::caretLine;
  }
  return editor == EditorKind::windows ? DocumentText::selectionUnlessUtf8 : DocumentText::none;
}

SearchText asUtf8(const Selection& selection) {
  return {.text = selection.folded,
          .caret = selection.folded.empty() ? CaretText::word : CaretText::none};
}

std::optional<SearchText> readText(const Scite& scite, const Selection& selection,
                                   const std::optional<Document>& document, const NextSearch& next,
                                   const RunSystem& system) {
  if (!document) {
    return asUtf8(selection);
  }
  // The output pane's text stands in for the document's even when it is empty: a search from the
  // output pane never falls back to the editor's selection.
  if (next.fromOutputPane || !next.text.empty()) {
    return readNextText(scite, *document, next, system);
  }
  const bool wordAtCaret = selection.folded.empty();
  const Encoding encoding = documentEncoding(system.editor, document->pages);
  const bool paneInUtf8 = document->pages.output == kUtf8CodePage;
  if (wordAtCaret) {
    if (auto address = readAddressAtCaret(*document, encoding, system)) {
      return SearchText{.text = *address,
                        .paneWord = paneInUtf8 ? "" : toUriCharacters(*address),
                        .caret = CaretText::address};
    }
  }
  const bool fetched =
      !wordAtCaret && system.editor == EditorKind::windows && encoding.kind != Encoding::Kind::utf8;
  std::string_view bytes = wordAtCaret ? wordIn(*document)
                           : fetched   ? std::string_view(document->text)
                                       : selection.bytes;
  auto converted = toUtf8(bytes, encoding, system);
  if (!converted && document->cut && !bytes.empty()) {
    // The pipe's size, not the user, parted the last character from its trail byte.
    bytes.remove_suffix(1);
    converted = toUtf8(bytes, encoding, system);
  }
  if (!converted) {
    scite.say(invalidTextLine(encodingName(encoding)));
    return std::nullopt;
  }
  if (fetched) {
    *converted = cutAsCommandLine(*converted, system.selectionRoom);
  }
  // A pane that is not UTF-8 shows the document's own bytes as the document does.
  return SearchText{.text = collapseWhiteSpace(*converted),
                    .paneWord = wordAtCaret && !paneInUtf8 ? collapseWhiteSpace(bytes) : "",
                    .caret = wordAtCaret ? CaretText::word : CaretText::none,
                    .line = wordAtCaret && !document->linkListsSet.empty()
                                ? lineInUtf8(*document, encoding, system)
                                : std::nullopt};
}

}  // namespace companion
