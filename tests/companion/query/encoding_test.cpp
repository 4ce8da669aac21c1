// The encoding of a document, code page x character set x SciTE, as the editor component draws it.
#include "companion/query/encoding.h"

#include <gtest/gtest.h>

#include <ostream>

namespace companion {

// Found by GoogleTest beside the type.
void PrintTo(const Encoding& encoding, std::ostream* out) {
  *out << encodingName(encoding) << " (kind " << static_cast<int>(encoding.kind) << ")";
}

}  // namespace companion

namespace {

using companion::EditorCodePages;
using companion::EditorKind;
using companion::Encoding;
using Kind = companion::Encoding::Kind;

struct EncodingRow {
  EditorKind editor;
  int codePage;
  int characterSet;
  Encoding expected;
  const char* name;
};

Encoding codePage(std::uint32_t page) {
  return {.kind = Kind::codePage, .codePage = page};
}
Encoding charset(std::string_view name) {
  return {.kind = Kind::charset, .charset = name};
}

TEST(DocumentEncoding, FollowsTheEditorComponent) {
  constexpr auto windows = EditorKind::windows;
  constexpr auto gtk = EditorKind::gtk;
  const EncodingRow rows[] = {
      // UTF-8 wins over any character set.
      {windows, 65001, 1, {}, "UTF-8"},
      {windows, 65001, 128, {}, "UTF-8"},
      {gtk, 65001, 204, {}, "UTF-8"},
      // SciTE for Windows: the defaults (code.page=0, character set 1) draw Windows-1252.
      {windows, 0, 1, codePage(1252), "code page 1252"},
      {windows, 932, 1, codePage(932), "code page 932"},
      // Character set 0 beats the document's code page.
      {windows, 932, 0, codePage(1252), "code page 1252"},
      {windows, 0, 204, codePage(1251), "code page 1251"},
      {windows, 932, 238, codePage(1250), "code page 1250"},
      {windows, 0, 128, codePage(932), "code page 932"},
      {windows, 0, 130, codePage(1361), "code page 1361"},
      {windows, 0, 77, codePage(10000), "code page 10000"},
      {windows, 0, 255, codePage(437), "code page 437"},
      {windows, 0, 1000, codePage(28605), "code page 28605"},
      {windows, 0, 161, codePage(1253), "code page 1253"},
      // 1251, the symbol set and unknown sets keep the document's code page, 0 the system's.
      {windows, 936, 1251, codePage(936), "code page 936"},
      {windows, 0, 1251, codePage(0), "ANSI code page"},
      {windows, 949, 2, codePage(949), "code page 949"},
      {windows, 0, 866, codePage(0), "ANSI code page"},
      // The GTK SciTE: the character set alone, whatever the code page.
      {gtk, 0, 1, {.kind = Kind::latin1}, "ISO-8859-1"},
      {gtk, 932, 1, {.kind = Kind::latin1}, "ISO-8859-1"},
      {gtk, 932, 128, charset("SHIFT-JIS"), "SHIFT-JIS"},
      {gtk, 0, 204, charset("KOI8-R"), "KOI8-R"},
      {gtk, 0, 1251, charset("CP1251"), "CP1251"},
      {gtk, 0, 238, charset("ISO-8859-2"), "ISO-8859-2"},
      {gtk, 0, 866, charset("CP866"), "CP866"},
      {gtk, 0, 129, charset("CP949"), "CP949"},
      // Where it names no charset, it draws Latin-1.
      {gtk, 0, 0, {.kind = Kind::latin1}, "ISO-8859-1"},
      {gtk, 1252, 2, {.kind = Kind::latin1}, "ISO-8859-1"},
      {gtk, 0, 163, {.kind = Kind::latin1}, "ISO-8859-1"},
      {gtk, 0, 4242, {.kind = Kind::latin1}, "ISO-8859-1"},
  };
  for (const EncodingRow& row : rows) {
    SCOPED_TRACE(testing::Message() << (row.editor == windows ? "windows" : "gtk") << " code page "
                                    << row.codePage << ", character set " << row.characterSet);
    const Encoding encoding = companion::documentEncoding(
        row.editor, EditorCodePages{.document = row.codePage, .characterSet = row.characterSet});
    EXPECT_EQ(encoding, row.expected);
    EXPECT_EQ(companion::encodingName(encoding), row.name);
  }
}

}  // namespace
