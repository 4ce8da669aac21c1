// The stand-in document's selection, lines and positions.
#include "document.h"

#include <gtest/gtest.h>

namespace {

using standin::Document;

TEST(Document, SelectionWhicheverWayItWasMade) {
  const Document forward("one two three", 4, 7);
  EXPECT_EQ(forward.selectedText(), "two");
  EXPECT_EQ(forward.currentPos(), 7);
  const Document backward("one two three", 7, 4);
  EXPECT_EQ(backward.selectedText(), "two");
  EXPECT_EQ(backward.currentPos(), 4);
  const Document clamped("abc", -5, 99);
  EXPECT_EQ(clamped.selectedText(), "abc");
  EXPECT_EQ(Document("abc", 1, 1).selectedText(), "");
}

TEST(Document, LinesEndWithCrLfOrEither) {
  const Document doc("a\r\nbb\ncc\rd", 0, 0);
  EXPECT_EQ(doc.lineCount(), 4);
  struct Case {
    std::int64_t position;
    std::int64_t line;
  };
  const Case cases[] = {{-1, 0}, {0, 0}, {1, 0}, {2, 0},  {3, 1}, {5, 1},
                        {6, 2},  {8, 2}, {9, 3}, {10, 3}, {99, 3}};
  for (const Case& c : cases) {
    EXPECT_EQ(doc.lineFromPosition(c.position), c.line) << c.position;
  }
  EXPECT_EQ(doc.line(0), "a\r\n");
  EXPECT_EQ(doc.line(1), "bb\n");
  EXPECT_EQ(doc.line(2), "cc\r");
  EXPECT_EQ(doc.line(3), "d");
  EXPECT_EQ(doc.line(4), "");
  EXPECT_EQ(doc.positionFromLine(2), 6);
  EXPECT_EQ(doc.positionFromLine(4), -1);
  EXPECT_EQ(Document("x\ny", 2, 3).positionFromLine(-1), 2);
}

TEST(Document, CharactersColumnsAndStyles) {
  Document doc("\ta\xC3\xA9z", 0, 0);
  doc.setStyle(5);
  EXPECT_EQ(doc.charAt(1), 'a');
  EXPECT_EQ(doc.charAt(2), -61);  // signed, as the editor component reports bytes
  EXPECT_EQ(doc.charAt(5), 0);
  EXPECT_EQ(doc.charAt(-1), 0);
  EXPECT_EQ(doc.column(1), 8);
  EXPECT_EQ(doc.column(4), 10);  // the two-byte character counts once
  EXPECT_EQ(doc.column(5), 11);
  EXPECT_EQ(doc.styleAt(0), 5);
  EXPECT_EQ(doc.styleAt(5), 0);
}

TEST(Document, WordBoundsAroundAPosition) {
  const std::string_view text = "foo_bar2  b\xC3\xA9ta.x";  // the two-byte character is a word's
  struct Case {
    std::string_view text;
    std::int64_t position;
    bool onlyWordCharacters;
    std::int64_t start;
    std::int64_t end;
  };
  const Case cases[] = {
      {text, 5, true, 0, 8},      // inside a word
      {text, 0, true, 0, 8},      // at its start
      {text, 8, true, 0, 8},      // at its end
      {text, 9, true, 9, 9},      // between words
      {text, 12, true, 10, 15},   // inside a non-ASCII word
      {text, 16, true, 16, 17},   // punctuation before, a word after
      {text, 99, true, 16, 17},   // clamped to the end
      {text, -3, true, 0, 8},     // clamped to the start
      {"", 0, true, 0, 0},        // empty document
      {text, 9, false, 8, 10},    // the run of blanks
      {text, 15, false, 10, 16},  // the word before, the punctuation after
  };
  for (const Case& c : cases) {
    const Document doc{std::string(c.text), 0, 0};
    EXPECT_EQ(doc.wordStartPosition(c.position, c.onlyWordCharacters), c.start) << c.position;
    EXPECT_EQ(doc.wordEndPosition(c.position, c.onlyWordCharacters), c.end) << c.position;
  }
}

TEST(Document, TextRangeClampsAndKeepsTheOrderGiven) {
  const Document doc("one two", 0, 0);
  EXPECT_EQ(doc.textRange(4, 7), "two");
  EXPECT_EQ(doc.textRange(-2, 3), "one");
  EXPECT_EQ(doc.textRange(4, 99), "two");
  EXPECT_EQ(doc.textRange(7, 4), "");
  EXPECT_EQ(doc.textRange(2, 2), "");
}

}  // namespace
